// Byte codes of the WordPerfect 6-9 document area, as the converters read them.
#pragma once

namespace quorrel::wpd {

// Bytes from here up open and end function groups; a group ends at the next byte equal to
// the one that opened it, and acts (by its code) only then.
inline constexpr int kGroupThreshold = 208;  // 0xD0

inline constexpr int kFirstCharacter = 32;   // 0x20
inline constexpr int kLastCharacter = 126;   // 0x7E
inline constexpr int kSpaceCode = 128;       // 0x80: a space outside any group
inline constexpr int kHardReturn = 204;      // 0xCC: a single byte, not a group

// Group codes, acted on when their group ends.
inline constexpr int kSoftReturnGroup = 208;  // 0xD0
inline constexpr int kCentreGroup = 211;      // 0xD3
inline constexpr int kRuleGroup = 223;        // 0xDF: horizontal rule
inline constexpr int kTabGroup = 224;         // 0xE0
inline constexpr int kAttributeOnGroup = 242;   // 0xF2
inline constexpr int kAttributeOffGroup = 243;  // 0xF3

// After a group opened by 208, the byte right after the opening one is examined and the 18
// bytes after that are dropped unexamined.
inline constexpr int kRunAfterSoftReturnOpen = 18;

// Attribute numbers: the last byte examined inside an attribute group.
inline constexpr int kAttributeBold = 12;    // 0x0C
inline constexpr int kAttributeItalics = 8;  // 0x08
inline constexpr int kHeadingLevels = 3;     // numbers 0, 1 and 2 are heading levels

}  // namespace quorrel::wpd
