// Ancient WordPerfect to the SXW content document: a paragraph per line feed, tab elements,
// carriage returns as spaces, bold as balanced spans; the centre code is ignored.
#include <array>

#include "convert/converters.h"
#include "convert/wp/wp_decoder.h"
#include "output/sxw_content.h"
#include "output/transitions.h"

namespace quorrel {

namespace {

inline constexpr Literal kSpace{" "};

// What each code writes between the span tags around it.
constexpr const Literal* code_text(wp::Kind kind) {
  switch (kind) {
    case wp::Kind::carriage_return: return &kSpace;
    case wp::Kind::line_feed: return &sxw::kParagraphBreak;
    case wp::Kind::tab: return &sxw::kTab;
    default: return nullptr;  // the centre code and the bold codes' own places
  }
}

// What a code writes while bold is on or off, and whether bold is on after it. A bold span is
// open exactly while bold is on, always innermost in the current paragraph: a paragraph break
// closes it and reopens it in the next paragraph.
using Text = BasicLiteral<96>;
constexpr Transition<Text> code_output(bool bold, wp::Kind kind) {
  bool line_end = kind == wp::Kind::line_feed;
  bool on = kind == wp::Kind::bold_on;
  bool off = kind == wp::Kind::bold_off;
  Transition<Text> output;
  if (bold && (line_end || off)) output.text += sxw::kSpanEnd;
  if (const Literal* text = code_text(kind)) output.text += *text;
  if (bold ? line_end : on) output.text += sxw::kBoldSpanP1;
  output.next = (bold || on) && !off;
  return output;
}

// Indexed by the bold state, then the kind: a code is one look-up and one copy, without a
// jump on either, both of which change at random in a document of codes.
inline constexpr auto kCodeOutputs = transition_table<Text, 2, wp::kKindCount>(
    [](std::uint8_t bold, std::size_t kind) consteval {
      return code_output(bold != 0, static_cast<wp::Kind>(kind));
    });

class WpSxwSink {
 public:
  static constexpr bool kLineEndsEarly = false;
  explicit WpSxwSink(TextWriter& out) : out_(out) {}

  void character(int c) { sxw::write_character(out_, c); }
  static constexpr FastPaths kFastPaths = kCharacters | kCodeRun;
  void characters(const std::uint8_t* begin, const std::uint8_t* end) {
    sxw::write_characters(out_, begin, end);
  }

  void code(wp::Kind kind) { table_.write(out_, static_cast<std::size_t>(kind)); }
  template <std::size_t kMaxCodes, class Body>
  void code_run(Body&& body) {
    auto run = table_.run<kMaxCodes>(out_);
    body([&run](wp::Kind kind) { run.write(static_cast<std::size_t>(kind)); });
  }
  void carriage_return() { code(wp::Kind::carriage_return); }
  void line_feed() { code(wp::Kind::line_feed); }
  void tab() { code(wp::Kind::tab); }
  void centre() {}
  void bold_on() { code(wp::Kind::bold_on); }
  void bold_off() { code(wp::Kind::bold_off); }

  // A document that ends in bold still closes its span inside the last paragraph.
  void finish() { bold_off(); }

 private:
  TextWriter& out_;
  TableWriter<Text, 2, wp::kKindCount> table_{kCodeOutputs};
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
