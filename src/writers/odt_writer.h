// The complete reading as OpenDocument Text: paragraphs with their alignment, character
// attributes as text-family styles on spans, tables, real footnotes and endnotes, comments as
// annotations, text boxes as frames, page breaks, and headers and footers on the master page
// in styles.xml.
//
// The body and the header and footer text stream into spools (output/odt_package.h), so memory
// stays bounded; the styles used are declared when the document ends. Use:
//
//   writers::OdtWriter odt(folder_of_output, input_name);
//   DocumentBuilder builder(odt);
//   ... the reader calls the builder, then builder.finish() ...
//   OutputFile file;                          // the final name: input path + ".odt"
//   bool ok = odt.ok() && file.create(path + ".odt") &&
//             odt::write_odt_package(file.descriptor(), odt.parts()) && file.commit();
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/document_sink.h"
#include "output/odt_package.h"
#include "writers/output_buffer.h"

namespace quorrel::writers {

class OdtWriter final : public document::DocumentSink {
 public:
  // `spool_folder`: where a large body is held while written (the output's folder); `title`:
  // the input's name, for meta.xml.
  OdtWriter(std::string spool_folder, std::string_view title);
  OdtWriter(const OdtWriter&) = delete;
  OdtWriter& operator=(const OdtWriter&) = delete;

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

  // After end_document: true when everything was stored, and parts() is then complete.
  bool ok() const { return ended_ && ok_; }
  const odt::OdtParts& parts() const { return parts_; }

 private:
  // A stream of XML: a buffer in front of its spool, with the count written so far, so that
  // a table's column count can be filled in once its rows are known.
  struct Target {
    explicit Target(const std::string& folder) : spool(folder), out(spool) {}
    Spool spool;
    OutputBuffer out;
    bool used = false;  // anything was written (a header or footer exists)
    std::uint64_t position() const { return spool.size() + out.buffered(); }
  };
  struct Table {
    Target* target;
    std::uint64_t columns_at;  // where the placeholder of the column count is
    int columns;               // the most cells of a row so far, or the declared count
    int cells = 0;             // in the current row
  };

  void emit(std::string_view bytes);
  void flush(Target& target);
  void patch(Target& target, std::uint64_t at, std::string_view bytes);
  // The paragraph style for `align`, taking a pending page break at the body's top level.
  std::string_view paragraph_style(document::Align align);
  bool tables_flattened() const { return sub_ == document::SubDocument::comment && in_sub_; }
  std::string automatic_styles() const;

  Target body_, header_, footer_;
  Target* out_ = &body_;
  std::vector<Table> tables_;
  bool in_sub_ = false;
  document::SubDocument sub_ = document::SubDocument::footnote;
  bool page_break_pending_ = false;
  bool after_blank_ = true;  // the next space would be collapsed: written as text:s
  int footnotes_ = 0, endnotes_ = 0, tables_named_ = 0, frames_ = 0;
  std::bitset<8> paragraph_styles_;  // by align * 2 + page break
  std::bitset<128> text_styles_;     // by attribute mask
  bool table_break_style_ = false;
  bool ended_ = false, ok_ = true;

  std::string meta_, content_head_, styles_head_;
  odt::OdtParts parts_;
};

}  // namespace quorrel::writers
