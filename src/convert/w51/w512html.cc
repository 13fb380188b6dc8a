// WordPerfect 5.1 to HTML: a paragraph mark at every hard return, soft line ends and tabs
// kept in the page source, bold and italic tags that open and close independently.
#include "convert/converters.h"
#include "convert/w51/w51_decoder.h"
#include "output/html_frame.h"

namespace quorrel {

namespace {

class W51HtmlSink {
 public:
  explicit W51HtmlSink(TextWriter& out) : out_(out) {}
  void character(int c) { out_.put_raw(html::document_character(c)); }
  void characters(const std::uint8_t* begin, const std::uint8_t* end) {
    html::write_document_characters(out_, begin, end);
  }
  void line_break() { out_.put('\n'); }
  void paragraph_break() { out_.write(html::kParagraph); }
  void tab() { out_.put_raw('\t'); }
  void tabs(int count) { out_.repeat_short('\t', static_cast<std::size_t>(count)); }
  // A tag is written only when its attribute changes state; the two attributes never close
  // each other, so the tags need not nest.
  void attribute_on(int number) { set(number, true); }
  void attribute_off(int number) { set(number, false); }

 private:
  // Without a branch on the number or the state: both come at random in a document of codes.
  void set(int number, bool on) {
    bool bold = (number == w51::kAttributeBold) & (bold_ != on);
    bool italics = (number == w51::kAttributeItalics) & (italics_ != on);
    out_.write_if(bold, on ? html::kBoldOn : html::kBoldOff);
    out_.write_if(italics, on ? html::kItalicsOn : html::kItalicsOff);
    bold_ ^= bold;
    italics_ ^= italics;
  }

  TextWriter& out_;
  bool bold_ = false;
  bool italics_ = false;
};

}  // namespace

void w512html(ByteSource& in, TextWriter& out, const DocumentInfo& info) {
  html::write_prologue(out, info.title);
  W51HtmlSink sink(out);
  w51::decode(in, sink);
  // Open tags stay open: the page ends as the document does.
  html::write_epilogue(out, html::Epilogue::tight);
}

}  // namespace quorrel
