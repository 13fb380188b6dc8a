#include "document/utf8.h"

namespace quorrel::document {

std::size_t valid_utf8_prefix(std::string_view bytes) {
  auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  std::size_t i = 0;
  const std::size_t size = bytes.size();
  while (i < size) {
    unsigned char lead = at(i);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;   // overlong
      if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;   // overlong
      if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
    } else {
      return i;
    }
    if (size - i < length || at(i + 1) < low || at(i + 1) > high) return i;
    for (std::size_t k = 2; k < length; ++k) {
      if ((at(i + k) & 0xC0) != 0x80) return i;
    }
    i += length;
  }
  return size;
}

}  // namespace quorrel::document
