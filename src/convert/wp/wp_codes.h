// Byte codes of an ancient WordPerfect document, as the converters read them from the first
// byte of the file.
#pragma once

namespace quorrel::wp {

// Every byte from here up flips between inside and outside a function group, whatever its
// value: groups are not paired by code and their lengths are not known.
inline constexpr int kGroupThreshold = 192;  // 0xC0

inline constexpr int kFirstCharacter = 32;  // 0x20
inline constexpr int kLastCharacter = 126;  // 0x7E
inline constexpr int kTab = 9;              // 0x09
inline constexpr int kLineFeed = 10;        // 0x0A: ends a line or paragraph
inline constexpr int kCarriageReturn = 13;  // 0x0D: a space
inline constexpr int kCentre = 131;         // 0x83: centres the current line
inline constexpr int kBoldOff = 156;        // 0x9C
inline constexpr int kBoldOn = 157;         // 0x9D

}  // namespace quorrel::wp
