// The WordPerfect 5.1 byte filter shared by the text, HTML and SXW converters. It decides what
// each byte of the document area means, keeps the indentation state, and tells an event sink;
// the sink alone decides how each unit is written. A sink provides:
//   character(int c)            a printable character, 32..126 (and the space code as ' ' in
//                               the first form below)
//   characters(begin, end)      optional: a run of printable characters, in one call
// and either one hook per event:
//   tab()                       one tab unit: a tab code, an indent, each indentation level
//   tabs(int count)             optional: count tab units, in one call
//   line_break()                a soft return
//   paragraph_break()           a hard return
//   attribute_on(int number)    end of an attribute-on group, with its attribute number
//   attribute_off(int number)   end of an attribute-off group, with its attribute number
// or, for every byte that is not a character, one call that writes what the byte's kind
// writes and then `tab_units` tab units (a tab code's and an indent's own among them):
//   code(Kind kind, int number, int tab_units)
//                               a code outside any group or the code that ends one, with the
//                               attribute number (the byte before it); `event_of` numbers
//                               the two for a sink that is a table
// The second form lets the decoder pass a document of codes without a jump on each code's
// kind, which on such documents is guessed wrong nearly every time; the sink then looks its
// text up in a table. The sink is a template parameter so that no byte costs a virtual
// call.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "convert/code_run.h"
#include "convert/fast_paths.h"
#include "convert/scan.h"
#include "convert/w51/w51_codes.h"
#include "io/byte_source.h"

namespace quorrel::w51 {

// Indentation counters stop here. Each hanging indent writes as many tabs as there have been
// hanging indents in the paragraph, so without a bound a file of nothing but such groups
// would grow its output with the square of its size. 64 tab stops are wider than any page;
// real documents stay far below.
inline constexpr int kMaxIndentLevels = 64;
// So a code writes at most this many tab units: a return those of the hanging indent and the
// indents of its line.
inline constexpr int kMaxTabUnits = 2 * kMaxIndentLevels;

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

// A sink that writes each code's output in one call.
template <class Sink>
concept WritesCodes = requires(Sink& sink) { sink.code(Kind::nothing, 0, 0); };

// A code as one small number, for sinks that are tables (output/transitions.h): its kind
// and, for an attribute group, whether its number names bold, italics or neither.
inline constexpr std::size_t kAttributeClasses = 3;
inline constexpr std::size_t kEvents =
    (static_cast<std::size_t>(Kind::attribute_off_group) + 1) * kAttributeClasses;
inline constexpr auto kAttributeClassOf = byte_table<std::uint8_t>([](int number) {
  return static_cast<std::uint8_t>((number == kAttributeBold) + 2 * (number == kAttributeItalics));
});
constexpr std::size_t event_of(Kind kind, int number) {
  return static_cast<std::size_t>(kind) * kAttributeClasses +
         kAttributeClassOf[static_cast<std::uint8_t>(number)];
}
// The kind and a number that stand for an event, to build the tables from.
constexpr Kind kind_of_event(std::size_t event) {
  return static_cast<Kind>(event / kAttributeClasses);
}
constexpr int number_of_event(std::size_t event) {
  constexpr int kNumbers[kAttributeClasses] = {0, kAttributeBold, kAttributeItalics};
  return kNumbers[event % kAttributeClasses];
}

// What a kind does to the indentation state, as masks of all ones or none, looked up in one
// place rather than compared kind by kind.
struct StepMasks {
  std::int8_t returns;         // a return of either kind
  std::int8_t hard_return;
  std::int8_t hanging_indent;
  std::int8_t indent;
  std::int8_t own_tab_unit;    // 1 for a tab code and an indent, which write one tab unit
};
inline constexpr auto kStepMasks = [] {
  std::array<StepMasks, static_cast<std::size_t>(Kind::attribute_off_group) + 1> masks{};
  for (std::size_t i = 0; i < masks.size(); ++i) {
    auto kind = static_cast<Kind>(i);
    auto mask = [](bool set) { return static_cast<std::int8_t>(set ? -1 : 0); };
    masks[i] = {mask(kind == Kind::soft_return || kind == Kind::hard_return),
                mask(kind == Kind::hard_return), mask(kind == Kind::hanging_indent_group),
                mask(kind == Kind::indent_group),
                static_cast<std::int8_t>(kind == Kind::tab || kind == Kind::indent_group)};
  }
  return masks;
}();

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
    if constexpr (WritesCodes<Sink>) {
      Kind kind = kKinds[data];
      if (kind == Kind::character) {
        sink.character(data);
      } else if (data < kGroupThreshold || group_ends()) {
        step(kind, prevdata);
      }
    } else {
      dispatch(data, group_ends);
    }
  }

  // The hook form: one event per meaning, the indentation state moved case by case.
  template <class GroupEnds>
  void dispatch(int data, GroupEnds& group_ends) {
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

  // The same for a sink that writes codes in one call, for any kind but a character and with
  // its group ended. The indentation state moves by masks, the same instructions for every
  // kind: compilers turn choices between values into jumps where they expect them to be
  // guessed right, and on a document of codes they are not.
  void step(Kind kind, int number) {
    step(kind, number, [this](Kind code, int code_number, int tab_units) {
      sink.code(code, code_number, tab_units);
    });
  }
  // The same, through the function that writes a code in a run (see `run_codes`).
  template <class Code>
  void step(Kind kind, int number, Code&& code) {
    const StepMasks& masks = kStepMasks[static_cast<std::size_t>(kind)];
    int returns = masks.returns;
    int hard = masks.hard_return;
    int hangs = masks.hanging_indent;
    int indents = masks.indent & 1;
    indent = std::min(indent + indents, kMaxIndentLevels) & ~returns;
    hang = std::min(hang - hangs, kMaxIndentLevels) & ~hard;
    // A return writes the hanging indent of its line, a hanging indent its own level, a tab
    // code and an indent one tab unit.
    int count = (hangmax & returns) | (hang & hangs) | masks.own_tab_unit;
    hangmax = ((hangmax & ~hangs) | ((hang + indent) & hangs)) & ~hard;
    // Never more than the bound, which the levels' own bounds already keep; said here, the
    // compiler can drop the sinks' paths for longer runs of tab units, calls among them.
    code(kind, number, std::min(count, kMaxTabUnits));
  }

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
    if constexpr (takes<Sink, kTabs, requires { sink.tabs(count); }>()) {
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

// A stretch of codes from p, for a sink that writes codes in one call: pieces are walked by
// their precomputed lengths. Returns where the stretch ends: at a character, at a group that
// reaches further than the lengths tell, or near the end of the window.
template <class Sink>
const std::uint8_t* pass_codes(Stream<Sink>& stream, const std::uint8_t* p,
                               const std::uint8_t* end) {
  std::uint8_t lengths[kCodeBlock];
  while (end - p >= kCodeBlock + kGroupReach) {
    code_lengths(p, kGroupThreshold, lengths);
    const std::uint8_t* const block = p;
    bool stopped = false;
    // Pieces start inside the block, so there are at most as many as its bytes.
    run_codes<kCodeBlock>(stream.sink, [&](auto&& code) {
      do {
        int length = lengths[p - block];
        if (length == 0) {
          stopped = true;
          return;
        }
        // A group's number is the byte before its end; a single code has none (and reads
        // its own byte).
        int number = p[length - 2 + (length == 1)];
        Kind kind = kKinds[*p];
        p += length;  // before the step, so that the length need not outlive it
        stream.step(kind, number, code);
      } while (p < block + kCodeBlock);
    });
    if (stopped) break;
  }
  return p;
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
        p = pass_characters(sink, p - 1, end);
        continue;
      }
      if constexpr (WritesCodes<Sink>) {
        // A code whose group, if it opens one, ends within the next 16 bytes: its length and
        // number come from one compare, and no step depends on its kind.
        if (end - p >= 16) {
          int offset = offset_of_byte_in_16(p, data);
          bool group = data >= kGroupThreshold;
          // Not (a group and its end out of reach), as one test on one value: as two tests,
          // compilers jump on the first, which is as random as the codes.
          if (((data - kGroupThreshold) | (offset - 16)) < 0) {
            int number = p[offset - 1];  // the code itself when its group ends at once
            p += (offset + 1) & -static_cast<int>(group);
            stream.step(kKinds[data], number);
            if (p != end && !is_printable(*p)) p = pass_codes(stream, p, end);
            continue;
          }
        }
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
