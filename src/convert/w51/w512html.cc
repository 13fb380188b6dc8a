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
  // A tag is written only when its attribute changes state; the two attributes never close
  // each other, so the tags need not nest.
  void attribute_on(int number) { set(number, true); }
  void attribute_off(int number) { set(number, false); }

 private:
  void set(int number, bool on) {
    if (number == w51::kAttributeBold) {
      set(bold_, on, html::kBoldOn, html::kBoldOff);
    } else if (number == w51::kAttributeItalics) {
      set(italics_, on, html::kItalicsOn, html::kItalicsOff);
    }
  }
  void set(bool& state, bool on, const Literal& on_tag, const Literal& off_tag) {
    if (state == on) return;
    state = on;
    out_.write(on ? on_tag : off_tag);
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
