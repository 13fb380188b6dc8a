// The WordPerfect 6-9 byte filter shared by the text, HTML and SXW converters. It decides what
// each byte of the document area means and tells an event sink; the sink alone decides what
// to write. A sink provides:
//   character(int c)            a printable character, 32..126
//   characters(begin, end)      optional: a run of them, in one call
//   space_code()                the space code 128
//   tab()                       end of a tab group
//   soft_return()               end of a soft-return group
//   hard_return()               the hard-return byte
//   centre()                    end of a centre group
//   rule()                      end of a rule group
//   attribute_on(int number)    end of an attribute-on group, with its attribute number
//   attribute_off(int number)   end of an attribute-off group, with its attribute number
// The sink is a template parameter so that no byte costs a virtual call.
#pragma once

#include "convert/scan.h"
#include "convert/wpd/wpd_codes.h"
#include "io/byte_source.h"

namespace quorrel::wpd {

// What one examined byte does once the group rule has let it through.
template <class Sink>
inline void dispatch(int data, int prevdata, Sink& sink) {
  switch (data) {
    case kSpaceCode: sink.space_code(); break;
    case kHardReturn: sink.hard_return(); break;
    case kSoftReturnGroup: sink.soft_return(); break;
    case kCentreGroup: sink.centre(); break;
    case kRuleGroup: sink.rule(); break;
    case kTabGroup: sink.tab(); break;
    case kAttributeOnGroup: sink.attribute_on(prevdata); break;
    case kAttributeOffGroup: sink.attribute_off(prevdata); break;
    default:
      if (data >= kFirstCharacter && data <= kLastCharacter) sink.character(data);
      break;  // every other byte writes nothing
  }
}

// `kBulk` false gives the plain byte-at-a-time loop, kept as the reference the fast path is
// tested against.
template <class Sink, bool kBulk = true>
void decode(ByteSource& in, Sink& sink) {
  int escape = 0;    // code of the open group, 0 when none
  int prevdata = 0;  // the byte examined before the current one
  bool drop_run_after_next = false;
  for (;;) {
    if constexpr (kBulk) {
      // The byte after an opening 208 must be examined on its own, whatever it is.
      if (!drop_run_after_next && in.fill()) {
        const std::uint8_t* begin = in.window_begin();
        const std::uint8_t* end = in.window_end();
        const std::uint8_t* stop;
        if (escape == 0) {
          stop = skip_printable(begin, end);
          if (stop != begin) emit_characters(sink, begin, stop);
        } else {
          stop = find_byte(begin, end, escape);  // everything before the closing code is inert
        }
        if (stop != begin) {
          prevdata = stop[-1];
          in.advance_to(stop);
          continue;
        }
      }
    }
    int data = in.get();
    if (data == kEndOfInput) break;
    bool drop_run_after_this = drop_run_after_next;
    drop_run_after_next = false;
    if (data >= kGroupThreshold) {
      if (data == escape) {
        escape = 0;
      } else if (escape == 0) {
        escape = data;
        drop_run_after_next = data == kSoftReturnGroup;
      }
    }
    if (escape == 0) dispatch(data, prevdata, sink);
    prevdata = data;
    if (drop_run_after_this) in.skip(kRunAfterSoftReturnOpen);
  }
}

}  // namespace quorrel::wpd
