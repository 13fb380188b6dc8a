// WordPerfect characters, and the code pages older documents use, as UTF-8 text.
#pragma once

#include <string_view>

namespace quorrel::charsets {

// Every lookup is a bounds check and two array reads. A view is empty when the character is
// unknown or the arguments are out of range; readers write such characters as a space. A few
// entries hold several code points (a letter and its combining mark, for instance): the view
// holds them all. No entry is a control character.

// UTF-8 text of WordPerfect character `index` of character set `set`; empty when unknown.
std::string_view wp5(int set, int index);  // 5.x sets 0-12 (as 5.x stores them); 13-14 Arabic
std::string_view wp6(int set, int index);  // 6.x and later sets 0-14
std::string_view wp6_low(int byte);  // 6.x single bytes 0x01-0x20 (accented Latin; 0x20 is ß)
// Code page 437, 0-255 (WordPerfect 4.2's characters): empty for the control bytes 0x00-0x1F,
// ASCII for 0x20-0x7E, the code page's symbols and letters for 0x7F-0xFF.
std::string_view cp437(int byte);
// Windows-1252, 0-255 (plain-text fallback); empty for the control codes and for the bytes
// 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
std::string_view cp1252(int byte);

}  // namespace quorrel::charsets
