// The HTML page every HTML converter writes: prologue, epilogue, the rule for document
// characters and the tag vocabulary. Plain pages: upper-case tags, no entities, no styles.
#pragma once

#include <cstddef>
#include <string_view>

#include "output/text_writer.h"

namespace quorrel::html {

inline constexpr std::string_view kParagraph = "\n<P>";  // ends a paragraph, opens the next
inline constexpr std::string_view kLineBreak = "\n<BR>";
inline constexpr std::string_view kBoldOn = "<B>";
inline constexpr std::string_view kBoldOff = "</B>";
inline constexpr std::string_view kItalicsOn = "<I>";
inline constexpr std::string_view kItalicsOff = "</I>";
inline constexpr std::string_view kCentreOn = "<CENTER>";
inline constexpr std::string_view kCentreOff = "</CENTER>";
inline constexpr std::string_view kRule = "<HR>";

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

// Document characters 32..126 are copied, except that the angle brackets become square ones
// so that text can never form a tag; "&" and '"' stay as they are.
constexpr char document_character(int c) {
  return c == '<' ? '[' : c == '>' ? ']' : static_cast<char>(c);
}

// The blanks a tab writes in the plain and ancient pages: as many as the column of the next
// tab stop (every 8 columns, always beyond `column`), not the distance to it.
constexpr std::size_t tab_blanks(std::size_t column) { return column / 8 * 8 + 8; }

}  // namespace quorrel::html
