// The one interface between the complete readers and the writers: a document as a stream of
// structure events in reading order, its text already Unicode (UTF-8). Readers do not call it
// directly but through DocumentBuilder, which guarantees the well-formed order described here,
// so a writer handles each event for its own output kind and nothing else.
#pragma once

#include <cstdint>
#include <string_view>

namespace quorrel::document {

enum class Align : std::uint8_t { left, center, right, justify };

// Character attributes; a text run carries the set in force as a mask of these bits.
enum class Attribute : std::uint8_t {
  bold,
  italic,
  underline,  // single and double alike
  strikeout,
  superscript,
  subscript,
  small_caps,
};
inline constexpr int kAttributeCount = 7;
using Attributes = std::uint8_t;
constexpr Attributes bit(Attribute a) { return Attributes(1u << static_cast<unsigned>(a)); }

// Text that lives outside the body's flow. Notes and comments are anchored at the point of the
// body where they are opened; headers and footers apply from the page where they are opened.
enum class SubDocument : std::uint8_t { footnote, endnote, header, footer, comment, text_box };

inline bool is_note(SubDocument kind) {
  return kind == SubDocument::footnote || kind == SubDocument::endnote;
}

// Well-formed order, as DocumentBuilder delivers it:
//   document  := block* end_document
//   block     := paragraph | table | page_break
//   paragraph := open_paragraph (text | tab | line_break | sub_document)* close_paragraph
//   table     := open_table (open_row (open_cell block* close_cell)+ close_row)+ close_table
//   sub_document := open_sub_document block* close_sub_document
// Sub-documents do not nest inside each other, and are only opened inside a paragraph (the
// anchor). A text run is never empty and never holds control characters (U+0000-U+001F, U+007F)
// nor U+FFFE and U+FFFF: every character of it may stand in XML.
class DocumentSink {
 public:
  virtual ~DocumentSink() = default;

  virtual void open_paragraph(Align align) = 0;
  virtual void close_paragraph() = 0;
  virtual void text(std::string_view utf8, Attributes attributes) = 0;
  virtual void tab() = 0;
  virtual void line_break() = 0;
  virtual void page_break() = 0;

  virtual void open_sub_document(SubDocument kind) = 0;
  virtual void close_sub_document() = 0;

  // `columns` is the table's column count as the document declares it; 0 when unknown. Rows
  // may hold fewer or more cells.
  virtual void open_table(int columns) = 0;
  virtual void open_row() = 0;
  virtual void open_cell() = 0;
  virtual void close_cell() = 0;
  virtual void close_row() = 0;
  virtual void close_table() = 0;

  // The last event; a writer finishes its output here.
  virtual void end_document() = 0;
};

}  // namespace quorrel::document
