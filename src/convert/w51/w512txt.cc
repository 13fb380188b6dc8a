// WordPerfect 5.1 to plain text: characters, tabs and line ends; no formatting.
#include "convert/converters.h"
#include "convert/w51/w51_decoder.h"
#include "convert/w51/w51_tab_codes.h"
#include "output/transitions.h"

namespace quorrel {

namespace {

using Text = BasicLiteral<16>;

// What a code writes before its tab units; plain text has no state.
consteval Transition<Text> transition(w51::Kind kind) {
  using enum w51::Kind;
  switch (kind) {
    case space_code: return {Text{" "}};
    // Soft and hard returns both end the line: plain text cannot tell them apart.
    case soft_return:
    case hard_return: return {Text{"\n"}};
    default: return {};
  }
}
constexpr auto kTransitions = transition_table<Text, 1, w51::kEvents>(
    [](std::uint8_t, std::size_t event) consteval { return transition(w51::kind_of_event(event)); });

class W51TextSink : public w51::TabByteCodes<Text, 1> {
 public:
  explicit W51TextSink(TextWriter& out) : TabByteCodes(out, kTransitions) {}
  void character(int c) { out_.put_raw(static_cast<char>(c)); }
  static constexpr FastPaths kFastPaths = kCopyCharacters | kCodeRun;
  const std::uint8_t* copy_characters(const std::uint8_t* begin, const std::uint8_t* end) {
    return copy_printable(out_, begin, end);
  }
};

}  // namespace

void w512txt(ByteSource& in, TextWriter& out, const DocumentInfo&) {
  W51TextSink sink(out);
  w51::decode(in, sink);
}

}  // namespace quorrel
