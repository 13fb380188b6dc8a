// The four input generations a document can belong to.
#pragma once

namespace quorrel {

enum FormatCode : int {
  TYPE_UNKNOWN = 0,  // anything else, read as plain text
  TYPE_WP = 1,       // ancient WordPerfect, no prefix
  TYPE_W51 = 2,      // WordPerfect 5.1
  TYPE_WPD = 3,      // WordPerfect 6 to 9
};

inline constexpr int kFormatCount = 4;

}  // namespace quorrel
