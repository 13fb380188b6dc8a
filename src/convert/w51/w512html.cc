// WordPerfect 5.1 to HTML: a paragraph mark at every hard return, soft line ends and tabs
// kept in the page source, bold and italic tags that open and close independently.
#include "convert/converters.h"
#include "convert/w51/w51_decoder.h"
#include "convert/w51/w51_tab_codes.h"
#include "output/html_frame.h"
#include "output/transitions.h"

namespace quorrel {

namespace {

using Text = BasicLiteral<16>;

// The state: which of the two attributes are on.
constexpr std::uint8_t kBold = 1;
constexpr std::uint8_t kItalics = 2;
constexpr std::size_t kStates = 4;

// A tag is written only when its attribute changes state; the two attributes never close
// each other, so the tags need not nest.
consteval Transition<Text> attribute(std::uint8_t state, std::uint8_t which, bool on,
                                     const Literal& on_tag, const Literal& off_tag) {
  if (((state & which) != 0) == on) return {Text{}, state};
  return {Text{on ? on_tag : off_tag}, static_cast<std::uint8_t>(state ^ which)};
}

// What a code writes before its tab units, and the state after it.
consteval Transition<Text> transition(std::uint8_t state, w51::Kind kind, int number) {
  using enum w51::Kind;
  switch (kind) {
    case space_code: return {Text{" "}, state};
    case soft_return: return {Text{"\n"}, state};  // kept in the page source only
    case hard_return: return {Text{html::kParagraph}, state};
    case attribute_on_group:
    case attribute_off_group: {
      bool on = kind == attribute_on_group;
      if (number == w51::kAttributeBold) {
        return attribute(state, kBold, on, html::kBoldOn, html::kBoldOff);
      }
      if (number == w51::kAttributeItalics) {
        return attribute(state, kItalics, on, html::kItalicsOn, html::kItalicsOff);
      }
      return {Text{}, state};
    }
    default: return {Text{}, state};
  }
}
constexpr auto kTransitions = transition_table<Text, kStates, w51::kEvents>(
    [](std::uint8_t state, std::size_t event) consteval {
      return transition(state, w51::kind_of_event(event), w51::number_of_event(event));
    });

class W51HtmlSink : public w51::TabByteCodes<Text, kStates> {
 public:
  explicit W51HtmlSink(TextWriter& out) : TabByteCodes(out, kTransitions) {}
  void character(int c) { out_.put_raw(html::document_character(c)); }
  static constexpr FastPaths kFastPaths = kCharacters | kCodeRun;
  void characters(const std::uint8_t* begin, const std::uint8_t* end) {
    html::write_document_characters(out_, begin, end);
  }
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
