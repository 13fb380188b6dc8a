// The complete reading's HTML output: an HTML5 page in UTF-8 with LF line ends.
//   - a paragraph is <p>, centred, right-aligned or justified ones <p class="center|right|
//     justify">; an empty paragraph is <p><br></p> so that it keeps its line; spaces are kept
//     as typed (white-space: pre-wrap);
//   - attributes are <b>, <i>, <u>, <s>, <sup>, <sub> and <span class="small-caps">, kept open
//     across runs that share them and always properly nested;
//   - a tab is <span class="tab">TAB</span> (a visible gap), a line break <br>, a page break
//     <hr class="page-break"> (a new page when printed);
//   - tables are <table>, <tr>, <td> holding the cells' paragraphs;
//   - a footnote or endnote is a superscript number linking to its entry in the numbered list
//     <ol class="notes"> after the body (one numbering for both kinds, in reading order);
//   - headers, footers, comments and text boxes are <div class="header|footer|comment|
//     text-box"> after the paragraph that anchors them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "document/document_sink.h"
#include "output/sink.h"
#include "writers/held_text.h"
#include "writers/output_buffer.h"

namespace quorrel::writers {

class HtmlWriter final : public document::DocumentSink {
 public:
  // `title` may be any bytes (a file name): it is written as valid, escaped UTF-8.
  HtmlWriter(Sink& sink, std::string_view title);

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
    bool in_paragraph = false;
    bool paragraph_empty = true;
    // The attribute elements open inside the paragraph, outermost first.
    std::array<std::uint8_t, document::kAttributeCount> open{};
    int open_count = 0;
    document::Attributes open_mask = 0;
    bool in_table = false, in_row = false, in_cell = false;
  };

  OutputBuffer& out() { return in_sub_ ? sub_.out() : out_; }
  Flow& flow() { return in_sub_ ? sub_flow_ : body_; }
  // Closes and opens attribute elements so that exactly `attributes` are open.
  void set_attributes(document::Attributes attributes);
  void content_starts() { flow().paragraph_empty = false; }
  void close_flow();      // whatever the flow left open
  void write_anchored();  // sub-documents waiting for their anchor's paragraph to end

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
