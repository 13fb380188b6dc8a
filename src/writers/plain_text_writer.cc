#include "writers/plain_text_writer.h"

namespace quorrel::writers {

using document::Align;
using document::Attributes;
using document::SubDocument;

void PlainTextWriter::open_paragraph(Align) {
  Flow& f = flow();
  if (f.in_table && !f.cell_empty) f.space_pending = true;
}

void PlainTextWriter::close_paragraph() {
  if (flow().in_table) return;
  out().push_back('\n');
  if (!in_sub_) write_anchored();
}

void PlainTextWriter::text(std::string_view utf8, Attributes) {
  content_starts();
  out().append(utf8);
}

void PlainTextWriter::separator(char c) {
  Flow& f = flow();
  if (f.in_table) {
    f.space_pending = !f.cell_empty;
  } else {
    out().push_back(c);
  }
}

void PlainTextWriter::tab() { separator('\t'); }
void PlainTextWriter::line_break() { separator('\n'); }
void PlainTextWriter::page_break() { out().push_back('\n'); }

void PlainTextWriter::open_sub_document(SubDocument kind) {
  if (in_sub_) close_sub_document();  // not nested; closed rather than mixed up
  sub_is_note_ = document::is_note(kind);
  if (sub_is_note_) {
    std::string number = std::to_string(++note_count_);
    content_starts();
    out().append("[" + number + "]");
    sub_.out().append("[" + number + "] ");
  }
  in_sub_ = true;
  sub_flow_ = Flow{};
}

void PlainTextWriter::close_sub_document() {
  if (!in_sub_) return;
  if (sub_flow_.in_table) close_row();  // a row left open still ends its line
  std::string_view text = sub_.text();
  if (!text.empty()) {
    if (sub_is_note_) {
      notes_.append(text);
      if (text.back() != '\n') notes_.append("\n");
    } else {
      anchored_.append(text);
      if (text.back() != '\n') anchored_.push_back('\n');
    }
  }
  sub_.clear();
  in_sub_ = false;
}

void PlainTextWriter::write_anchored() {
  if (anchored_.empty()) return;
  out_.append(anchored_);
  anchored_.clear();
}

void PlainTextWriter::open_table(int) {
  Flow& f = flow();
  f.in_table = true;
  f.first_cell = true;
}

void PlainTextWriter::open_row() { flow().first_cell = true; }

void PlainTextWriter::open_cell() {
  Flow& f = flow();
  if (!f.first_cell) out().push_back('\t');
  f.first_cell = false;
  f.cell_empty = true;
  f.space_pending = false;
}

void PlainTextWriter::close_cell() { flow().space_pending = false; }

void PlainTextWriter::close_row() {
  Flow& f = flow();
  if (!f.first_cell) out().push_back('\n');
  f.first_cell = true;
  f.space_pending = false;
  if (!in_sub_) write_anchored();
}

void PlainTextWriter::close_table() { flow() = Flow{}; }

void PlainTextWriter::end_document() {
  if (in_sub_) close_sub_document();
  write_anchored();
  bool held_ok = true;
  if (!notes_.empty()) {
    out_.push_back('\n');
    held_ok = notes_.write_to(out_);
  }
  ok_ = out_.finish() && held_ok;
}

}  // namespace quorrel::writers
