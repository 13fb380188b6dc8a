// The plain text filter shared by the text, HTML and SXW converters: printable ASCII, tabs and
// line feeds carry meaning, every other byte (carriage returns included) is dropped. A sink
// provides character(int c), tab() and line_feed().
//
// A sink that sets `kLineEndsEarly` writes each line end while still on the byte before the
// line feed, as the text converter does: a tab right before a line feed then follows the line
// end instead of preceding it.
#pragma once

#include "convert/plain/plain_codes.h"
#include "io/byte_source.h"

namespace quorrel::plain {

template <class Sink>
void decode(ByteSource& in, Sink& sink) {
  for (int data = in.get(); data != kEndOfInput; data = in.get()) {
    if (data >= kFirstCharacter && data <= kLastCharacter) {
      sink.character(data);
    } else if (data == kLineFeed) {
      sink.line_feed();
    } else if (data == kTab) {
      if constexpr (Sink::kLineEndsEarly) {
        if (in.take_if(kLineFeed)) sink.line_feed();
      }
      sink.tab();
    }
  }
}

}  // namespace quorrel::plain
