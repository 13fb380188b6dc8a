// What a complete reader calls as it walks a document: characters, codes and structure in the
// loose order a word processor stores them (an attribute switched on in one paragraph and off in
// the next, a centring code before any text, a note in the middle of a word). The builder turns
// that into the well-formed event stream of DocumentSink, with text gathered into runs so that
// a writer is called per run, not per character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "document/document_sink.h"

namespace quorrel::document {

class DocumentBuilder {
 public:
  explicit DocumentBuilder(DocumentSink& sink) : sink_(sink) { run_.reserve(kRunLimit); }
  DocumentBuilder(const DocumentBuilder&) = delete;
  DocumentBuilder& operator=(const DocumentBuilder&) = delete;

  // Text in the attributes in force. `printable_ascii` takes bytes 0x20-0x7E only; `text` takes
  // valid UTF-8; `character` takes one code point (an invalid one becomes U+FFFD). Both drop
  // control characters and make U+FFFE and U+FFFF, which no XML output may hold, U+FFFD.
  void printable_ascii(char c) {
    run_.push_back(c);
    if (run_.size() >= kRunLimit) flush();
  }
  void printable_ascii(std::string_view ascii);
  void text(std::string_view utf8);
  void character(char32_t code_point);

  void tab();
  void line_break();
  // Ends the paragraph; a paragraph break with nothing before it is an empty paragraph.
  void paragraph_break();
  void page_break();

  void set_attribute(Attribute attribute, bool on);
  // Alignment of every paragraph from the current one on, unless it already holds text.
  void set_justification(Align align);
  // Alignment of the current paragraph only, unless it already holds text.
  void align_paragraph(Align align);

  // A sub-document opened inside another is read as part of it.
  void open_sub_document(SubDocument kind);
  void close_sub_document();

  // Table structure; a cell opens a row and a row a table where none is open. A table without
  // cells is not written.
  void open_table(int columns);
  void open_row();
  void open_cell();
  void close_table();

  bool in_table() const { return current().table_open; }
  bool in_sub_document() const { return depth_ > 0; }

  // Closes whatever is open and ends the document. Nothing may be called after it.
  void finish();

 private:
  static constexpr std::size_t kRunLimit = 64 * 1024;

  struct Context {
    bool paragraph_open = false;
    Align paragraph_align = Align::left;  // of the next paragraph to open
    Align justification = Align::left;
    Attributes attributes = 0;
    // A table and a row are declared when the reader opens them and written with their first
    // cell, so that the sink never sees a table or row without cells.
    bool table_open = false, table_written = false;
    bool row_open = false, row_written = false;
    bool cell_open = false;
    int table_columns = 0;
  };

  Context& current() { return depth_ > 0 ? sub_ : body_; }
  const Context& current() const { return depth_ > 0 ? sub_ : body_; }

  void flush();  // the run so far, opening its paragraph first
  void ensure_paragraph();
  void close_paragraph();
  // The table steps without closing the paragraph first, for text that opens its own cell.
  void declare_table(int columns);
  void declare_row();
  void begin_cell();
  void close_table_in(Context& context);

  DocumentSink& sink_;
  std::string run_;
  Attributes run_attributes_ = 0;  // of the bytes in run_
  Context body_;
  Context sub_;
  int depth_ = 0;  // sub-documents open; those past the first are read into it
};

}  // namespace quorrel::document
