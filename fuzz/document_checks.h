// A document sink that checks, as events arrive, what every complete reader promises through
// the builder: valid UTF-8 text without control characters, and events in well-formed order.
#pragma once

#include <cstddef>
#include <string>

#include "document/document_sink.h"
#include "document/utf8.h"
#include "properties.h"

namespace quorrel::fuzz {

class CheckingSink final : public document::DocumentSink {
 public:
  std::size_t text_bytes = 0;
  std::size_t events = 0;  // of every kind, end_document included

  void open_paragraph(document::Align) override {
    ++events;
    require(!paragraph_, "paragraphs do not nest");
    paragraph_ = true;
  }
  void close_paragraph() override {
    ++events;
    require(paragraph_, "a paragraph closes once");
    paragraph_ = false;
  }
  void text(std::string_view utf8, document::Attributes) override {
    ++events;
    require(paragraph_ && !utf8.empty(), "text runs are non-empty and inside a paragraph");
    require(document::is_valid_utf8(utf8), "text is valid UTF-8");
    for (char c : utf8) {
      auto byte = static_cast<unsigned char>(c);
      require(byte >= 0x20 && byte != 0x7F, "no control characters");
    }
    text_bytes += utf8.size();
  }
  void tab() override {
    ++events;
    require(paragraph_, "a tab is inside a paragraph");
  }
  void line_break() override {
    ++events;
    require(paragraph_, "a line break is inside a paragraph");
  }
  void page_break() override {
    ++events;
    require(!paragraph_, "a page break is between blocks");
  }
  void open_sub_document(document::SubDocument) override {
    ++events;
    require(paragraph_ && !sub_, "sub-documents are anchored and do not nest");
    sub_ = true;
    outer_paragraph_ = paragraph_;
    paragraph_ = false;
  }
  void close_sub_document() override {
    ++events;
    require(sub_ && !paragraph_, "a sub-document closes after its paragraphs");
    sub_ = false;
    paragraph_ = outer_paragraph_;
  }
  void open_table(int) override {
    ++events;
    require(!paragraph_, "a table is a block");
  }
  void open_row() override {
    ++events;
  }
  void open_cell() override {
    ++events;
  }
  void close_cell() override {
    ++events;
    require(!paragraph_, "a cell closes after its paragraphs");
  }
  void close_row() override {
    ++events;
  }
  void close_table() override {
    ++events;
  }
  void end_document() override {
    ++events;
    require(!paragraph_ && !sub_ && !ended_, "the document ends once, with nothing open");
    ended_ = true;
  }

 private:
  bool paragraph_ = false, outer_paragraph_ = false, sub_ = false, ended_ = false;
};

}  // namespace quorrel::fuzz
