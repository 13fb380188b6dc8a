#include "recognition/identify.h"

#include "io/byte_scan.h"
#include "recognition/prefix.h"

namespace quorrel {

namespace {
constexpr int kGroupThreshold = 192;  // 0xC0: identification pairs groups like WordPerfect 5.1
constexpr int kCarriageReturn = 13;   // 0x0D: only WordPerfect 5.1 has it outside groups
}  // namespace

FormatCode identify(ByteSource& in) {
  PrefixResult prefix = check_and_skip_prefix(in);
  if (!prefix.matched) return prefix.first_byte >= kGroupThreshold ? TYPE_WP : TYPE_UNKNOWN;
  // A carriage return outside a function group only occurs in WordPerfect 5.1 documents.
  // Between the bytes that can change the answer the scan goes many bytes at a time.
  int escape = 0;
  while (in.fill()) {
    const std::uint8_t* begin = in.window_begin();
    const std::uint8_t* end = in.window_end();
    const std::uint8_t* stop = escape == 0
                                   ? find_byte_or_at_least(begin, end, kCarriageReturn,
                                                           kGroupThreshold)
                                   : find_byte(begin, end, escape);
    if (stop == end) {
      in.advance_to(end);
      continue;
    }
    int data = *stop;
    in.advance_to(stop + 1);
    if (data >= kGroupThreshold) {
      if (data == escape) {
        escape = 0;
      } else if (escape == 0) {
        escape = data;
      }
    }
    if (escape == 0 && data == kCarriageReturn) return TYPE_W51;
  }
  return TYPE_WPD;
}

}  // namespace quorrel
