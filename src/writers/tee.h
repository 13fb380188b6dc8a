// One reading feeding several outputs: every event goes to each sink in turn, so a document
// is read once whatever outputs are chosen.
#pragma once

#include <initializer_list>
#include <vector>

#include "document/document_sink.h"

namespace quorrel::writers {

class TeeSink final : public document::DocumentSink {
 public:
  TeeSink() = default;
  // The sinks are not owned and must outlive the tee.
  TeeSink(std::initializer_list<document::DocumentSink*> sinks) : sinks_(sinks) {}
  void add(document::DocumentSink& sink) { sinks_.push_back(&sink); }

  void open_paragraph(document::Align align) override {
    for (auto* s : sinks_) s->open_paragraph(align);
  }
  void close_paragraph() override {
    for (auto* s : sinks_) s->close_paragraph();
  }
  void text(std::string_view utf8, document::Attributes attributes) override {
    for (auto* s : sinks_) s->text(utf8, attributes);
  }
  void tab() override {
    for (auto* s : sinks_) s->tab();
  }
  void line_break() override {
    for (auto* s : sinks_) s->line_break();
  }
  void page_break() override {
    for (auto* s : sinks_) s->page_break();
  }
  void open_sub_document(document::SubDocument kind) override {
    for (auto* s : sinks_) s->open_sub_document(kind);
  }
  void close_sub_document() override {
    for (auto* s : sinks_) s->close_sub_document();
  }
  void open_table(int columns) override {
    for (auto* s : sinks_) s->open_table(columns);
  }
  void open_row() override {
    for (auto* s : sinks_) s->open_row();
  }
  void open_cell() override {
    for (auto* s : sinks_) s->open_cell();
  }
  void close_cell() override {
    for (auto* s : sinks_) s->close_cell();
  }
  void close_row() override {
    for (auto* s : sinks_) s->close_row();
  }
  void close_table() override {
    for (auto* s : sinks_) s->close_table();
  }
  void end_document() override {
    for (auto* s : sinks_) s->end_document();
  }

 private:
  std::vector<document::DocumentSink*> sinks_;
};

}  // namespace quorrel::writers
