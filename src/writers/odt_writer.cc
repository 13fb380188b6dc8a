#include "writers/odt_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace quorrel::writers {

namespace {

using document::Align;
using document::Attribute;
using document::SubDocument;

constexpr std::string_view kAlignNames[] = {"left", "center", "right", "justify"};

std::string paragraph_style_name(int index) {
  std::string name = "P_";
  name += kAlignNames[index / 2];
  if (index % 2 != 0) name += "_break";
  return name;
}

// A column count is written as this many digits and filled in when the table closes:
// leading zeros are allowed in a positive integer.
constexpr std::size_t kCountDigits = 10;
constexpr int kMaxColumns = 999999999;

}  // namespace

OdtWriter::OdtWriter(std::string spool_folder, std::string_view title)
    : body_(spool_folder),
      header_(spool_folder),
      footer_(spool_folder),
      meta_(odt::meta_document(title)) {}

void OdtWriter::flush(Target& target) { ok_ = target.out.flush() && ok_; }

void OdtWriter::emit(std::string_view bytes) {
  out_->out.append(bytes);
  out_->used = true;
}

void OdtWriter::patch(Target& target, std::uint64_t at, std::string_view bytes) {
  std::uint64_t stored = target.spool.size();
  if (at >= stored) {
    target.out.overwrite_buffered(static_cast<std::size_t>(at - stored), bytes);
  } else {
    ok_ = target.spool.patch(at, bytes) && ok_;
  }
}

std::string_view OdtWriter::paragraph_style(Align align) {
  bool page_break = page_break_pending_ && !in_sub_ && tables_.empty();
  page_break_pending_ = false;
  int index = static_cast<int>(align) * 2 + page_break;
  if (index == 0) return "Standard";
  paragraph_styles_.set(static_cast<std::size_t>(index));
  static const std::array<std::string, 8> kNames = [] {
    std::array<std::string, 8> names;
    for (int i = 0; i < 8; ++i) names[static_cast<std::size_t>(i)] = paragraph_style_name(i);
    return names;
  }();
  return kNames[static_cast<std::size_t>(index)];
}

void OdtWriter::open_paragraph(Align align) {
  emit("<text:p text:style-name=\"");
  emit(paragraph_style(align));
  emit("\">");
  after_blank_ = true;
}

void OdtWriter::close_paragraph() { emit("</text:p>\n"); }

void OdtWriter::text(std::string_view utf8, document::Attributes attributes) {
  attributes &= 0x7F;
  out_->used = true;
  if (attributes == 0) {
    append_paragraph_text(out_->out, utf8, after_blank_);
    return;
  }
  text_styles_.set(attributes);
  char name[48];
  int length = std::snprintf(name, sizeof name, "<text:span text:style-name=\"T%d\">", attributes);
  emit({name, static_cast<std::size_t>(length)});
  append_paragraph_text(out_->out, utf8, after_blank_);
  emit("</text:span>");
}

void OdtWriter::tab() {
  emit("<text:tab/>");
  after_blank_ = true;
}

void OdtWriter::line_break() {
  emit("<text:line-break/>");
  after_blank_ = true;
}

// A break takes effect on the block that follows it; inside a table or sub-document, where
// a page cannot break, it is dropped.
void OdtWriter::page_break() {
  if (!in_sub_ && tables_.empty()) page_break_pending_ = true;
}

void OdtWriter::open_sub_document(SubDocument kind) {
  in_sub_ = true;
  sub_ = kind;
  char start[160];
  int length = 0;
  switch (kind) {
    case SubDocument::footnote:
      ++footnotes_;
      length = std::snprintf(start, sizeof start,
                             "<text:note text:id=\"ftn%d\" text:note-class=\"footnote\">"
                             "<text:note-citation>%d</text:note-citation><text:note-body>",
                             footnotes_, footnotes_);
      break;
    case SubDocument::endnote:
      ++endnotes_;
      length = std::snprintf(start, sizeof start,
                             "<text:note text:id=\"edn%d\" text:note-class=\"endnote\">"
                             "<text:note-citation>%d</text:note-citation><text:note-body>",
                             endnotes_, endnotes_);
      break;
    case SubDocument::comment:
      emit("<office:annotation>");
      break;
    case SubDocument::text_box:
      ++frames_;
      length = std::snprintf(start, sizeof start,
                             "<draw:frame draw:name=\"Text box %d\" text:anchor-type=\"as-char\" "
                             "svg:width=\"6in\" draw:z-index=\"0\">"
                             "<draw:text-box fo:min-height=\"0.2in\">",
                             frames_);
      break;
    case SubDocument::header:
      out_ = &header_;
      break;
    case SubDocument::footer:
      out_ = &footer_;
      break;
  }
  if (length > 0) emit({start, static_cast<std::size_t>(length)});
  // Headers and footers start a stream of their own: its next bytes are a paragraph's.
  out_->used = true;
}

void OdtWriter::close_sub_document() {
  switch (sub_) {
    case SubDocument::footnote:
    case SubDocument::endnote:
      emit("</text:note-body></text:note>");
      break;
    case SubDocument::comment:
      emit("</office:annotation>");
      break;
    case SubDocument::text_box:
      emit("</draw:text-box></draw:frame>");
      break;
    case SubDocument::header:
    case SubDocument::footer:
      out_ = &body_;
      break;
  }
  in_sub_ = false;
  // The anchor's paragraph goes on; a space right after the sub-document is kept.
  after_blank_ = true;
}

// Tables in a comment, which holds paragraphs only, are written as their cells' paragraphs.
void OdtWriter::open_table(int columns) {
  if (tables_flattened()) return;
  bool page_break = page_break_pending_ && !in_sub_ && tables_.empty();
  page_break_pending_ = false;
  char start[96];
  int length =
      std::snprintf(start, sizeof start, "<table:table table:name=\"Table%d\"", ++tables_named_);
  emit({start, static_cast<std::size_t>(length)});
  if (page_break) {
    table_break_style_ = true;
    emit(" table:style-name=\"Table_break\"");
  }
  emit("><table:table-column table:number-columns-repeated=\"");
  Table table{out_, out_->position(), std::clamp(columns, 1, kMaxColumns)};
  emit("0000000001\"/>\n");
  tables_.push_back(table);
}

void OdtWriter::open_row() {
  if (tables_flattened()) return;
  tables_.back().cells = 0;
  emit("<table:table-row>");
}

void OdtWriter::open_cell() {
  if (tables_flattened()) return;
  Table& table = tables_.back();
  if (table.cells < kMaxColumns) ++table.cells;
  table.columns = std::max(table.columns, table.cells);
  emit("<table:table-cell office:value-type=\"string\">");
}

void OdtWriter::close_cell() {
  if (tables_flattened()) return;
  emit("</table:table-cell>");
}

void OdtWriter::close_row() {
  if (tables_flattened()) return;
  emit("</table:table-row>\n");
}

void OdtWriter::close_table() {
  if (tables_flattened()) return;
  Table table = tables_.back();
  tables_.pop_back();
  emit("</table:table>\n");
  char digits[kCountDigits + 1];
  std::snprintf(digits, sizeof digits, "%010d", table.columns);
  patch(*table.target, table.columns_at, {digits, kCountDigits});
}

std::string OdtWriter::automatic_styles() const {
  std::string styles;
  for (std::size_t index = 1; index < paragraph_styles_.size(); ++index) {
    if (!paragraph_styles_[index]) continue;
    styles += "<style:style style:name=\"" + paragraph_style_name(static_cast<int>(index)) +
              "\" style:family=\"paragraph\" style:parent-style-name=\"Standard\">"
              "<style:paragraph-properties";
    if (index / 2 != 0) {
      static constexpr std::string_view kAlign[] = {"", "center", "end", "justify"};
      styles += " fo:text-align=\"";
      styles += kAlign[index / 2];
      styles += '"';
    }
    if (index % 2 != 0) styles += " fo:break-before=\"page\"";
    styles += "/></style:style>\n";
  }
  for (std::size_t mask = 1; mask < text_styles_.size(); ++mask) {
    if (!text_styles_[mask]) continue;
    auto has = [mask](Attribute a) { return (mask & document::bit(a)) != 0; };
    odt::TextLook look{.bold = has(Attribute::bold),
                       .italic = has(Attribute::italic),
                       .underline = has(Attribute::underline),
                       .strikeout = has(Attribute::strikeout),
                       .superscript = has(Attribute::superscript),
                       .subscript = has(Attribute::subscript),
                       .small_caps = has(Attribute::small_caps)};
    std::string name = "T";
    name += std::to_string(mask);
    odt::append_text_style(styles, name, look);
  }
  if (table_break_style_) {
    styles +=
        "<style:style style:name=\"Table_break\" style:family=\"table\">"
        "<style:table-properties table:align=\"margins\" fo:break-before=\"page\"/>"
        "</style:style>\n";
  }
  return styles;
}

void OdtWriter::end_document() {
  ended_ = true;
  flush(body_);
  flush(header_);
  flush(footer_);
  ok_ = ok_ && body_.spool.ok() && header_.spool.ok() && footer_.spool.ok();

  // Headers and footers use the same styles as the body: both parts declare them.
  std::string styles = automatic_styles();
  content_head_ = std::string(odt::kContentStart) + styles + std::string(odt::kContentBodyStart);
  styles_head_ = std::string(odt::kStylesStart) + styles + std::string(odt::kStylesMasterStart);
  parts_.content = {std::string_view(content_head_), &body_.spool, odt::kContentEnd};
  parts_.styles = {std::string_view(styles_head_)};
  if (header_.used) {
    parts_.styles.insert(parts_.styles.end(), {std::string_view("<style:header>"), &header_.spool,
                                               std::string_view("</style:header>")});
  }
  if (footer_.used) {
    parts_.styles.insert(parts_.styles.end(), {std::string_view("<style:footer>"), &footer_.spool,
                                               std::string_view("</style:footer>")});
  }
  parts_.styles.push_back(odt::kStylesEnd);
  parts_.meta = meta_;
}

}  // namespace quorrel::writers
