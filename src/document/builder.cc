#include "document/builder.h"

#include <array>

#include "document/utf8.h"

namespace quorrel::document {

void DocumentBuilder::printable_ascii(std::string_view ascii) {
  run_.append(ascii);
  if (run_.size() >= kRunLimit) flush();
}

namespace {

// Bytes of valid UTF-8 that `text` must look at: control characters, and the lead byte of
// U+FFFE and U+FFFF.
constexpr std::array<bool, 256> kNeedsCare = [] {
  std::array<bool, 256> care{};
  for (int c = 0; c < 0x20; ++c) care[c] = true;
  care[0x7F] = care[0xEF] = true;
  return care;
}();

constexpr bool is_noncharacter(char32_t code_point) {
  return code_point == 0xFFFE || code_point == 0xFFFF;
}

}  // namespace

void DocumentBuilder::text(std::string_view utf8) {
  // Copied in stretches between the characters that need care, which real text almost never
  // holds.
  const char* start = utf8.data();
  const char* end = start + utf8.size();
  for (const char* p = start; p != end; ++p) {
    auto byte = static_cast<unsigned char>(*p);
    if (!kNeedsCare[byte]) continue;
    if (byte == 0xEF) {  // a three-byte sequence: U+F000-U+FFFF
      if (end - p < 3 || p[1] != '\xBF' || (p[2] != '\xBE' && p[2] != '\xBF')) continue;
      run_.append(start, p);
      run_.append("\xEF\xBF\xBD");
      p += 2;
    } else {
      run_.append(start, p);
    }
    start = p + 1;
  }
  run_.append(start, end);
  if (run_.size() >= kRunLimit) flush();
}

void DocumentBuilder::character(char32_t code_point) {
  if (code_point < 0x20 || code_point == 0x7F) return;
  append_utf8(run_, is_noncharacter(code_point) ? 0xFFFD : code_point);
  if (run_.size() >= kRunLimit) flush();
}

void DocumentBuilder::flush() {
  if (run_.empty()) return;
  ensure_paragraph();
  sink_.text(run_, run_attributes_);
  run_.clear();
}

void DocumentBuilder::ensure_paragraph() {
  Context& context = current();
  if (context.paragraph_open) return;
  if (context.table_open && !context.cell_open) begin_cell();
  sink_.open_paragraph(context.paragraph_align);
  context.paragraph_open = true;
}

void DocumentBuilder::close_paragraph() {
  flush();
  Context& context = current();
  if (!context.paragraph_open) return;
  sink_.close_paragraph();
  context.paragraph_open = false;
  context.paragraph_align = context.justification;
}

void DocumentBuilder::tab() {
  flush();
  ensure_paragraph();
  sink_.tab();
}

void DocumentBuilder::line_break() {
  flush();
  ensure_paragraph();
  sink_.line_break();
}

void DocumentBuilder::paragraph_break() {
  flush();
  ensure_paragraph();
  close_paragraph();
}

void DocumentBuilder::page_break() {
  close_paragraph();
  // A page break means nothing inside a table or a note.
  if (depth_ == 0 && !body_.table_open) sink_.page_break();
}

void DocumentBuilder::set_attribute(Attribute attribute, bool on) {
  Context& context = current();
  Attributes next = on ? Attributes(context.attributes | bit(attribute))
                       : Attributes(context.attributes & ~bit(attribute));
  if (next == context.attributes) return;
  flush();
  context.attributes = next;
  run_attributes_ = next;
}

void DocumentBuilder::set_justification(Align align) {
  Context& context = current();
  context.justification = align;
  if (!context.paragraph_open && run_.empty()) context.paragraph_align = align;
}

void DocumentBuilder::align_paragraph(Align align) {
  Context& context = current();
  if (!context.paragraph_open && run_.empty()) context.paragraph_align = align;
}

void DocumentBuilder::open_sub_document(SubDocument kind) {
  if (depth_ > 0) {
    ++depth_;
    return;
  }
  flush();
  ensure_paragraph();  // the anchor
  sink_.open_sub_document(kind);
  depth_ = 1;
  sub_ = Context{};
  run_attributes_ = 0;
}

void DocumentBuilder::close_sub_document() {
  if (depth_ == 0) return;
  if (depth_ > 1) {
    --depth_;
    return;
  }
  close_paragraph();
  close_table_in(sub_);
  sink_.close_sub_document();
  depth_ = 0;
  run_attributes_ = body_.attributes;
}

void DocumentBuilder::open_table(int columns) {
  close_paragraph();
  declare_table(columns);
}

void DocumentBuilder::open_row() {
  close_paragraph();
  declare_row();
}

void DocumentBuilder::open_cell() {
  close_paragraph();
  begin_cell();
}

void DocumentBuilder::declare_table(int columns) {
  Context& context = current();
  close_table_in(context);
  context.table_open = true;
  context.table_columns = columns;
}

void DocumentBuilder::declare_row() {
  Context& context = current();
  if (!context.table_open) declare_table(0);
  if (context.cell_open) sink_.close_cell();
  if (context.row_written) sink_.close_row();
  context.cell_open = context.row_written = false;
  context.row_open = true;
}

void DocumentBuilder::begin_cell() {
  Context& context = current();
  if (!context.row_open) declare_row();
  if (!context.table_written) sink_.open_table(context.table_columns);
  if (!context.row_written) sink_.open_row();
  if (context.cell_open) sink_.close_cell();
  sink_.open_cell();
  context.table_written = context.row_written = context.cell_open = true;
}

void DocumentBuilder::close_table() {
  close_paragraph();
  close_table_in(current());
}

void DocumentBuilder::close_table_in(Context& context) {
  if (context.cell_open) sink_.close_cell();
  if (context.row_written) sink_.close_row();
  if (context.table_written) sink_.close_table();
  context.table_open = context.table_written = false;
  context.row_open = context.row_written = context.cell_open = false;
}

void DocumentBuilder::finish() {
  if (depth_ > 0) {
    depth_ = 1;
    close_sub_document();
  }
  close_paragraph();
  close_table_in(body_);
  sink_.end_document();
}

}  // namespace quorrel::document
