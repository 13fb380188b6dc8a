// The complete reading's text output: UTF-8 with LF line ends.
//   - one line per paragraph; an empty paragraph is an empty line; a line break starts a new
//     line and a tab stays a TAB;
//   - a page break is an empty line (a form feed shows as a stray control character in most
//     viewers);
//   - a table row is one line, its cells separated by TABs; inside a cell, paragraphs, line
//     breaks and tabs become single spaces so that the row stays one line;
//   - a footnote or endnote is marked "[n]" where it is anchored (one numbering for both
//     kinds, in reading order) and listed after the body, after an empty line, as "[n] text";
//     further paragraphs of a note follow on lines of their own;
//   - headers, footers, comments and text boxes are written as lines of their own after the
//     paragraph that anchors them (after the whole row when that paragraph is in a table).
#pragma once

#include <string>

#include "document/document_sink.h"
#include "output/sink.h"
#include "writers/held_text.h"
#include "writers/output_buffer.h"

namespace quorrel::writers {

class PlainTextWriter final : public document::DocumentSink {
 public:
  explicit PlainTextWriter(Sink& sink) : out_(sink) {}

  void open_paragraph(document::Align align) override;
  void close_paragraph() override;
  void text(std::string_view utf8, document::Attributes attributes) override;
  void tab() override;
  void line_break() override;
  void page_break() override;
  void open_sub_document(document::SubDocument kind) override;
  void close_sub_document() override;
  void open_table(int columns) override;
  void open_row() override;
  void open_cell() override;
  void close_cell() override;
  void close_row() override;
  void close_table() override;
  void end_document() override;

  // Valid after end_document(): every byte was stored.
  bool ok() const { return ok_; }

 private:
  // Where the body or the open sub-document stands.
  struct Flow {
    bool in_table = false;
    bool first_cell = true;    // of the row
    bool cell_empty = true;      // nothing written in the current cell yet
    bool space_pending = false;  // a separator inside a cell, written before what follows
  };

  OutputBuffer& out() { return in_sub_ ? sub_.out() : out_; }
  Flow& flow() { return in_sub_ ? sub_flow_ : body_; }
  // A space inside a cell, or `c` outside one.
  void separator(char c);
  void content_starts() {
    Flow& f = flow();
    if (f.space_pending) out().push_back(' ');
    f.space_pending = false;
    f.cell_empty = false;
  }
  void write_anchored();  // sub-documents waiting for their anchor's line to end

  OutputBuffer out_;
  Flow body_;
  Flow sub_flow_;
  bool in_sub_ = false;
  bool sub_is_note_ = false;
  SubDocumentText sub_;
  std::string anchored_;
  HeldText notes_;
  int note_count_ = 0;
  bool ok_ = false;
};

}  // namespace quorrel::writers
