// The ancient WordPerfect byte filter shared by the text, HTML and SXW converters. A sink
// provides:
//   character(int c)   a printable character, 32..126
//   carriage_return()  a carriage return
//   line_feed()        a line feed
//   tab()              a tab
//   centre()           the centre code
//   bold_on(), bold_off()
// Bytes inside a function group, the group bytes themselves and every other value give no
// event. The sink is a template parameter so that no byte costs a virtual call.
//
// A sink that sets `kLineEndsEarly` receives each line end while the decoder is still on the
// byte before the line feed, as the text converter writes it: a tab right before a line feed
// then follows the line end, and a carriage return right before one takes its place (the
// line feed gives no line end).
#pragma once

#include "convert/wp/wp_codes.h"
#include "io/byte_source.h"

namespace quorrel::wp {

template <class Sink>
void decode(ByteSource& in, Sink& sink) {
  bool escape = false;  // inside a function group
  for (int data = in.get(); data != kEndOfInput; data = in.get()) {
    if (data >= kGroupThreshold) {
      // The closing byte leaves the group but, being a group byte, is no code of its own.
      escape = !escape;
      continue;
    }
    if (escape) continue;
    if (data >= kFirstCharacter && data <= kLastCharacter) {
      sink.character(data);
      continue;
    }
    switch (data) {
      case kCarriageReturn:  // a space
        // Early line ends: the line feed right after it ends no line.
        if constexpr (Sink::kLineEndsEarly) in.take_if(kLineFeed);
        sink.carriage_return();
        break;
      case kLineFeed:  // end of line
        sink.line_feed();
        break;
      case kTab:  // tab
        if constexpr (Sink::kLineEndsEarly) {
          if (in.take_if(kLineFeed)) sink.line_feed();
        }
        sink.tab();
        break;
      case kCentre:  // centre the line
        sink.centre();
        break;
      case kBoldOn:  // bold on
        sink.bold_on();
        break;
      case kBoldOff:  // bold off
        sink.bold_off();
        break;
      default:  // every other byte writes nothing
        break;
    }
  }
}

}  // namespace quorrel::wp
