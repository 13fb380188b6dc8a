#include "writers/sxw_writer.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace quorrel::writers {

using document::Align;
using document::Attributes;
using document::SubDocument;

namespace {

constexpr std::string_view kContentStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<office:document-content"
    " xmlns:office=\"http://openoffice.org/2000/office\""
    " xmlns:style=\"http://openoffice.org/2000/style\""
    " xmlns:text=\"http://openoffice.org/2000/text\""
    " xmlns:table=\"http://openoffice.org/2000/table\""
    " xmlns:fo=\"http://www.w3.org/1999/XSL/Format\""
    " office:class=\"text\" office:version=\"1.0\">\n"
    "<office:automatic-styles>\n";

// Paragraph styles by alignment, and the same opening a new page.
constexpr std::string_view kParagraphStyles =
    "<style:style style:name=\"P1\" style:family=\"paragraph\" "
    "style:parent-style-name=\"Standard\"><style:properties fo:text-align=\"center\"/>"
    "</style:style>\n"
    "<style:style style:name=\"P2\" style:family=\"paragraph\" "
    "style:parent-style-name=\"Standard\"><style:properties fo:text-align=\"end\"/>"
    "</style:style>\n"
    "<style:style style:name=\"P3\" style:family=\"paragraph\" "
    "style:parent-style-name=\"Standard\"><style:properties fo:text-align=\"justify\"/>"
    "</style:style>\n"
    "<style:style style:name=\"P4\" style:family=\"paragraph\" "
    "style:parent-style-name=\"Standard\"><style:properties fo:break-before=\"page\"/>"
    "</style:style>\n"
    "<style:style style:name=\"P5\" style:family=\"paragraph\" "
    "style:parent-style-name=\"Standard\"><style:properties fo:text-align=\"center\" "
    "fo:break-before=\"page\"/></style:style>\n"
    "<style:style style:name=\"P6\" style:family=\"paragraph\" "
    "style:parent-style-name=\"Standard\"><style:properties fo:text-align=\"end\" "
    "fo:break-before=\"page\"/></style:style>\n"
    "<style:style style:name=\"P7\" style:family=\"paragraph\" "
    "style:parent-style-name=\"Standard\"><style:properties fo:text-align=\"justify\" "
    "fo:break-before=\"page\"/></style:style>\n"
    "<style:style style:name=\"TB\" style:family=\"table\">"
    "<style:properties fo:break-before=\"page\"/></style:style>\n";

constexpr std::string_view kBodyStart = "</office:automatic-styles>\n<office:body>\n";
constexpr std::string_view kContentEnd = "</office:body>\n</office:document-content>\n";

// Indexed by document::Attribute.
constexpr std::string_view kProperties[document::kAttributeCount] = {
    " fo:font-weight=\"bold\" style:font-weight-asian=\"bold\" style:font-weight-complex=\"bold\"",
    " fo:font-style=\"italic\" style:font-style-asian=\"italic\" "
    "style:font-style-complex=\"italic\"",
    " style:text-underline=\"single\"",
    " style:text-crossing-out=\"single-line\"",
    " style:text-position=\"super 58%\"",
    " style:text-position=\"sub 58%\"",
    " fo:font-variant=\"small-caps\"",
};
// Superscript and subscript together: superscript wins.
constexpr Attributes kSuperAndSub =
    document::bit(document::Attribute::superscript) | document::bit(document::Attribute::subscript);
constexpr int kAttributeSets = 1 << document::kAttributeCount;

// The style T<mask> of one set of attributes.
std::string text_style(int mask) {
  std::string style = "<style:style style:name=\"T" + std::to_string(mask) +
                      "\" style:family=\"text\"><style:properties";
  for (int a = 0; a < document::kAttributeCount; ++a) {
    bool sub_under_super = (mask & kSuperAndSub) == kSuperAndSub &&
                           a == static_cast<int>(document::Attribute::subscript);
    if ((mask & (1 << a)) && !sub_under_super) style += kProperties[a];
  }
  return style + "/></style:style>\n";
}

// "<text:span text:style-name=\"T<mask>\">" for every set of attributes.
const std::array<std::string, kAttributeSets>& span_starts() {
  static const std::array<std::string, kAttributeSets> starts = [] {
    std::array<std::string, kAttributeSets> all;
    for (int mask = 1; mask < kAttributeSets; ++mask) {
      all[mask] = "<text:span text:style-name=\"T" + std::to_string(mask) + "\">";
    }
    return all;
  }();
  return starts;
}

std::string_view paragraph_style(Align align, bool new_page) {
  static constexpr std::string_view kNames[2][4] = {{"Standard", "P1", "P2", "P3"},
                                                    {"P4", "P5", "P6", "P7"}};
  auto index = static_cast<std::size_t>(align);
  return kNames[new_page ? 1 : 0][index < 4 ? index : 0];
}

}  // namespace

SxwContentWriter::SxwContentWriter(Sink& sink) : styles_first_(sink, *this), out_(styles_first_) {}

std::string SxwContentWriter::head(const std::bitset<128>& used) {
  std::string head(kContentStart);
  head += kParagraphStyles;
  for (int mask = 1; mask < kAttributeSets; ++mask) {
    if (used[mask]) head += text_style(mask);
  }
  head += kBodyStart;
  return head;
}

bool SxwContentWriter::StylesFirst::write(const char* data, std::size_t size) {
  if (released_) return target_.write(data, size);
  held_.append(data, size);
  return held_.size() < kStyleHoldLimit || release();
}

bool SxwContentWriter::StylesFirst::finish() { return release() && target_.finish(); }

bool SxwContentWriter::StylesFirst::release() {
  if (released_) return true;
  released_ = true;
  // Past the limit every set of attributes may still come.
  if (held_.size() >= kStyleHoldLimit) writer_.used_.set();
  std::string head = SxwContentWriter::head(writer_.used_);
  bool ok = target_.write(head.data(), head.size()) && target_.write(held_.data(), held_.size());
  std::string().swap(held_);
  return ok;
}

void SxwContentWriter::open_paragraph(Align align) {
  Flow& f = flow();
  if (f.in_paragraph) close_paragraph();
  bool new_page = !in_sub_ && page_break_pending_;
  page_break_pending_ = false;
  OutputBuffer& o = out();
  o.append("<text:p text:style-name=\"");
  o.append(paragraph_style(align, new_page));
  o.append("\">");
  f.in_paragraph = true;
  f.after_space = true;
  ++f.paragraphs;
}

void SxwContentWriter::close_paragraph() {
  Flow& f = flow();
  if (!f.in_paragraph) return;
  // Inside a note a line feed would be read as part of the paragraph around it.
  out().append(in_sub_ && sub_kind_ == Kind::note ? "</text:p>" : "</text:p>\n");
  f.in_paragraph = false;
  if (!in_sub_) write_anchored();
}

void SxwContentWriter::text(std::string_view utf8, Attributes attributes) {
  attributes &= kAttributeSets - 1;
  used_.set(attributes);
  OutputBuffer& o = out();
  if (attributes != 0) o.append(span_starts()[attributes]);
  append_paragraph_text(o, utf8, flow().after_space);
  if (attributes != 0) o.append("</text:span>");
}

void SxwContentWriter::tab() {
  out().append("<text:tab-stop/>");
  flow().after_space = true;
}

void SxwContentWriter::line_break() {
  out().append("<text:line-break/>");
  flow().after_space = true;
}

void SxwContentWriter::page_break() {
  if (!in_sub_ && !body_.in_table) page_break_pending_ = true;
}

void SxwContentWriter::open_sub_document(SubDocument kind) {
  if (in_sub_) close_sub_document();  // not nested; closed rather than mixed up
  sub_kind_ = document::is_note(kind) ? Kind::note : Kind::other;
  if (sub_kind_ == Kind::note) {
    sub_is_endnote_ = kind == SubDocument::endnote;
    std::string number = std::to_string(sub_is_endnote_ ? ++endnotes_ : ++footnotes_);
    std::string_view name = sub_is_endnote_ ? "endnote" : "footnote";
    std::string start =
        "<text:" + std::string(name) + " text:id=\"" + (sub_is_endnote_ ? "edn" : "ftn") + number +
        "\"><text:" + std::string(name) + "-citation>" + number + "</text:" + std::string(name) +
        "-citation><text:" + std::string(name) + "-body>";
    body_out().append(start);
    body_.after_space = false;
  }
  in_sub_ = true;
  sub_flow_ = Flow{};
}

void SxwContentWriter::close_sub_document() {
  if (!in_sub_) return;
  close_flow();
  if (sub_kind_ == Kind::note) {
    OutputBuffer& o = body_out();
    // A note body holds at least one paragraph.
    if (sub_flow_.paragraphs == 0) o.append("<text:p text:style-name=\"Standard\"/>");
    o.append(sub_is_endnote_ ? "</text:endnote-body></text:endnote>"
                             : "</text:footnote-body></text:footnote>");
  } else {
    anchored_.append(sub_.text());
    sub_.clear();
  }
  in_sub_ = false;
  if (!body_.in_paragraph) write_anchored();
}

void SxwContentWriter::write_anchored() {
  if (anchored_.empty()) return;
  body_out().append(anchored_);
  anchored_.clear();
}

void SxwContentWriter::close_flow() {
  close_paragraph();
  if (!in_sub_ && body_.in_table) close_table();
}

void SxwContentWriter::open_table(int columns) {
  if (!writes_tables()) return;
  close_paragraph();
  if (body_.in_table) close_table();
  body_.in_table = true;
  holding_table_ = true;
  table_breaks_page_ = page_break_pending_;
  page_break_pending_ = false;
  table_columns_ = static_cast<std::size_t>(std::max(columns, 0));
  fixed_columns_ = 0;
}

void SxwContentWriter::write_table_start(std::size_t columns) {
  out_.append("<table:table table:name=\"Table" + std::to_string(++tables_) + "\"");
  if (table_breaks_page_) out_.append(" table:style-name=\"TB\"");
  out_.append(">\n<table:table-column table:number-columns-repeated=\"" + std::to_string(columns) +
              "\"/>\n");
}

void SxwContentWriter::write_held_table() {
  holding_table_ = false;
  fixed_columns_ = std::max<std::size_t>(table_columns_, 1);
  write_table_start(fixed_columns_);
  out_.append(table_.text());
  table_.clear();
}

void SxwContentWriter::open_row() {
  if (!writes_tables()) return;
  if (!body_.in_table) open_table(0);
  if (body_.in_row) close_row();
  body_out().append("<table:table-row>");
  body_.in_row = true;
  row_cells_ = 0;
}

void SxwContentWriter::open_cell() {
  if (!writes_tables()) return;
  if (!body_.in_row) open_row();
  if (body_.in_cell) close_cell();
  body_.in_cell = true;
  // Past the width already written, a cell's paragraphs join the row's last cell.
  if (cell_close_pending_ && fixed_columns_ != 0 && row_cells_ >= fixed_columns_) {
    cell_close_pending_ = false;
    return;
  }
  end_cell();
  body_out().append("<table:table-cell>");
  body_.paragraphs = 0;
  if (++row_cells_ > table_columns_ && holding_table_) table_columns_ = row_cells_;
}

void SxwContentWriter::close_cell() {
  if (!body_.in_cell || in_sub_) return;
  close_paragraph();
  body_.in_cell = false;
  cell_close_pending_ = true;
}

void SxwContentWriter::end_cell() {
  if (!cell_close_pending_) return;
  OutputBuffer& o = body_out();
  // A cell holds at least one paragraph.
  if (body_.paragraphs == 0) o.append("<text:p text:style-name=\"Standard\"/>");
  o.append("</table:table-cell>");
  cell_close_pending_ = false;
}

void SxwContentWriter::close_row() {
  if (!body_.in_row || in_sub_) return;
  close_cell();
  end_cell();
  body_out().append("</table:table-row>\n");
  body_.in_row = false;
  if (holding_table_ && table_.text().size() > kTableHoldLimit) write_held_table();
}

void SxwContentWriter::close_table() {
  if (!body_.in_table || in_sub_) return;
  close_row();
  if (holding_table_) write_held_table();
  out_.append("</table:table>\n");
  body_.in_table = false;
  fixed_columns_ = 0;
}

void SxwContentWriter::end_document() {
  if (in_sub_) close_sub_document();
  close_flow();
  write_anchored();
  out_.append(kContentEnd);
  ok_ = out_.finish();
}

}  // namespace quorrel::writers
