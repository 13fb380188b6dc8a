#include "writers/html_writer.h"

#include "document/utf8.h"

namespace quorrel::writers {

using document::Align;
using document::Attributes;
using document::SubDocument;

namespace {

constexpr std::string_view kPageStart =
    "<!DOCTYPE html>\n"
    "<html>\n"
    "<head>\n"
    "<meta charset=\"utf-8\">\n"
    "<title>";

constexpr std::string_view kHeadEnd =
    "</title>\n"
    "<style>\n"
    "p { white-space: pre-wrap; }\n"
    ".center { text-align: center; }\n"
    ".right { text-align: right; }\n"
    ".justify { text-align: justify; }\n"
    ".small-caps { font-variant: small-caps; }\n"
    ".tab { white-space: pre; }\n"
    "hr.page-break { break-after: page; page-break-after: always; }\n"
    "table { border-collapse: collapse; }\n"
    "td { border: 1px solid #888; padding: 0 0.4em; vertical-align: top; }\n"
    ".header, .footer, .comment, .text-box { border-left: 3px solid #ccc; padding-left: 0.5em;"
    " color: #555; }\n"
    "</style>\n"
    "</head>\n"
    "<body>\n";

constexpr std::string_view kPageEnd = "</body>\n</html>\n";

// Indexed by document::Attribute.
constexpr std::string_view kOpenTags[document::kAttributeCount] = {
    "<b>", "<i>", "<u>", "<s>", "<sup>", "<sub>", "<span class=\"small-caps\">"};
constexpr std::string_view kCloseTags[document::kAttributeCount] = {
    "</b>", "</i>", "</u>", "</s>", "</sup>", "</sub>", "</span>"};

std::string_view paragraph_start(Align align) {
  switch (align) {
    case Align::center: return "<p class=\"center\">";
    case Align::right: return "<p class=\"right\">";
    case Align::justify: return "<p class=\"justify\">";
    case Align::left: break;
  }
  return "<p>";
}

std::string_view class_of(SubDocument kind) {
  switch (kind) {
    case SubDocument::header: return "header";
    case SubDocument::footer: return "footer";
    case SubDocument::comment: return "comment";
    case SubDocument::text_box: return "text-box";
    case SubDocument::footnote: return "footnote";
    case SubDocument::endnote: return "endnote";
  }
  return "sub-document";
}

// A file name's bytes as title text: invalid UTF-8 becomes U+FFFD, control characters spaces.
std::string title_text(std::string_view bytes) {
  std::string text;
  for (;;) {
    std::string valid(bytes.substr(0, document::valid_utf8_prefix(bytes)));
    for (char& c : valid) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    append_xml_escaped(text, valid);
    if (valid.size() == bytes.size()) return text;
    text += "\xEF\xBF\xBD";
    bytes.remove_prefix(valid.size() + 1);
  }
}

}  // namespace

HtmlWriter::HtmlWriter(Sink& sink, std::string_view title) : out_(sink) {
  out_.append(kPageStart);
  out_.append(title_text(title));
  out_.append(kHeadEnd);
}

void HtmlWriter::open_paragraph(Align align) {
  Flow& f = flow();
  if (f.in_paragraph) close_paragraph();
  out().append(paragraph_start(align));
  f.in_paragraph = true;
  f.paragraph_empty = true;
}

void HtmlWriter::close_paragraph() {
  Flow& f = flow();
  if (!f.in_paragraph) return;
  set_attributes(0);
  // An empty <p> takes no room in a browser; the line it stands for should.
  out().append(f.paragraph_empty ? "<br></p>\n" : "</p>\n");
  f.in_paragraph = false;
  if (!in_sub_) write_anchored();
}

void HtmlWriter::set_attributes(Attributes attributes) {
  Flow& f = flow();
  if (f.open_mask == attributes) return;
  OutputBuffer& o = out();
  // Elements stay open from the outermost on as long as the new set keeps them.
  int keep = 0;
  Attributes kept = 0;
  while (keep < f.open_count && (attributes & (1u << f.open[keep]))) kept |= 1u << f.open[keep++];
  for (int i = f.open_count - 1; i >= keep; --i) o.append(kCloseTags[f.open[i]]);
  f.open_count = keep;
  for (int a = 0; a < document::kAttributeCount; ++a) {
    if ((attributes & (1u << a)) && !(kept & (1u << a))) {
      o.append(kOpenTags[a]);
      f.open[f.open_count++] = static_cast<std::uint8_t>(a);
    }
  }
  f.open_mask = attributes;
}

void HtmlWriter::text(std::string_view utf8, Attributes attributes) {
  content_starts();
  set_attributes(attributes & ((1u << document::kAttributeCount) - 1));
  out().append_escaped(utf8);
}

void HtmlWriter::tab() {
  content_starts();
  out().append("<span class=\"tab\">\t</span>");
}

void HtmlWriter::line_break() {
  content_starts();
  out().append("<br>");
}

void HtmlWriter::page_break() {
  // A rule cannot stand inside a paragraph; there a page break is only a line break.
  if (flow().in_paragraph) return line_break();
  out().append("<hr class=\"page-break\">\n");
}

void HtmlWriter::open_sub_document(SubDocument kind) {
  if (in_sub_) close_sub_document();  // not nested; closed rather than mixed up
  sub_is_note_ = document::is_note(kind);
  if (sub_is_note_) {
    std::string number = std::to_string(++note_count_);
    content_starts();
    out().append("<sup class=\"note-ref\"><a id=\"ref-" + number + "\" href=\"#note-" + number +
                 "\">" + number + "</a></sup>");
    sub_.out().append("<li id=\"note-" + number + "\">\n");
  } else {
    sub_.out().append("<div class=\"");
    sub_.out().append(class_of(kind));
    sub_.out().append("\">\n");
  }
  in_sub_ = true;
  sub_flow_ = Flow{};
}

void HtmlWriter::close_sub_document() {
  if (!in_sub_) return;
  close_flow();
  sub_.out().append(sub_is_note_ ? "</li>\n" : "</div>\n");
  std::string_view text = sub_.text();
  if (sub_is_note_) {
    notes_.append(text);
  } else {
    anchored_.append(text);
  }
  sub_.clear();
  in_sub_ = false;
  if (!body_.in_paragraph) write_anchored();
}

void HtmlWriter::write_anchored() {
  if (anchored_.empty()) return;
  out_.append(anchored_);
  anchored_.clear();
}

void HtmlWriter::close_flow() {
  Flow& f = flow();
  close_paragraph();
  if (f.in_table) close_table();
}

void HtmlWriter::open_table(int) {
  Flow& f = flow();
  close_paragraph();
  if (f.in_table) close_table();
  out().append("<table>\n");
  f.in_table = true;
}

void HtmlWriter::open_row() {
  Flow& f = flow();
  if (!f.in_table) open_table(0);
  if (f.in_row) close_row();
  out().append("<tr>\n");
  f.in_row = true;
}

void HtmlWriter::open_cell() {
  Flow& f = flow();
  if (!f.in_row) open_row();
  if (f.in_cell) close_cell();
  out().append("<td>");
  f.in_cell = true;
}

void HtmlWriter::close_cell() {
  Flow& f = flow();
  if (!f.in_cell) return;
  close_paragraph();
  out().append("</td>\n");
  f.in_cell = false;
}

void HtmlWriter::close_row() {
  Flow& f = flow();
  if (!f.in_row) return;
  close_cell();
  out().append("</tr>\n");
  f.in_row = false;
}

void HtmlWriter::close_table() {
  Flow& f = flow();
  if (!f.in_table) return;
  close_row();
  out().append("</table>\n");
  f.in_table = false;
}

void HtmlWriter::end_document() {
  if (in_sub_) close_sub_document();
  close_flow();
  write_anchored();
  bool held_ok = true;
  if (!notes_.empty()) {
    out_.append("<ol class=\"notes\">\n");
    held_ok = notes_.write_to(out_);
    out_.append("</ol>\n");
  }
  out_.append(kPageEnd);
  ok_ = out_.finish() && held_ok;
}

}  // namespace quorrel::writers
