// WordPerfect 5.1 to the SXW content document: a paragraph at every hard return, soft line
// ends as spaces, tab elements for tabs and indents, and at most one span at a time, bold (P1)
// or italic (P2) of the basic style set.
#include "convert/converters.h"
#include "convert/w51/w51_decoder.h"
#include "output/sxw_content.h"

namespace quorrel {

namespace {

class W51SxwSink {
 public:
  explicit W51SxwSink(TextWriter& out) : out_(out) {}
  void character(int c) { sxw::write_character(out_, c); }
  void characters(const std::uint8_t* begin, const std::uint8_t* end) {
    sxw::write_characters(out_, begin, end);
  }
  void line_break() { out_.put_raw(' '); }
  // A span may not cross a paragraph end: it is closed before it and reopened after it, so
  // the tabs that start the new line lie inside it.
  void paragraph_break() {
    bool open = span_ != Span::none;
    out_.write_if(open, sxw::kSpanEnd);
    out_.write(sxw::kParagraphEndTight);
    out_.write(sxw::kParagraphStart);
    out_.write_if(open, span_start(span_));
  }
  void tab() { out_.write(sxw::kTab); }
  void tabs(int count) { out_.repeat(sxw::kTab, static_cast<std::size_t>(count)); }
  // Opening one attribute closes the other: spans never nest. The span state changes at
  // random in a document of codes, so the tags are chosen without branches.
  void attribute_on(int number) {
    Span wanted = span_for(number);
    bool opens = (wanted != Span::none) & (wanted != span_);
    out_.write_if(opens & (span_ != Span::none), sxw::kSpanEnd);
    out_.write_if(opens, span_start(wanted));
    span_ = opens ? wanted : span_;
  }
  void attribute_off(int number) {
    bool closes = (span_ != Span::none) & (span_for(number) == span_);
    out_.write_if(closes, sxw::kSpanEnd);
    span_ = closes ? Span::none : span_;
  }
  // Every span ends inside its paragraph, the last one included.
  void close_span() {
    out_.write_if(span_ != Span::none, sxw::kSpanEnd);
    span_ = Span::none;
  }

 private:
  enum class Span { none, bold, italics };

  // Computed, not chosen: the numbers come at random.
  static Span span_for(int number) {
    return static_cast<Span>((number == w51::kAttributeBold) * static_cast<int>(Span::bold) +
                             (number == w51::kAttributeItalics) * static_cast<int>(Span::italics));
  }
  static const Literal& span_start(Span span) {
    return span == Span::bold ? sxw::kBoldSpanP1 : sxw::kItalicSpanP2;
  }

  TextWriter& out_;
  Span span_ = Span::none;
};

}  // namespace

void w512xml(ByteSource& in, TextWriter& out, const DocumentInfo&) {
  sxw::write_prolog(out, sxw::StyleSet::basic);
  W51SxwSink sink(out);
  w51::decode(in, sink);
  sink.close_span();
  sxw::write_epilogue(out);
}

}  // namespace quorrel
