// The complete reading's SXW output: content.xml of an OpenOffice.org 1.0 Writer document, in
// UTF-8 with LF line ends, to be packed by sxw::pack (output/sxw_package.h).
//   - paragraphs are text:p; centred, right-aligned and justified ones, and the first one after
//     a page break, take paragraph-family automatic styles (a table after a page break takes a
//     table style that breaks the page);
//   - each run with attributes is one text:span whose text-family style "T<mask>" holds exactly
//     its attributes. The styles come before the body, so the body is held back until the end
//     and only the styles it uses are declared; a body past kStyleHoldLimit is let go with every
//     combination declared (deflating unused styles was most of a small archive's cost);
//   - a space that follows a space, or starts a paragraph or follows a tab or line break, is
//     written as text:s, which an office suite would otherwise drop;
//   - tables are table:table with one table:table-column per column (the most cells any row
//     holds), table:table-row and table:table-cell. A table is held in memory until it ends so
//     that its width is known; past kTableHoldLimit bytes its width is fixed at the widest row
//     so far and the cells of a wider row are written into its last cell;
//   - footnotes and endnotes are text:footnote and text:endnote with citation and body, at the
//     anchor; tables inside them, where OpenOffice.org allows none, become their cells'
//     paragraphs;
//   - headers, footers, comments and text boxes are paragraphs after the paragraph that anchors
//     them, their tables also reduced to the cells' paragraphs.
#pragma once

#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>

#include "document/document_sink.h"
#include "output/sink.h"
#include "writers/held_text.h"
#include "writers/output_buffer.h"

namespace quorrel::writers {

class SxwContentWriter final : public document::DocumentSink {
 public:
  explicit SxwContentWriter(Sink& sink);

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

  static constexpr std::size_t kTableHoldLimit = 4 << 20;
  static constexpr std::size_t kStyleHoldLimit = 1 << 20;

 private:
  enum class Kind { body, note, other };  // of the flow being written

  // Where the body or the open sub-document stands.
  struct Flow {
    bool in_paragraph = false;
    bool after_space = true;  // the next space would be dropped unless written as text:s
    int paragraphs = 0;       // written in the note or cell
    bool in_table = false;    // only the body's tables are written as tables
    bool in_row = false, in_cell = false;
  };

  OutputBuffer& body_out() { return holding_table_ ? table_.out() : out_; }
  OutputBuffer& out() {
    if (!in_sub_ || sub_kind_ == Kind::note) return body_out();
    return sub_.out();
  }
  Flow& flow() { return in_sub_ ? sub_flow_ : body_; }
  bool writes_tables() const { return !in_sub_; }
  void close_flow();
  void write_anchored();
  void write_table_start(std::size_t columns);
  void write_held_table();
  void end_cell();

  // Holds the body back until the text styles it uses are known, then passes everything on.
  class StylesFirst final : public Sink {
   public:
    StylesFirst(Sink& target, SxwContentWriter& writer) : target_(target), writer_(writer) {}
    bool write(const char* data, std::size_t size) override;
    bool finish() override;

   private:
    bool release();
    Sink& target_;
    SxwContentWriter& writer_;
    std::string held_;
    bool released_ = false;
  };
  // The content document up to the body, declaring the text styles of `used`.
  static std::string head(const std::bitset<128>& used);

  StylesFirst styles_first_;
  OutputBuffer out_;
  std::bitset<128> used_;  // attribute sets written so far
  Flow body_;
  Flow sub_flow_;
  bool in_sub_ = false;
  Kind sub_kind_ = Kind::body;
  bool sub_is_endnote_ = false;
  SubDocumentText sub_;
  std::string anchored_;
  int footnotes_ = 0, endnotes_ = 0, tables_ = 0;
  bool page_break_pending_ = false;

  // The body's table: held until its width is known.
  SubDocumentText table_;
  bool holding_table_ = false;
  bool table_breaks_page_ = false;
  std::size_t table_columns_ = 0;  // declared, then the widest row's cells
  std::size_t fixed_columns_ = 0;  // once written: cells beyond go into the last
  std::size_t row_cells_ = 0;
  bool cell_close_pending_ = false;

  bool ok_ = false;
};

}  // namespace quorrel::writers
