// The WordPerfect 5.1 byte filter shared by the text, HTML and SXW converters. It decides what
// each byte of the document area means, keeps the indentation state, and tells an event sink;
// the sink alone decides how each unit is written. A sink provides:
//   character(int c)            a printable character, 32..126 (the space code arrives as ' ')
//   characters(begin, end)      optional: a run of printable characters, in one call
//   line_break()                a soft return
//   paragraph_break()           a hard return
//   tab()                       one tab unit: a tab code, an indent, each indentation level
//   tabs(int count)             optional: count tab units, in one call
//   attribute_on(int number)    end of an attribute-on group, with its attribute number
//   attribute_off(int number)   end of an attribute-off group, with its attribute number
// The sink is a template parameter so that no byte costs a virtual call.
#pragma once

#include <algorithm>
#include <cstdint>

#include "convert/scan.h"
#include "convert/w51/w51_codes.h"
#include "io/byte_source.h"

namespace quorrel::w51 {

// Indentation counters stop here. Each hanging indent writes as many tabs as there have been
// hanging indents in the paragraph, so without a bound a file of nothing but such groups
// would grow its output with the square of its size. 64 tab stops are wider than any page;
// real documents stay far below.
inline constexpr int kMaxIndentLevels = 64;

enum class Kind : std::uint8_t {
  nothing, character, space_code, soft_return, hard_return, tab,
  // Bytes from 192 up open and end groups; these codes act when their group ends.
  other_group, indent_group, hanging_indent_group, attribute_on_group, attribute_off_group
};

// What a byte does when it reaches the converters' tests: outside any group, or as the code
// that ends its group.
constexpr Kind kind_of(int byte) {
  if (is_printable(byte)) return Kind::character;
  switch (byte) {
    case kSpaceCode: return Kind::space_code;                    // a space
    case kSoftReturn:                                            // soft return
    case kSoftPage:                                              // soft page
    case kSoftReturnCode: return Kind::soft_return;              // soft return code
    case kHardReturn: return Kind::hard_return;                  // hard return
    case kTab: return Kind::tab;                                 // tab
    case kIndentGroup: return Kind::indent_group;                // indent
    case kHangingIndentGroup: return Kind::hanging_indent_group;  // hanging indent
    case kAttributeOnGroup: return Kind::attribute_on_group;     // attribute on
    case kAttributeOffGroup: return Kind::attribute_off_group;   // attribute off
    default:  // every other group and code writes nothing
      return byte >= kGroupThreshold ? Kind::other_group : Kind::nothing;
  }
}
inline constexpr auto kKinds = byte_table<Kind>(kind_of);

// The decoding state of one document: the group rule and what each byte does. The bulk loop
// passes over runs itself and keeps `escape` and `prevdata` up to date on its own.
template <class Sink>
struct Stream {
  explicit Stream(Sink& target) : sink(target) {}

  // One byte: the group rule, then its meaning when no group stays open.
  void examine(int data) {
    if (data >= kGroupThreshold) {
      if (data == escape) {
        escape = 0;  // the group ends and its code acts below
      } else if (escape == 0) {
        escape = data;
      }
    }
    // Else the byte opens a group, is inside one, or is a foreign code.
    if (escape == 0) act(data, kGroupEnded);
    prevdata = data;
  }

  // What a byte outside any group, or the code that ends a group, writes and changes.
  // `group_ends()` is asked first at a group code: the byte loop acts on the code that ends a
  // group, where it is always true; the bulk loop acts on the code that opens one (both are
  // the same byte value), and there it passes over the group and tells whether its end was
  // in reach. So each byte costs one jump through this switch, whatever it is: on a document
  // of nothing but codes nearly every such jump is guessed wrong, and a second one per group
  // would double that.
  template <class GroupEnds>
  void act(int data, GroupEnds&& group_ends) {
    switch (kKinds[data]) {
      case Kind::character:
        sink.character(data);
        break;
      case Kind::space_code:  // a space in every output, so that words stay apart
        sink.character(' ');
        break;
      case Kind::soft_return:  // the hanging indent goes on
        sink.line_break();
        tabs(hangmax);
        indent = 0;
        break;
      case Kind::hard_return:  // one more line at the hanging indent, then it ends
        sink.paragraph_break();
        tabs(hangmax);
        indent = hang = hangmax = 0;
        break;
      case Kind::tab:
        sink.tab();
        break;
      case Kind::indent_group:
        if (!group_ends()) break;
        indent = level_up(indent);
        sink.tab();
        break;
      case Kind::hanging_indent_group:
        if (!group_ends()) break;
        hang = level_up(hang);
        hangmax = hang + indent;
        tabs(hang);
        break;
      case Kind::attribute_on_group:
        if (group_ends()) sink.attribute_on(prevdata);
        break;
      case Kind::attribute_off_group:
        if (group_ends()) sink.attribute_off(prevdata);
        break;
      case Kind::other_group:
        group_ends();
        break;
      case Kind::nothing:
        break;
    }
  }
  static constexpr auto kGroupEnded = [] { return true; };

  // Passes over the inside of the open group in [p, end) up to the byte equal to its code,
  // which ends the group. Returns the byte after that one, or end while the group stays open.
  // Every byte passed over counts as examined, so the last is `prevdata`.
  const std::uint8_t* pass_group(const std::uint8_t* p, const std::uint8_t* end) {
    const std::uint8_t* closing = find_byte_soon(p, end, escape);
    if (closing != p) prevdata = closing[-1];
    if (closing == end) return end;
    escape = 0;
    return closing + 1;
  }

  Sink& sink;
  int escape = 0;    // code of the open group, 0 when none
  int prevdata = 0;  // the byte examined last: an attribute group's number when its code ends it
  int indent = 0;    // indent groups since the last return of either kind
  int hang = 0;      // hanging-indent groups since the last hard return
  int hangmax = 0;   // tab units that start each line after a return

 private:
  // A sink may take a run of tab units in one call.
  void tabs(int count) {
    if constexpr (requires { sink.tabs(count); }) {
      sink.tabs(count);
    } else {
      for (int i = 0; i < count; ++i) sink.tab();
    }
  }
  static int level_up(int level) { return std::min(level + 1, kMaxIndentLevels); }
};

// One byte at a time: the reference that the bulk loop below is tested against.
template <class Sink>
void decode_bytewise(ByteSource& in, Sink& sink) {
  Stream<Sink> stream(sink);
  for (int data = in.get(); data != kEndOfInput; data = in.get()) stream.examine(data);
}

// The same decisions on the input buffer: runs of characters go to the sink in one piece, and
// a group's inside is passed over up to the next byte equal to its code. `prevdata` is only
// ever read by a code that ends a group, so only the group bytes keep it.
template <class Sink>
void decode(ByteSource& in, Sink& sink) {
  Stream<Sink> stream(sink);
  while (in.fill()) {
    const std::uint8_t* p = in.window_begin();
    const std::uint8_t* const end = in.window_end();
    if (stream.escape != 0) {  // open since the last window
      p = stream.pass_group(p, end);
      if (stream.escape == 0) stream.act(p[-1], stream.kGroupEnded);
    }
    while (p != end) {
      int data = *p++;
      if (is_printable(data)) {
        const std::uint8_t* run_end = skip_printable(p, end);
        emit_characters(sink, p - 1, run_end);
        p = run_end;
        continue;
      }
      // No group is open here, so a group code opens one.
      stream.act(data, [&] {
        stream.escape = data;
        stream.prevdata = data;  // the number of a group that ends at once
        p = stream.pass_group(p, end);
        return stream.escape == 0;
      });
    }
    in.advance_to(p);
  }
}

}  // namespace quorrel::w51
