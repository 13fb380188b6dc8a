// The WordPerfect 5.1 byte filter shared by the text, HTML and SXW converters. It decides what
// each byte of the document area means, keeps the indentation state, and tells an event sink;
// the sink alone decides how each unit is written. A sink provides:
//   character(int c)            a printable character, 32..126 (the space code arrives as ' ')
//   line_break()                a soft return
//   paragraph_break()           a hard return
//   tab()                       one tab unit: a tab code, an indent, each indentation level
//   attribute_on(int number)    end of an attribute-on group, with its attribute number
//   attribute_off(int number)   end of an attribute-off group, with its attribute number
// The sink is a template parameter so that no byte costs a virtual call.
#pragma once

#include <algorithm>

#include "convert/w51/w51_codes.h"
#include "io/byte_source.h"

namespace quorrel::w51 {

// Indentation counters stop here. Each hanging indent writes as many tabs as there have been
// hanging indents in the paragraph, so without a bound a file of nothing but such groups
// would grow its output with the square of its size. 64 tab stops are wider than any page;
// real documents stay far below.
inline constexpr int kMaxIndentLevels = 64;

template <class Sink>
void decode(ByteSource& in, Sink& sink) {
  int escape = 0;    // code of the open group, 0 when none
  int prevdata = 0;  // the byte examined before `data`
  int indent = 0;    // indent groups since the last return of either kind
  int hang = 0;      // hanging-indent groups since the last hard return
  int hangmax = 0;   // tab units that start each line after a return
  auto tabs = [&sink](int count) {
    for (int i = 0; i < count; ++i) sink.tab();
  };
  auto level_up = [](int level) { return std::min(level + 1, kMaxIndentLevels); };

  for (int data = in.get(); data != kEndOfInput; prevdata = data, data = in.get()) {
    if (data >= kGroupThreshold) {
      if (data == escape) {
        escape = 0;  // the group ends and its code acts below
      } else if (escape == 0) {
        escape = data;
      }
    }
    if (escape != 0) continue;  // opening byte, content, or a foreign code inside a group
    if (data >= kFirstCharacter && data <= kLastCharacter) {
      sink.character(data);
      continue;
    }
    switch (data) {
      case kSpaceCode:  // a space in every output, so that words stay apart
        sink.character(' ');
        break;
      case kSoftReturn:
      case kSoftPage:
      case kSoftReturnCode:  // soft return: the hanging indent goes on
        sink.line_break();
        tabs(hangmax);
        indent = 0;
        break;
      case kHardReturn:  // hard return: one more line at the hanging indent, then it ends
        sink.paragraph_break();
        tabs(hangmax);
        indent = hang = hangmax = 0;
        break;
      case kTab:
        sink.tab();
        break;
      case kIndentGroup:
        indent = level_up(indent);
        sink.tab();
        break;
      case kHangingIndentGroup:
        hang = level_up(hang);
        hangmax = hang + indent;
        tabs(hang);
        break;
      case kAttributeOnGroup:
        sink.attribute_on(prevdata);
        break;
      case kAttributeOffGroup:
        sink.attribute_off(prevdata);
        break;
      default:  // every other code writes nothing
        break;
    }
  }
}

}  // namespace quorrel::w51
