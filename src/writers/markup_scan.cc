#include "writers/markup_scan.h"

namespace quorrel::writers {

namespace {

bool is_markup(char c) { return c == '<' || c == '>' || c == '&' || c == '"'; }

}  // namespace

std::size_t find_markup(std::string_view text, std::size_t from, bool double_spaces) {
  const std::size_t size = text.size();
  const char* data = text.data();
  bool space_before = from > 0 && data[from - 1] == ' ';
#if defined(__SSE2__)
  for (; from + 16 <= size; from += 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
    unsigned hits = markup_bits(bytes, double_spaces, space_before);
    if (hits != 0) return from + static_cast<std::size_t>(__builtin_ctz(hits));
  }
#endif
  for (; from < size; ++from) {
    char c = data[from];
    if (is_markup(c) || (double_spaces && c == ' ' && space_before)) return from;
    space_before = c == ' ';
  }
  return size;
}

}  // namespace quorrel::writers
