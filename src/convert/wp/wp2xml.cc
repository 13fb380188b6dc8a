// Ancient WordPerfect to the SXW content document: a paragraph per line feed, tab elements,
// carriage returns as spaces, bold as balanced spans; the centre code is ignored.
#include <array>

#include "convert/converters.h"
#include "convert/wp/wp_decoder.h"
#include "output/sxw_content.h"

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
struct CodeOutput {
  JoinedLiterals<96> text;
  bool bold_after = false;
};

constexpr CodeOutput code_output(bool bold, wp::Kind kind) {
  bool line_end = kind == wp::Kind::line_feed;
  bool on = kind == wp::Kind::bold_on;
  bool off = kind == wp::Kind::bold_off;
  CodeOutput output;
  if (bold && (line_end || off)) output.text.append(sxw::kSpanEnd);
  if (const Literal* text = code_text(kind)) output.text.append(*text);
  if (bold ? line_end : on) output.text.append(sxw::kBoldSpanP1);
  output.bold_after = (bold || on) && !off;
  return output;
}

// Indexed by the bold state, then the kind: a code is one look-up and one copy, without a
// jump on either, both of which change at random in a document of codes.
inline constexpr auto kCodeOutputs = wp::flag_kind_table<CodeOutput>(code_output);

class WpSxwSink {
 public:
  static constexpr bool kLineEndsEarly = false;
  explicit WpSxwSink(TextWriter& out) : out_(out) {}

  void character(int c) { sxw::write_character(out_, c); }
  void characters(const std::uint8_t* begin, const std::uint8_t* end) {
    sxw::write_characters(out_, begin, end);
  }

  void code(wp::Kind kind) {
    const CodeOutput& output = kCodeOutputs[bold_][static_cast<std::size_t>(kind)];
    out_.commit(output.text.put(out_.reserve(decltype(output.text)::kCapacity)));
    bold_ = output.bold_after;
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
