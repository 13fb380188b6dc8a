// The plain text filter shared by the text, HTML and SXW converters: printable ASCII, tabs and
// line feeds carry meaning, every other byte (carriage returns included) is dropped. A sink
// provides character(int c), tab() and line_feed(), and optionally characters(begin, end)
// for a run of printable characters in one call.
//
// A sink that sets `kLineEndsEarly` writes each line end while still on the byte before the
// line feed, as the text converter does: a tab right before a line feed then follows the line
// end instead of preceding it.
#pragma once

#include <cstdint>

#include "convert/plain/plain_codes.h"
#include "convert/scan.h"
#include "io/byte_source.h"

namespace quorrel::plain {

enum class Kind : std::uint8_t { dropped, character, line_feed, tab };

constexpr Kind kind_of(int byte) {
  if (is_printable(byte)) return Kind::character;
  switch (byte) {
    case kLineFeed: return Kind::line_feed;  // end of line
    case kTab: return Kind::tab;             // tab
    default: return Kind::dropped;           // carriage returns and every other byte
  }
}
inline constexpr auto kKinds = byte_table<Kind>(kind_of);

// The event of one byte. `take_line_feed()` consumes the next byte when it is a line feed:
// the look-ahead of sinks whose line ends come early.
template <class Sink, class TakeLineFeed>
inline void act(Kind kind, int data, Sink& sink, TakeLineFeed&& take_line_feed) {
  switch (kind) {
    case Kind::character:
      sink.character(data);
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
    case Kind::dropped:
      break;
  }
}

// One byte at a time: the reference that the bulk loop below is tested against.
template <class Sink>
void decode_bytewise(ByteSource& in, Sink& sink) {
  for (int data = in.get(); data != kEndOfInput; data = in.get()) {
    act(kKinds[data], data, sink, [&in] { return in.take_if(kLineFeed); });
  }
}

// The same decisions on the input buffer: runs of characters go to the sink in one piece.
template <class Sink>
void decode(ByteSource& in, Sink& sink) {
  while (in.fill()) {
    const std::uint8_t* p = in.window_begin();
    const std::uint8_t* end = in.window_end();
    auto take_line_feed = [&] { return take_next_if(in, p, end, kLineFeed); };
    while (p != end) {
      int data = *p++;
      Kind kind = kKinds[data];
      if (kind == Kind::character) {
        const std::uint8_t* run_end = skip_printable(p, end);
        emit_characters(sink, p - 1, run_end);
        p = run_end;
      } else {
        act(kind, data, sink, take_line_feed);
      }
    }
    in.advance_to(p);
  }
}

}  // namespace quorrel::plain
