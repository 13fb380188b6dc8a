// WordPerfect 6-9 to the SXW content document: hard returns make paragraphs; bold, italics and
// centring make spans, one at a time, so that spans never nest and never cross a paragraph end.
#include "convert/converters.h"
#include "convert/wpd/wpd_decoder.h"
#include "output/sxw_content.h"

namespace quorrel {

namespace {

class WpdSxwSink {
 public:
  explicit WpdSxwSink(TextWriter& out) : out_(out) {}

  void character(int c) {
    // Only a character written as itself ends the soft-return state; escaped ones do not.
    if (c != '<' && c != '>' && c != '&' && c != '"') soft_ = false;
    sxw::write_character(out_, c);
  }
  static constexpr FastPaths kFastPaths = kCharacters;
  void characters(const std::uint8_t* begin, const std::uint8_t* end) {
    // Any character of the run written as itself ends the soft-return state.
    for (const std::uint8_t* p = begin; soft_ && p != end; ++p) {
      if (*p != '<' && *p != '>' && *p != '&' && *p != '"') soft_ = false;
    }
    sxw::write_characters(out_, begin, end);
  }
  void space_code() { out_.put_raw(' '); }
  void tab() { out_.write(sxw::kTabTight); }
  void soft_return() {
    soft_ = true;
    out_.put_raw(' ');
  }
  void hard_return() {
    if (span_ != Span::none) {
      out_.write(sxw::kSpanEndTight);
      if (span_ == Span::centred) span_ = Span::none;
    }
    new_paragraph();
    // A soft return right before the hard one leaves an empty paragraph between them.
    if (soft_) {
      soft_ = false;
      new_paragraph();
    }
    // Bold and italics carry over into the new paragraph; centring does not.
    if (span_ != Span::none) out_.write(span_start(span_));
  }
  void centre() { open(Span::centred); }
  void rule() {}
  void attribute_on(int number) {
    if (number == wpd::kAttributeBold) open(Span::bold);
    if (number == wpd::kAttributeItalics) open(Span::italics);
  }
  void attribute_off(int number) {
    if ((number == wpd::kAttributeBold && span_ == Span::bold) ||
        (number == wpd::kAttributeItalics && span_ == Span::italics)) {
      out_.write(sxw::kSpanEndTight);
      span_ = Span::none;
    }
  }

  // A span still open at the end is closed inside its paragraph, before the epilogue.
  void finish() {
    if (span_ != Span::none) out_.write(sxw::kSpanEndTight);
  }

 private:
  enum class Span { none, bold, italics, centred };

  static const Literal& span_start(Span span) {
    switch (span) {
      case Span::bold: return sxw::kBoldSpanT12;
      case Span::italics: return sxw::kItalicSpanT8;
      default: return sxw::kCentreSpanH5;
    }
  }

  // Opening a span first closes a span of another kind, which is not resumed afterwards; the
  // same kind again changes nothing.
  void open(Span span) {
    if (span_ == span) return;
    if (span_ != Span::none) out_.write(sxw::kSpanEndTight);
    out_.write(span_start(span));
    span_ = span;
  }

  void new_paragraph() {
    out_.write(sxw::kParagraphEndTight);
    out_.write(sxw::kParagraphStart);
  }

  TextWriter& out_;
  Span span_ = Span::none;
  bool soft_ = false;  // a soft return was written and no plain character since
};

}  // namespace

void wpd2xml(ByteSource& in, TextWriter& out, const DocumentInfo&) {
  sxw::write_prolog(out, sxw::StyleSet::full);
  WpdSxwSink sink(out);
  wpd::decode(in, sink);
  sink.finish();
  sxw::write_epilogue(out);
}

}  // namespace quorrel
