// The content document (content.xml) every SXW converter writes: prolog with the root element
// and font declarations, one of two automatic style sets, the body vocabulary, the escapes
// and the epilogue.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "convert/scan.h"
#include "output/text_writer.h"

namespace quorrel::sxw {

enum class StyleSet {
  basic,  // P1 bold and P2 italic paragraph styles, used on spans
  full,   // P1, T0..T17 and H1..H5; the body uses T12, T8 and H5
};

inline constexpr Literal kParagraphStart{"\n<text:p text:style-name=\"Standard\">"};
inline constexpr Literal kParagraphEnd{"\n</text:p>"};
inline constexpr Literal kParagraphEndTight{"</text:p>"};
inline constexpr Literal kTab{"\n<text:tab-stop/>"};
inline constexpr Literal kTabTight{"<text:tab-stop/>"};
inline constexpr Literal kSpanEnd{"\n</text:span>"};
inline constexpr Literal kSpanEndTight{"</text:span>"};
// Spans of the basic set.
inline constexpr Literal kBoldSpanP1{"<text:span text:style-name=\"P1\">"};
inline constexpr Literal kItalicSpanP2{"<text:span text:style-name=\"P2\">"};
// Spans of the full set.
inline constexpr Literal kBoldSpanT12{"<text:span text:style-name=\"T12\">"};
inline constexpr Literal kItalicSpanT8{"<text:span text:style-name=\"T8\">"};
inline constexpr Literal kCentreSpanH5{"<text:span text:style-name=\"H5\">"};

// Ends the open paragraph and opens the next, for the converters whose paragraph end starts
// on a line of its own: kParagraphEnd and kParagraphStart in one literal.
inline constexpr Literal kParagraphBreak{"\n</text:p>\n<text:p text:style-name=\"Standard\">"};
static_assert(kParagraphBreak.stored().substr(0, kParagraphEnd.size()) == kParagraphEnd.stored() &&
              kParagraphBreak.stored().substr(kParagraphEnd.size()) == kParagraphStart.stored());
inline void write_paragraph_break(TextWriter& out) { out.write(kParagraphBreak); }

// Everything up to and including the start of the first paragraph, which stays open.
void write_prolog(TextWriter& out, StyleSet styles);
// Closes the open paragraph, the body and the document; no line feed follows.
void write_epilogue(TextWriter& out);

// What a document character (32..126) becomes in content.xml: itself, or a character
// reference for "<", ">", "&" and '"'; the apostrophe stays as it is.
struct alignas(16) StoredCharacter {
  char text[8];  // padded, so that every entry copies as one 8-byte block
  std::uint8_t size;
};
constexpr StoredCharacter stored_character(int c) {
  switch (c) {
    case '<': return {"&lt;", 4};
    case '>': return {"&gt;", 4};
    case '&': return {"&amp;", 5};
    case '"': return {"&quot;", 6};
    default: return {{static_cast<char>(c)}, 1};
  }
}
inline constexpr auto kStoredCharacters = byte_table<StoredCharacter>(stored_character);

inline void write_character(TextWriter& out, int c) {
  const StoredCharacter& stored = kStoredCharacters[static_cast<std::uint8_t>(c)];
  char* at = out.reserve(sizeof stored.text);
  std::memcpy(at, stored.text, sizeof stored.text);
  out.commit(at + stored.size);
}

namespace detail {

// The escapes of [begin, end) from `at` on, one character after another; returns the end.
inline char* escape_one_by_one(const std::uint8_t* begin, const std::uint8_t* end, char* at) {
  for (; begin != end; ++begin) {
    const StoredCharacter& stored = kStoredCharacters[*begin];
    std::memcpy(at, stored.text, sizeof stored.text);
    at += stored.size;
  }
  return at;
}

#if defined(__SSE2__)
// Bit i set when byte i of the 16 at `p` is a markup character. '<' and '>' differ only in
// bit 1 and '"' and '&' only in bit 2, so two comparisons find all four.
inline std::uint64_t markup_bits(const std::uint8_t* p) {
  __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  __m128i angle = _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(2)), _mm_set1_epi8('>'));
  __m128i other = _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(4)), _mm_set1_epi8('&'));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(angle, other)));
}

// Copies [from, to) to `at` in blocks of 16, the last one whole: reads and writes up to 15
// bytes beyond, and copies one block when the range is empty.
inline char* copy_plain(const std::uint8_t* from, const std::uint8_t* to, char* at) {
  char* out = at;
  for (const std::uint8_t* p = from;;) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    p += 16;
    out += 16;
    if (p >= to) break;
    // Keeps the compiler from making a library call of the loop: stretches are mostly short.
    __asm__("" : "+r"(out));
  }
  return at + (to - from);
}

inline constexpr std::size_t kBlock = 64;

// Up to 64 characters at `block` (with 64 + 16 bytes readable there): the markup characters
// are found at once, and only they cost a step each; the plain stretches between them are
// copied whole. Nothing in the loop waits on a load that depends on the step before.
inline char* escape_block(const std::uint8_t* block, std::size_t size, char* at) {
  std::uint64_t markup = markup_bits(block) | markup_bits(block + 16) << 16 |
                         markup_bits(block + 32) << 32 | markup_bits(block + 48) << 48;
  if (size < kBlock) markup &= (std::uint64_t{1} << size) - 1;
  const std::uint8_t* from = block;
  while (markup != 0) {
    const std::uint8_t* hit = block + __builtin_ctzll(markup);
    markup &= markup - 1;
    at = copy_plain(from, hit, at);
    const StoredCharacter& stored = kStoredCharacters[*hit];
    std::memcpy(at, stored.text, sizeof stored.text);
    at += stored.size;
    from = hit + 1;
  }
  return copy_plain(from, block + size, at);
}
#endif

// The escapes of [begin, end) from `at` on, with room for 6 bytes per character and 16 more;
// returns the end. Reads nothing outside [begin, end).
inline char* escape_characters(const std::uint8_t* begin, const std::uint8_t* end, char* at) {
#if defined(__SSE2__)
  while (static_cast<std::size_t>(end - begin) >= kBlock + 16) {
    at = escape_block(begin, kBlock, at);
    begin += kBlock;
  }
  std::size_t size = static_cast<std::size_t>(end - begin);
  if (size < 16) return escape_one_by_one(begin, end, at);
  // The last bytes from a padded copy, so that the blocks' whole loads stay inside it. Copied
  // in blocks of 16, the last one ending at `end`: a library call costs more on these sizes.
  alignas(16) std::uint8_t rest[2 * kBlock + 16] = {};
  for (std::size_t i = 0; i + 16 < size; i += 16) {
    _mm_store_si128(reinterpret_cast<__m128i*>(rest + i),
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin + i)));
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(rest + size - 16),
                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16)));
  for (std::size_t done = 0; done < size; done += kBlock) {
    at = escape_block(rest + done, size - done < kBlock ? size - done : kBlock, at);
  }
  return at;
#else
  return escape_one_by_one(begin, end, at);
#endif
}

}  // namespace detail

// A run of document characters, straight into the writer's buffer, as `write_character`
// would write them one by one.
inline void write_characters(TextWriter& out, const std::uint8_t* begin,
                             const std::uint8_t* end) {
  constexpr std::ptrdiff_t kPiece = 4096;  // input bytes per reservation of the writer's buffer
  constexpr std::size_t kLongest = 6;      // "&quot;"
  while (begin != end) {
    const std::uint8_t* piece_end = end - begin > kPiece ? begin + kPiece : end;
    char* at = out.reserve(static_cast<std::size_t>(piece_end - begin) * kLongest + 16);
    out.commit(detail::escape_characters(begin, piece_end, at));
    begin = piece_end;
  }
}

}  // namespace quorrel::sxw
