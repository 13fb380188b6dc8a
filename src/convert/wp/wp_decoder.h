// The ancient WordPerfect byte filter shared by the text, HTML and SXW converters. A sink
// provides:
//   character(int c)        a printable character, 32..126
//   characters(begin, end)  optional: a run of them, in one call
//   carriage_return()       a carriage return
//   line_feed()             a line feed
//   tab()                   a tab
//   centre()                the centre code
//   bold_on(), bold_off()
// Bytes inside a function group, the group bytes themselves and every other value give no
// event. The sink is a template parameter so that no byte costs a virtual call.
//
// A sink that sets `kLineEndsEarly` receives each line end while the decoder is still on the
// byte before the line feed, as the text converter writes it: a tab right before a line feed
// then follows the line end, and a carriage return right before one takes its place (the
// line feed gives no line end).
//
// A sink whose line ends come in place may also offer `code(Kind kind)` (see `TakesCodes`):
// then each piece that is no character reaches it in one call without a jump on its kind.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "convert/code_run.h"
#include "convert/scan.h"
#include "convert/wp/wp_codes.h"
#include "io/byte_source.h"

namespace quorrel::wp {

enum class Kind : std::uint8_t {
  nothing, character, group, carriage_return, line_feed, tab, centre, bold_on, bold_off
};

// What a byte is outside a function group.
constexpr Kind kind_of(int byte) {
  // Every byte from 192 up flips the group flag, whatever its value.
  if (byte >= kGroupThreshold) return Kind::group;
  if (is_printable(byte)) return Kind::character;
  switch (byte) {
    case kCarriageReturn: return Kind::carriage_return;  // a space
    case kLineFeed: return Kind::line_feed;              // end of line
    case kTab: return Kind::tab;                         // tab
    case kCentre: return Kind::centre;                   // centre the line
    case kBoldOn: return Kind::bold_on;                  // bold on
    case kBoldOff: return Kind::bold_off;                // bold off
    default: return Kind::nothing;                       // every other byte writes nothing
  }
}
inline constexpr auto kKinds = byte_table<Kind>(kind_of);

inline constexpr std::size_t kKindCount = static_cast<std::size_t>(Kind::bold_off) + 1;

// A value for each kind, looked up instead of chosen by a jump.
template <class T, class Of>
consteval std::array<T, kKindCount> kind_table(Of of) {
  std::array<T, kKindCount> table{};
  for (std::size_t kind = 0; kind < kKindCount; ++kind) table[kind] = of(static_cast<Kind>(kind));
  return table;
}

// A sink that takes each piece that is no character in one call: a code, a byte that writes
// nothing, or a whole group (Kind::group, from its opening byte to its closing one). Its
// output and state afterwards must be those of the piece's event, or of none. On a document
// of codes the kind is a toss-up at every piece, so the sink writes it from tables rather
// than through a jump on it.
template <class Sink>
concept TakesCodes = !Sink::kLineEndsEarly && requires(Sink& sink, Kind kind) { sink.code(kind); };

#if defined(__SSE2__)
// The length of the piece at bit `at` of `group_bytes` (bit i set when byte i flips the group
// flag), computed without a jump: 1, or for an opening byte the bytes up to and including the
// next group byte. With no group byte left in the mask it is `reach` + 1 or more.
inline std::size_t piece_length(std::uint64_t group_bytes, std::size_t at, std::size_t reach) {
  const std::uint64_t from_here = group_bytes >> at;
  const std::uint64_t after = from_here >> 1;
  const std::size_t closing =
      after != 0 ? static_cast<std::size_t>(__builtin_ctzll(after)) + 1 : reach;
  return 1 + (closing & (std::size_t{0} - (from_here & 1)));
}

// Hands the sink each piece from p on that is no character, one call per piece, while whole
// blocks of 64 bytes are readable. Which bytes of a block flip the group flag is found once
// for the block, so that the next piece's place waits only for a shift and a bit count, not
// for a load. Returns at a character, at a group that does not close within its block, or
// near the end, where the byte loop takes over.
template <class Sink>
const std::uint8_t* take_codes(Sink& sink, const std::uint8_t* p, const std::uint8_t* end) {
  constexpr std::size_t kBlock = 64;
  while (end - p >= static_cast<std::ptrdiff_t>(kBlock)) {
    const std::uint64_t group_bytes = bits_at_least_64(p, kGroupThreshold);
    std::size_t at = 0;
    Kind kind;
    // Each piece is a byte or more: at most a block's bytes of codes.
    run_codes<kBlock>(sink, [&](auto&& code) {
      for (;;) {
        kind = kKinds[p[at]];
        const std::size_t length = piece_length(group_bytes, at, kBlock);
        // One jump for all three ends, rarely taken on a document of codes.
        if ((kind == Kind::character) | (at + length >= kBlock)) break;
        code(kind);
        at += length;
      }
    });
    p += at;
    // A character, or a group opening at the block's start that does not close within it.
    if (kind == Kind::character || at == 0) break;
  }
  return p;
}
#endif

// The event of one byte outside a group; group bytes are the loops' business.
// `take_line_feed()` consumes the next byte when it is a line feed: the look-ahead of sinks
// whose line ends come early.
template <class Sink, class TakeLineFeed>
inline void act(Kind kind, int data, Sink& sink, TakeLineFeed&& take_line_feed) {
  switch (kind) {
    case Kind::character:
      sink.character(data);
      break;
    case Kind::carriage_return:
      // Early line ends: the line feed right after it ends no line.
      if constexpr (Sink::kLineEndsEarly) take_line_feed();
      sink.carriage_return();
      break;
    case Kind::line_feed:
      sink.line_feed();
      break;
    case Kind::tab:
      if constexpr (Sink::kLineEndsEarly) {
        if (take_line_feed()) sink.line_feed();
      }
      sink.tab();
      break;
    case Kind::centre:
      sink.centre();
      break;
    case Kind::bold_on:
      sink.bold_on();
      break;
    case Kind::bold_off:
      sink.bold_off();
      break;
    case Kind::group:
    case Kind::nothing:
      break;
  }
}

// One byte at a time: the reference that the bulk loop below is tested against.
template <class Sink>
void decode_bytewise(ByteSource& in, Sink& sink) {
  bool escape = false;  // inside a function group
  for (int data = in.get(); data != kEndOfInput; data = in.get()) {
    if (data >= kGroupThreshold) {
      // The closing byte leaves the group but, being a group byte, is no code of its own.
      escape = !escape;
    } else if (!escape) {
      act(kKinds[data], data, sink, [&in] { return in.take_if(kLineFeed); });
    }
  }
}

// The same decisions on the input buffer: runs of characters go to the sink in one piece, and
// a group is passed over from its opening byte to the next byte that flips the flag.
template <class Sink>
void decode(ByteSource& in, Sink& sink) {
  bool escape = false;
  while (in.fill()) {
    const std::uint8_t* p = in.window_begin();
    const std::uint8_t* end = in.window_end();
    auto take_line_feed = [&] { return take_next_if(in, p, end, kLineFeed); };
    if (escape) {  // a group still open from the last window
      p = find_at_least(p, end, kGroupThreshold);
      if (p != end) {
        ++p;
        escape = false;
      }
    }
    while (p != end) {
      Kind kind = kKinds[*p];
#if defined(__SSE2__)
      if constexpr (TakesCodes<Sink>) {
        // A code between characters takes one short step; when more codes follow, they are
        // worth a block's set-up.
        if (kind != Kind::character && end - p >= 16) {
          std::size_t length = piece_length(bits_at_least_16(p, kGroupThreshold), 0, 16);
          if (length <= 16) {
            sink.code(kind);
            p += length;
            if (p != end && kKinds[*p] != Kind::character) p = take_codes(sink, p, end);
            continue;
          }
        }
      }
#endif
      int data = *p++;
      switch (kind) {
        case Kind::character:
          p = pass_characters(sink, p - 1, end);
          break;
        case Kind::group: {
          const std::uint8_t* closing = find_at_least(p, end, kGroupThreshold);
          escape = closing == end;
          p = escape ? end : closing + 1;
          break;
        }
        default:
          act(kind, data, sink, take_line_feed);
          break;
      }
    }
    in.advance_to(p);
  }
}

}  // namespace quorrel::wp
