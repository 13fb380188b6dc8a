// The content document (content.xml) every SXW converter writes: prolog with the root element
// and font declarations, one of two automatic style sets, the body vocabulary, the escapes
// and the epilogue.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "io/byte_scan.h"
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

inline constexpr std::size_t kBlock = 64;

// Copies the 64 bytes at `from` to `at`, whatever part of them is kept: a fixed amount costs
// no guess about where a stretch of plain characters ends.
inline void copy_block(const std::uint8_t* from, char* at) {
  for (int i = 0; i < 64; i += 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at + i),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)));
  }
}

// Up to 64 characters at `block` (with 128 bytes readable there) to `at` (with room for 6
// bytes a character and 64 more); returns the end. The markup characters are found at once
// and only they cost a step each; the plain stretches between them are copied whole.
inline char* escape_block(const std::uint8_t* block, std::size_t size, char* at) {
  std::uint64_t markup = markup_bits(block) | markup_bits(block + 16) << 16 |
                         markup_bits(block + 32) << 32 | markup_bits(block + 48) << 48;
  if (size < kBlock) markup &= (std::uint64_t{1} << size) - 1;
  const std::uint8_t* from = block;
  while (markup != 0) {
    const std::uint8_t* hit = block + __builtin_ctzll(markup);
    markup &= markup - 1;
    copy_block(from, at);
    at += hit - from;
    const StoredCharacter& stored = kStoredCharacters[*hit];
    std::memcpy(at, stored.text, sizeof stored.text);
    at += stored.size;
    from = hit + 1;
  }
  copy_block(from, at);
  return at + (block + size - from);
}
#endif

// The escapes of [begin, end) from `at` on, with room for 6 bytes per character and 64 more;
// returns the end. Reads nothing outside [begin, end).
inline char* escape_characters(const std::uint8_t* begin, const std::uint8_t* end, char* at) {
#if defined(__SSE2__)
  while (static_cast<std::size_t>(end - begin) >= 2 * kBlock) {
    at = escape_block(begin, kBlock, at);
    begin += kBlock;
  }
  std::size_t size = static_cast<std::size_t>(end - begin);
  if (size < 16) return escape_one_by_one(begin, end, at);
  // The last bytes from a padded copy, so that the blocks' whole loads stay inside it: a
  // fixed number of steps, each a block of 16 (the later ones ending at `end`), so that no
  // step hangs on a guess about the size.
  alignas(16) std::uint8_t rest[3 * kBlock] = {};
  for (std::size_t i = 0; i < 2 * kBlock; i += 16) {
    std::size_t offset = std::min(i, size - 16);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rest + offset),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin + offset)));
  }
  at = escape_block(rest, std::min(size, kBlock), at);
  if (size > kBlock) at = escape_block(rest + kBlock, size - kBlock, at);
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
    char* at = out.reserve(static_cast<std::size_t>(piece_end - begin) * kLongest + 64);
    out.commit(detail::escape_characters(begin, piece_end, at));
    begin = piece_end;
  }
}

}  // namespace quorrel::sxw
