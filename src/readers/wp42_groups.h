// The sizes of WordPerfect 4.2's multi-byte codes 0xC0-0xFE, from the format's description
// (wp_4x.doc in the maker's kit). A group opens and closes with its code; 0 marks the groups of
// variable size, which close at the code's next occurrence. 0xEB is variable in real files
// although the description gives it 32 bytes.
#pragma once

namespace quorrel::readers::wp42 {

inline constexpr unsigned char kGroupSizes[63] = {
    6, 4, 3, 5, 5, 6, 4, 6, 8, 42, 3, 6, 4, 3, 4, 3,     // 0xC0
    6, 0, 0, 4, 4, 4, 6, 0, 4, 4, 4, 4, 0, 24, 4, 0,     // 0xD0
    4, 3, 0, 150, 6, 23, 11, 3, 3, 0, 0, 0, 4, 0, 44, 18,  // 0xE0
    6, 106, 0, 100, 4, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0,     // 0xF0
};

// Whole size of group `code` (0xC0-0xFE), 0 when it is variable.
inline int group_size(unsigned code) { return kGroupSizes[code - 0xC0]; }

}  // namespace quorrel::readers::wp42
