// The content document (content.xml) every SXW converter writes: prolog with the root element
// and font declarations, one of two automatic style sets, the body vocabulary, the escapes
// and the epilogue.
#pragma once

#include <string_view>

#include "output/text_writer.h"

namespace quorrel::sxw {

enum class StyleSet {
  basic,  // P1 bold and P2 italic paragraph styles, used on spans
  full,   // P1, T0..T17 and H1..H5; the body uses T12, T8 and H5
};

inline constexpr std::string_view kParagraphStart = "\n<text:p text:style-name=\"Standard\">";
inline constexpr std::string_view kParagraphEnd = "\n</text:p>";
inline constexpr std::string_view kParagraphEndTight = "</text:p>";
inline constexpr std::string_view kTab = "\n<text:tab-stop/>";
inline constexpr std::string_view kTabTight = "<text:tab-stop/>";
inline constexpr std::string_view kSpanEnd = "\n</text:span>";
inline constexpr std::string_view kSpanEndTight = "</text:span>";
// Spans of the basic set.
inline constexpr std::string_view kBoldSpanP1 = "<text:span text:style-name=\"P1\">";
inline constexpr std::string_view kItalicSpanP2 = "<text:span text:style-name=\"P2\">";
// Spans of the full set.
inline constexpr std::string_view kBoldSpanT12 = "<text:span text:style-name=\"T12\">";
inline constexpr std::string_view kItalicSpanT8 = "<text:span text:style-name=\"T8\">";
inline constexpr std::string_view kCentreSpanH5 = "<text:span text:style-name=\"H5\">";

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

// A document character 32..126, with "<", ">", "&" and '"' as character references; the
// apostrophe stays as it is.
inline void write_character(TextWriter& out, int c) {
  switch (c) {
    case '<': out.write_raw("&lt;", 4); break;
    case '>': out.write_raw("&gt;", 4); break;
    case '&': out.write_raw("&amp;", 5); break;
    case '"': out.write_raw("&quot;", 6); break;
    default: out.put_raw(static_cast<char>(c)); break;
  }
}

}  // namespace quorrel::sxw
