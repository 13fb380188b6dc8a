// The HTML page every HTML converter writes: prologue, epilogue, the rule for document
// characters and the tag vocabulary. Plain pages: upper-case tags, no entities, no styles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "output/text_writer.h"

namespace quorrel::html {

inline constexpr Literal kParagraph{"\n<P>"};  // ends a paragraph, opens the next
inline constexpr Literal kLineBreak{"\n<BR>"};
inline constexpr Literal kBoldOn{"<B>"};
inline constexpr Literal kBoldOff{"</B>"};
inline constexpr Literal kItalicsOn{"<I>"};
inline constexpr Literal kItalicsOff{"</I>"};
inline constexpr Literal kCentreOn{"<CENTER>"};
inline constexpr Literal kCentreOff{"</CENTER>"};
inline constexpr Literal kRule{"<HR>"};

enum class Epilogue {
  after_line_feed,  // "\n</BODY>\n</HTML>\n"
  tight,            // "</BODY>\n</HTML>\n", the WordPerfect 5.1 page
};

// "<HTML>", the head with `title` (the bare input name) and "<BODY>" with the first "<P>".
void write_prologue(TextWriter& out, std::string_view title);
void write_epilogue(TextWriter& out, Epilogue epilogue);

// Heading tags carry their level as a plain decimal number: "<H0>", "</H2>".
void write_heading_start(TextWriter& out, unsigned level);
void write_heading_end(TextWriter& out, unsigned level);
// The same tags of levels 0, 1 and 2 as literals, for converters that write them often.
inline constexpr Literal kHeadingStarts[] = {Literal{"<H0>"}, Literal{"<H1>"}, Literal{"<H2>"}};
inline constexpr Literal kHeadingEnds[] = {Literal{"</H0>"}, Literal{"</H1>"}, Literal{"</H2>"}};

// Document characters 32..126 are copied, except that the angle brackets become square ones
// so that text can never form a tag; "&" and '"' stay as they are.
constexpr char document_character(int c) {
  return c == '<' ? '[' : c == '>' ? ']' : static_cast<char>(c);
}

// A run of document characters, each as `document_character` gives it: a map for
// `TextWriter::write_mapped`. The angle brackets lie 31 below the square ones.
inline void copy_document_characters(const std::uint8_t* begin, const std::uint8_t* end,
                                     char* destination) {
#if defined(__SSE2__)
  const __m128i less = _mm_set1_epi8('<');
  const __m128i greater = _mm_set1_epi8('>');
  const __m128i to_square = _mm_set1_epi8('[' - '<');
  while (end - begin >= 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin));
    __m128i angle = _mm_or_si128(_mm_cmpeq_epi8(bytes, less), _mm_cmpeq_epi8(bytes, greater));
    bytes = _mm_add_epi8(bytes, _mm_and_si128(angle, to_square));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(destination), bytes);
    begin += 16;
    destination += 16;
  }
#endif
  while (begin != end) *destination++ = document_character(*begin++);
}

inline void write_document_characters(TextWriter& out, const std::uint8_t* begin,
                                      const std::uint8_t* end) {
  out.write_mapped(begin, end, copy_document_characters);
}

// The blanks a tab writes in the plain and ancient pages: as many as the column of the next
// tab stop (every 8 columns, always beyond `column`), not the distance to it.
constexpr std::size_t tab_blanks(std::size_t column) { return column / 8 * 8 + 8; }

}  // namespace quorrel::html
