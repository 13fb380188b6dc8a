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
// on a line of its own.
inline void write_paragraph_break(TextWriter& out) {
  out.write(kParagraphEnd);
  out.write(kParagraphStart);
}

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

// A run of document characters, straight into the writer's buffer. Each step copies the 16
// bytes ahead whole, keeps them up to the first markup character among them (all 16 when
// there is none), and then writes the byte after those through the table: no step guesses
// which way a branch goes, however the markup characters fall.
inline void write_characters(TextWriter& out, const std::uint8_t* begin,
                             const std::uint8_t* end) {
  constexpr std::ptrdiff_t kPiece = 4096;  // input bytes per reservation of the writer's buffer
  constexpr std::size_t kLongest = 6;      // "&quot;"
  while (begin != end) {
    const std::uint8_t* piece_end = end - begin > kPiece ? begin + kPiece : end;
    // A step may copy up to 16 bytes past what it keeps.
    char* at = out.reserve(kPiece * kLongest + 16);
#if defined(__SSE2__)
    while (piece_end - begin > 16) {
      __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin));
      __m128i markup = _mm_or_si128(
          _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('<')),
                       _mm_cmpeq_epi8(bytes, _mm_set1_epi8('>'))),
          _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('&')),
                       _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"'))));
      unsigned plain = static_cast<unsigned>(
          __builtin_ctz(static_cast<unsigned>(_mm_movemask_epi8(markup)) | 0x10000u));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(at), bytes);
      begin += plain;
      at += plain;
      const StoredCharacter& stored = kStoredCharacters[*begin++];
      std::memcpy(at, stored.text, sizeof stored.text);
      at += stored.size;
    }
#endif
    for (; begin != piece_end; ++begin) {
      const StoredCharacter& stored = kStoredCharacters[*begin];
      std::memcpy(at, stored.text, sizeof stored.text);
      at += stored.size;
    }
    out.commit(at);
  }
}

}  // namespace quorrel::sxw
