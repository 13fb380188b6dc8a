// The plain text filter shared by the text, HTML and SXW converters: printable ASCII, tabs and
// line feeds carry meaning, every other byte (carriage returns included) is dropped. A sink
// provides character(int c), tab() and line_feed(), and optionally characters(begin, end)
// for a run of printable characters in one call.
//
// A sink that sets `kLineEndsEarly` writes each line end while still on the byte before the
// line feed, as the text converter does: a tab right before a line feed then follows the line
// end instead of preceding it.
//
// A sink may also offer `const CodeTexts* code_texts()` (see below): then stretches of bytes
// that are not characters cost no event each.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "convert/fast_paths.h"
#include "convert/plain/plain_codes.h"
#include "convert/scan.h"
#include "io/byte_source.h"
#include "output/text_writer.h"

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

// What a sink writes for line feeds and tabs while no character comes between them, when that
// is fixed text: `code_texts()` returns it, or null while the sink cannot say (an HTML tab
// that depends on the column). Writing these texts must leave the sink as the events would.
// Literals are built at compile time only: clang 14 crashes on building one in a
// constructor's member initializers.
inline constexpr Literal kNoText{""};

class CodeTexts {
 public:
  CodeTexts(TextWriter& out, const Literal& line_feed, const Literal& tab)
      : out_(out),
        by_kind_{kNoText, kNoText, line_feed, tab},
        blocks_((std::max(line_feed.size(), tab.size()) + 15) / 16) {}

  // The most bytes `write` takes in one call: its room in the writer is reserved at once.
  static constexpr std::ptrdiff_t kStretch = 1024;

  // Writes the codes in [p, stop), none of them a character, unchecked into room reserved
  // for them all.
  void write(const std::uint8_t* p, const std::uint8_t* stop) const {
    char* at = out_.reserve(kStretch * blocks_ * 16);
#if defined(__SSE2__)
    // Only line feeds and tabs write anything: their places in 64 bytes are found at once,
    // and the dropped bytes between them cost nothing.
    for (; stop - p >= 64; p += 64) {
      for (std::uint64_t marked = bits_equal_64(p, kLineFeed, kTab); marked != 0;
           marked &= marked - 1) {
        at = put(at, kKinds[p[__builtin_ctzll(marked)]]);
      }
    }
#endif
    for (; p != stop; ++p) at = put(at, kKinds[*p]);
    out_.commit(at);
  }

 private:
  static_assert(static_cast<int>(Kind::dropped) == 0 && static_cast<int>(Kind::character) == 1 &&
                static_cast<int>(Kind::line_feed) == 2 && static_cast<int>(Kind::tab) == 3);

  // Each text is copied in as many whole blocks of 16 as the longest one needs.
  char* put(char* at, Kind kind) const {
    const Literal& text = by_kind_[static_cast<int>(kind)];
    for (std::size_t block = 0; block < blocks_; ++block) {
      std::memcpy(at + 16 * block, text.padded_bytes() + 16 * block, 16);
    }
    return at + text.size();
  }

  TextWriter& out_;
  Literal by_kind_[4];  // a character never gets here; it has an empty text
  std::size_t blocks_;
};

// Writes the codes from p on through the sink's code texts, each byte's text looked up by its
// kind instead of a jump per byte. Stops at a character, at the end of [p, end), or (for a
// sink whose line ends come early) at a tab that may precede a line feed; returns where it
// stopped.
template <class Sink>
const std::uint8_t* write_codes(Sink& sink, const std::uint8_t* p, const std::uint8_t* end) {
  if constexpr (takes<Sink, kCodeTexts, requires { sink.code_texts(); }>()) {
    const CodeTexts* texts = sink.code_texts();
    if (texts == nullptr) return p;
    for (;;) {
      const std::uint8_t* limit = end - p > CodeTexts::kStretch ? p + CodeTexts::kStretch : end;
      const std::uint8_t* stop = Sink::kLineEndsEarly
                                     ? find_printable_or_pair(p, limit, kTab, kLineFeed)
                                     : find_printable(p, limit);
      texts->write(p, stop);
      p = stop;
      if (p != limit || p == end) break;
    }
  }
  return p;
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
        p = pass_characters(sink, p - 1, end);
      } else {
        act(kind, data, sink, take_line_feed);
        // A lone code between characters takes the event; a stretch of them goes in bulk.
        if (p != end && kKinds[*p] != Kind::character) p = write_codes(sink, p, end);
      }
    }
    in.advance_to(p);
  }
}

}  // namespace quorrel::plain
