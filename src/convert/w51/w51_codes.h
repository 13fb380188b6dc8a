// Byte codes of the WordPerfect 5.1 document area, as the converters read them.
#pragma once

namespace quorrel::w51 {

// Bytes from here up open and end function groups; a group ends at the next byte equal to
// the one that opened it, and acts (by its code) only then.
inline constexpr int kGroupThreshold = 192;  // 0xC0

inline constexpr int kFirstCharacter = 32;  // 0x20
inline constexpr int kLastCharacter = 126;  // 0x7E

// Control codes.
inline constexpr int kTab = 9;          // 0x09
inline constexpr int kHardReturn = 10;  // 0x0A
inline constexpr int kSoftPage = 11;    // 0x0B: ends the line like a soft return
inline constexpr int kSoftReturn = 13;  // 0x0D

// Single-byte function codes.
inline constexpr int kSoftReturnCode = 144;  // 0x90
inline constexpr int kSpaceCode = 169;       // 0xA9: written as a space

// Group codes, acted on when their group ends.
inline constexpr int kIndentGroup = 193;         // 0xC1
inline constexpr int kHangingIndentGroup = 194;  // 0xC2
inline constexpr int kAttributeOnGroup = 195;    // 0xC3
inline constexpr int kAttributeOffGroup = 196;   // 0xC4

// Attribute numbers: the last content byte of an attribute group.
inline constexpr int kAttributeBold = 12;     // 0x0C
inline constexpr int kAttributeItalics = 15;  // 0x0F

}  // namespace quorrel::w51
