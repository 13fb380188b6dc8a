#include "writers/markup_scan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorrel::writers {

namespace {

bool is_markup(char c) { return c == '<' || c == '>' || c == '&' || c == '"'; }

}  // namespace

std::size_t find_markup(std::string_view text, std::size_t from, bool double_spaces) {
  const std::size_t size = text.size();
  const char* data = text.data();
  bool space_before = from > 0 && data[from - 1] == ' ';
#if defined(__SSE2__)
  const __m128i angle = _mm_set1_epi8('>'), other = _mm_set1_epi8('&');
  const __m128i two = _mm_set1_epi8(2), four = _mm_set1_epi8(4), space = _mm_set1_epi8(' ');
  for (; from + 16 <= size; from += 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
    // '<' and '>' differ only in bit 1, '"' and '&' only in bit 2.
    __m128i markup = _mm_or_si128(_mm_cmpeq_epi8(_mm_or_si128(bytes, two), angle),
                                  _mm_cmpeq_epi8(_mm_or_si128(bytes, four), other));
    unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(markup));
    if (double_spaces) {
      unsigned spaces = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, space)));
      hits |= spaces & ((spaces << 1) | (space_before ? 1u : 0u));
      space_before = (spaces & 0x8000u) != 0;
    }
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
