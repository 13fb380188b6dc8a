// Bulk scanning shared by the decoders: runs of plain characters and the inside of function
// groups are found many bytes at a time, so that the byte-by-byte state machine only runs on
// the bytes that carry meaning. Results are exactly those of examining each byte in turn.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorrel {

// The first byte in [p, end) outside 32..126, or end.
inline const std::uint8_t* skip_printable(const std::uint8_t* p, const std::uint8_t* end) {
#if defined(__SSE2__)
  // x - 32 as unsigned is at most 94 exactly for the printable bytes.
  const __m128i offset = _mm_set1_epi8(32);
  const __m128i limit = _mm_set1_epi8(94);
  while (end - p >= 16) {
    __m128i shifted = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), offset);
    __m128i printable = _mm_cmpeq_epi8(_mm_min_epu8(shifted, limit), shifted);
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(printable)) ^ 0xFFFFu;
    if (mask != 0) return p + __builtin_ctz(mask);
    p += 16;
  }
#endif
  while (p != end && static_cast<std::uint8_t>(*p - 32) <= 94) ++p;
  return p;
}

// The first byte equal to `code` in [p, end), or end.
inline const std::uint8_t* find_byte(const std::uint8_t* p, const std::uint8_t* end, int code) {
  const void* found = std::memchr(p, code, static_cast<std::size_t>(end - p));
  return found != nullptr ? static_cast<const std::uint8_t*>(found) : end;
}

// The first byte in [p, end) that equals `value` or is at least `threshold`, or end.
inline const std::uint8_t* find_byte_or_at_least(const std::uint8_t* p, const std::uint8_t* end,
                                                 std::uint8_t value, std::uint8_t threshold) {
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(static_cast<char>(value));
  const __m128i lowest = _mm_set1_epi8(static_cast<char>(threshold));
  while (end - p >= 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i high = _mm_cmpeq_epi8(_mm_max_epu8(bytes, lowest), bytes);
    __m128i hit = _mm_or_si128(high, _mm_cmpeq_epi8(bytes, wanted));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
    if (mask != 0) return p + __builtin_ctz(mask);
    p += 16;
  }
#endif
  while (p != end && *p != value && *p < threshold) ++p;
  return p;
}

// Hands a run of characters to a sink: in one call when the sink takes runs, else one by one.
template <class Sink>
inline void emit_characters(Sink& sink, const std::uint8_t* begin, const std::uint8_t* end) {
  if constexpr (requires { sink.characters(begin, end); }) {
    sink.characters(begin, end);
  } else {
    for (const std::uint8_t* p = begin; p != end; ++p) sink.character(*p);
  }
}

}  // namespace quorrel
