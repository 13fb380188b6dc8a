// WordPerfect 5.1 to the SXW content document: a paragraph at every hard return, soft line
// ends as spaces, tab elements for tabs and indents, and at most one span at a time, bold (P1)
// or italic (P2) of the basic style set.
#include "convert/converters.h"
#include "convert/w51/w51_decoder.h"
#include "output/sxw_content.h"
#include "output/transitions.h"

namespace quorrel {

namespace {

// Long enough for a paragraph break inside a span: the span's end, the paragraph's end, the
// next paragraph's start and the span again, then a tab unit.
using Text = BasicLiteral<112>;

// The state: the open span, if any.
enum Span : std::uint8_t { kNoSpan, kBoldSpan, kItalicSpan, kSpans };

consteval Span span_for(int number) {
  if (number == w51::kAttributeBold) return kBoldSpan;
  if (number == w51::kAttributeItalics) return kItalicSpan;
  return kNoSpan;
}
consteval const Literal& span_start(std::uint8_t span) {
  return span == kBoldSpan ? sxw::kBoldSpanP1 : sxw::kItalicSpanP2;
}

// What a code writes before its tab units, and the span after it.
consteval Transition<Text> transition(std::uint8_t span, w51::Kind kind, int number) {
  using enum w51::Kind;
  Transition<Text> result{Text{}, span};
  switch (kind) {
    case space_code:
    case soft_return:  // soft line ends as spaces
      result.text += Literal{" "};
      break;
    case hard_return:
      // A span may not cross a paragraph end: it is closed before it and reopened after it,
      // so the tabs that start the new line lie inside it.
      if (span != kNoSpan) result.text += sxw::kSpanEnd;
      result.text += sxw::kParagraphEndTight;
      result.text += sxw::kParagraphStart;
      if (span != kNoSpan) result.text += span_start(span);
      break;
    case attribute_on_group: {
      // Opening one attribute closes the other: spans never nest.
      Span wanted = span_for(number);
      if (wanted == kNoSpan || wanted == span) break;
      if (span != kNoSpan) result.text += sxw::kSpanEnd;
      result.text += span_start(wanted);
      result.next = wanted;
      break;
    }
    case attribute_off_group:
      if (span == kNoSpan || span_for(number) != span) break;
      result.text += sxw::kSpanEnd;
      result.next = kNoSpan;
      break;
    default:
      break;
  }
  return result;
}
// Most codes write no tab unit and most others one (a tab, an indent, a return at the first
// level), so each event comes twice: without and with a first tab unit after its text.
constexpr std::size_t kEvents = 2 * w51::kEvents;
constexpr std::size_t event_with_tabs(std::size_t event, int tab_units) {
  return 2 * event + (tab_units != 0);
}
constexpr auto kTransitions = transition_table<Text, kSpans, kEvents>(
    [](std::uint8_t span, std::size_t event) consteval {
      std::size_t code = event / 2;
      Transition<Text> result =
          transition(span, w51::kind_of_event(code), w51::number_of_event(code));
      if (event % 2 != 0) result.text += sxw::kTab;
      return result;
    });

// Room for the tab units after the first, written within a run of codes.
constexpr std::size_t kMoreTabsRoom =
    (w51::kMaxTabUnits - 1) * sxw::kTab.size() + decltype(sxw::kTab)::kCapacity;

class W51SxwSink {
 public:
  explicit W51SxwSink(TextWriter& out) : out_(out) {}
  void character(int c) { sxw::write_character(out_, c); }
  static constexpr FastPaths kFastPaths = kCharacters | kCodeRun;
  void characters(const std::uint8_t* begin, const std::uint8_t* end) {
    sxw::write_characters(out_, begin, end);
  }
  void code(w51::Kind kind, int number, int tab_units) {
    code_run<1>([&](auto&& write) { write(kind, number, tab_units); });
  }
  template <std::size_t kMaxCodes, class Body>
  void code_run(Body&& body) {
    auto run = table_.run<kMaxCodes, 0, kMoreTabsRoom>(out_);
    body([&run](w51::Kind kind, int number, int tab_units) {
      run.write(event_with_tabs(w51::event_of(kind, number), tab_units));
      if (tab_units > 1) [[unlikely]] {
        if (tab_units <= w51::kMaxTabUnits) {
          for (int unit = 1; unit < tab_units; ++unit) run.cursor().write(sxw::kTab);
        } else {
          run.write_outside([tab_units](TextWriter& out) {
            out.repeat(sxw::kTab, static_cast<std::size_t>(tab_units - 1));
          });
        }
      }
    });
  }

  // Every span ends inside its paragraph, the last one included.
  void close_span() { out_.write_if(table_.state() != kNoSpan, sxw::kSpanEnd); }

 private:
  TextWriter& out_;
  // Only paragraph breaks inside a span or followed by a tab unit are longer than 48 bytes.
  TableWriter<Text, kSpans, kEvents, 48> table_{kTransitions};
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
