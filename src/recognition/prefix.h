// The prefix that WordPerfect 5.1 and 6-9 files carry, and how a reader moves past it.
#pragma once

#include <string_view>

#include "io/byte_source.h"

namespace quorrel {

// Bytes 0..3 of a prefixed file; bytes 4 and 5 hold the low 16 bits of the document offset.
inline constexpr int kPrefixMagic = 255;  // 0xFF
inline constexpr int kPrefixIdHi = 87;    // 0x57 'W'
inline constexpr int kPrefixIdMid = 80;   // 0x50 'P'
inline constexpr int kPrefixIdLo = 67;    // 0x43 'C'
inline constexpr int kPrefixLength = 6;   // bytes read before the skip

inline constexpr std::string_view kNotWp51Message = "This is NOT a WP51 file.";
inline constexpr std::string_view kNotWpdMessage = "This is NOT a WPD file.";

struct PrefixResult {
  bool matched = false;
  int first_byte = kEndOfInput;  // byte 0, which identification needs on a mismatch
  // The last byte discarded on the way to the document area: 0 when nothing was discarded,
  // -1 when the file ended inside the skipped area.
  int last_discarded = 0;
};

// Reads bytes 0..3; on a match reads the offset and discards bytes up to the document area, so
// that the next byte read is its first. On a mismatch the source is left after the 4th byte.
PrefixResult check_and_skip_prefix(ByteSource& in);

}  // namespace quorrel
