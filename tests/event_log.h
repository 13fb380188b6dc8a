// A document sink that records the events it receives in a compact notation, so that a test
// states a whole reading in one string: "[P]" and "[P:c]" (centred) open a paragraph, "[/P]"
// closes it; text in attributes is "{bi|text}" (b bold, i italic, u underline, s strikeout,
// ^ superscript, _ subscript, k small caps); "[tab]", "[br]", "[page]"; "[footnote]" ...
// "[/footnote]" for sub-documents; "[table 3]" "[row]" "[cell]" ... "[/cell]" "[/row]"
// "[/table]"; "[end]".
#pragma once

#include <string>

#include "document/document_sink.h"

namespace quorrel::testing {

class EventLog final : public document::DocumentSink {
 public:
  std::string log;

  void open_paragraph(document::Align align) override {
    static constexpr const char* kNames[] = {"[P]", "[P:c]", "[P:r]", "[P:j]"};
    log += kNames[static_cast<int>(align)];
  }
  void close_paragraph() override { log += "[/P]"; }
  void text(std::string_view utf8, document::Attributes attributes) override {
    if (attributes == 0) {
      log += utf8;
      return;
    }
    log += '{';
    for (int i = 0; i < document::kAttributeCount; ++i) {
      if (attributes & (1u << i)) log += "bius^_k"[i];
    }
    log += '|';
    log += utf8;
    log += '}';
  }
  void tab() override { log += "[tab]"; }
  void line_break() override { log += "[br]"; }
  void page_break() override { log += "[page]"; }
  void open_sub_document(document::SubDocument kind) override {
    log += '[';
    log += name(kind);
    log += ']';
    open_kind_ = kind;
  }
  void close_sub_document() override {
    log += "[/";
    log += name(open_kind_);
    log += ']';
  }
  void open_table(int columns) override { log += "[table " + std::to_string(columns) + "]"; }
  void open_row() override { log += "[row]"; }
  void open_cell() override { log += "[cell]"; }
  void close_cell() override { log += "[/cell]"; }
  void close_row() override { log += "[/row]"; }
  void close_table() override { log += "[/table]"; }
  void end_document() override { log += "[end]"; }

 private:
  static const char* name(document::SubDocument kind) {
    static constexpr const char* kNames[] = {"footnote", "endnote", "header",
                                             "footer",   "comment", "text_box"};
    return kNames[static_cast<int>(kind)];
  }
  document::SubDocument open_kind_ = document::SubDocument::footnote;
};

}  // namespace quorrel::testing
