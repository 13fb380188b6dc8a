// UTF-8 encoding and checking, shared by the readers (which decode to Unicode) and the writers
// (which must only ever write valid UTF-8).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorrel::document {

// Appends the UTF-8 form of `code_point`; surrogates and values past U+10FFFF become U+FFFD.
inline void append_utf8(std::string& out, char32_t code_point) {
  if (code_point < 0x80) {
    out.push_back(static_cast<char>(code_point));
    return;
  }
  if ((code_point >= 0xD800 && code_point <= 0xDFFF) || code_point > 0x10FFFF) code_point = 0xFFFD;
  char bytes[4];
  std::size_t n;
  if (code_point < 0x800) {
    bytes[0] = static_cast<char>(0xC0 | (code_point >> 6));
    n = 2;
  } else if (code_point < 0x10000) {
    bytes[0] = static_cast<char>(0xE0 | (code_point >> 12));
    bytes[1] = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    n = 3;
  } else {
    bytes[0] = static_cast<char>(0xF0 | (code_point >> 18));
    bytes[1] = static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    bytes[2] = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    n = 4;
  }
  bytes[n - 1] = static_cast<char>(0x80 | (code_point & 0x3F));
  out.append(bytes, n);
}

// The length of the longest prefix of `bytes` that is valid UTF-8 (no overlong forms, no
// surrogates, nothing past U+10FFFF); bytes.size() when all of it is.
std::size_t valid_utf8_prefix(std::string_view bytes);

inline bool is_valid_utf8(std::string_view bytes) {
  return valid_utf8_prefix(bytes) == bytes.size();
}

}  // namespace quorrel::document
