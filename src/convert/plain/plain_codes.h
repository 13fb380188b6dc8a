// The bytes that carry meaning in a plain text input; everything else is dropped.
#pragma once

namespace quorrel::plain {

inline constexpr int kFirstCharacter = 32;  // 0x20
inline constexpr int kLastCharacter = 126;  // 0x7E
inline constexpr int kTab = 9;              // 0x09
inline constexpr int kLineFeed = 10;        // 0x0A: ends a line, after a CR or not

}  // namespace quorrel::plain
