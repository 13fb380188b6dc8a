// Finding the bytes of a text run that markup must write otherwise, sixteen at a time: real
// text holds few of them, so the stretches between are copied whole.
#pragma once

#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorrel::writers {

#if defined(__SSE2__)
// Bit i set where byte i of `bytes` is '<', '>', '&' or '"', or, with `double_spaces`, a space
// right after a space. `space_before` tells whether the byte before the sixteen was a space,
// and then whether their last one is.
inline unsigned markup_bits(__m128i bytes, bool double_spaces, bool& space_before) {
  const __m128i angle = _mm_set1_epi8('>'), other = _mm_set1_epi8('&');
  const __m128i two = _mm_set1_epi8(2), four = _mm_set1_epi8(4), space = _mm_set1_epi8(' ');
  // '<' and '>' differ only in bit 1, '"' and '&' only in bit 2.
  __m128i markup = _mm_or_si128(_mm_cmpeq_epi8(_mm_or_si128(bytes, two), angle),
                                _mm_cmpeq_epi8(_mm_or_si128(bytes, four), other));
  auto hits = static_cast<unsigned>(_mm_movemask_epi8(markup));
  if (double_spaces) {
    auto spaces = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, space)));
    hits |= spaces & ((spaces << 1) | (space_before ? 1u : 0u));
    space_before = (spaces & 0x8000u) != 0;
  }
  return hits;
}
#endif

// The position of the first byte from `from` on that is '<', '>', '&' or '"', or, with
// `double_spaces`, a space right after a space (the byte before `from` counts); text.size()
// when there is none.
std::size_t find_markup(std::string_view text, std::size_t from, bool double_spaces);

}  // namespace quorrel::writers
