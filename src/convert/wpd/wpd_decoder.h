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

// The group rule for one examined byte, and its meaning when no group stays open. Returns
// true when the byte opens a soft-return group, whose next byte is examined and the 18 after
// that dropped.
template <class Sink>
inline bool examine(int data, int& escape, int prevdata, Sink& sink) {
  bool opens_soft_return = false;
  if (data >= kGroupThreshold) {
    if (data == escape) {
      escape = 0;
    } else if (escape == 0) {
      escape = data;
      opens_soft_return = data == kSoftReturnGroup;
    }
  }
  if (escape == 0) dispatch(data, prevdata, sink);
  return opens_soft_return;
}

// The plain byte-at-a-time loop: the reference that the fast loop below is tested against.
template <class Sink>
void decode_bytewise(ByteSource& in, Sink& sink) {
  int escape = 0;    // code of the open group, 0 when none
  int prevdata = 0;  // the byte examined before the current one
  bool drop_run_after_next = false;
  for (int data = in.get(); data != kEndOfInput; prevdata = data, data = in.get()) {
    bool drop_run_after_this = drop_run_after_next;
    drop_run_after_next = examine(data, escape, prevdata, sink);
    if (drop_run_after_this) in.skip(kRunAfterSoftReturnOpen);
  }
}

// The same decisions, taken on the input buffer directly: runs of characters and the inside
// of groups are passed over many bytes at a time, and only the bytes between them are
// examined one by one.
template <class Sink>
void decode(ByteSource& in, Sink& sink) {
  int escape = 0;
  int prevdata = 0;
  bool drop_run_after_next = false;
  while (in.fill()) {
    const std::uint8_t* p = in.window_begin();
    const std::uint8_t* const end = in.window_end();
    std::size_t drop_beyond_window = 0;  // the 18-byte drop can reach past this window
    while (p != end) {
      // The byte after an opening 208 must be examined on its own, whatever it is.
      if (!drop_run_after_next) {
        if (escape != 0) {
          // Inside a group: its bytes pass unexamined up to the closing code.
          const std::uint8_t* stop = find_byte(p, end, escape);
          if (stop != p) {
            prevdata = stop[-1];
            p = stop;
            if (p == end) break;
          }
        } else if (is_printable(*p)) {
          const std::uint8_t* stop = pass_characters(sink, p, end);
          prevdata = stop[-1];
          p = stop;
          if (p == end) break;
        }
        // A group (other than the soft return's) that ends in this window is passed over
        // whole and acts at once, on the byte before its closing code (the opening one when
        // the group is empty).
        int code = *p;
        if (escape == 0 && code >= kGroupThreshold && code != kSoftReturnGroup) {
          const std::uint8_t* close = find_byte(p + 1, end, code);
          if (close != end) {
            dispatch(code, close[-1], sink);
            prevdata = code;
            p = close + 1;
            continue;
          }
        }
      }
      int data = *p++;
      bool drop_run_after_this = drop_run_after_next;
      drop_run_after_next = examine(data, escape, prevdata, sink);
      prevdata = data;
      if (drop_run_after_this) {
        std::size_t in_window = static_cast<std::size_t>(end - p);
        if (in_window < kRunAfterSoftReturnOpen) {
          drop_beyond_window = kRunAfterSoftReturnOpen - in_window;
          p = end;
        } else {
          p += kRunAfterSoftReturnOpen;
        }
      }
    }
    in.advance_to(p);
    in.skip(drop_beyond_window);
  }
}

}  // namespace quorrel::wpd
