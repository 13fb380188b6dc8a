// Ancient WordPerfect to the SXW content document: a paragraph per line feed, tab elements,
// carriage returns as spaces, bold as balanced spans; the centre code is ignored.
#include "convert/converters.h"
#include "convert/wp/wp_decoder.h"
#include "output/sxw_content.h"

namespace quorrel {

namespace {

// A bold span is open exactly while `bold_` is set, always innermost in the current
// paragraph: a paragraph break closes it and reopens it in the next paragraph.
class WpSxwSink {
 public:
  static constexpr bool kLineEndsEarly = false;
  explicit WpSxwSink(TextWriter& out) : out_(out) {}

  void character(int c) { sxw::write_character(out_, c); }
  void characters(const std::uint8_t* begin, const std::uint8_t* end) {
    sxw::write_characters(out_, begin, end);
  }
  void carriage_return() { out_.put_raw(' '); }
  void line_feed() {
    if (bold_) out_.write(sxw::kSpanEnd);
    sxw::write_paragraph_break(out_);
    if (bold_) out_.write(sxw::kBoldSpanP1);
  }
  void tab() { out_.write(sxw::kTab); }
  void centre() {}
  void bold_on() {
    if (bold_) return;
    bold_ = true;
    out_.write(sxw::kBoldSpanP1);
  }
  void bold_off() {
    if (!bold_) return;
    bold_ = false;
    out_.write(sxw::kSpanEnd);
  }

  // A document that ends in bold still closes its span inside the last paragraph.
  void finish() { bold_off(); }

 private:
  TextWriter& out_;
  bool bold_ = false;
};

}  // namespace

void wp2xml(ByteSource& in, TextWriter& out, const DocumentInfo&) {
  sxw::write_prolog(out, sxw::StyleSet::basic);
  WpSxwSink sink(out);
  wp::decode(in, sink);
  sink.finish();
  sxw::write_epilogue(out);
}

}  // namespace quorrel
