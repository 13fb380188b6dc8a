// Bulk byte scanning: runs of plain characters and the inside of function groups are found
// many bytes at a time, so that a byte-by-byte state machine only runs on the bytes that carry
// meaning. Results are exactly those of examining each byte in turn.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "io/byte_source.h"

namespace quorrel {

// A printable character, 32..126: every generation passes these through as text.
constexpr bool is_printable(int c) { return static_cast<unsigned>(c - 32) <= 94; }

// What each of the 256 byte values is, looked up instead of tested: one table load and one
// jump per byte, where a chain of tests would guess wrong several times on mixed codes.
template <class Kind, class KindOf>
consteval std::array<Kind, 256> byte_table(KindOf kind_of) {
  std::array<Kind, 256> table{};
  for (int byte = 0; byte < 256; ++byte) table[static_cast<std::size_t>(byte)] = kind_of(byte);
  return table;
}

#if defined(__SSE2__)
// 0xFF in each lane holding a printable byte, 0 elsewhere.
inline __m128i printable_lanes(__m128i bytes) {
  // x - 32 as unsigned is at most 94 exactly for the printable bytes.
  __m128i shifted = _mm_sub_epi8(bytes, _mm_set1_epi8(32));
  return _mm_cmpeq_epi8(_mm_min_epu8(shifted, _mm_set1_epi8(94)), shifted);
}

// 0xFF in each lane holding a byte of at least `threshold` (as unsigned), 0 elsewhere.
inline __m128i at_least_lanes(__m128i bytes, std::uint8_t threshold) {
  return _mm_cmpeq_epi8(_mm_max_epu8(bytes, _mm_set1_epi8(static_cast<char>(threshold))), bytes);
}
#endif

// The first byte in [p, end) outside 32..126, or end.
inline const std::uint8_t* skip_printable(const std::uint8_t* p, const std::uint8_t* end) {
#if defined(__SSE2__)
  while (end - p >= 16) {
    __m128i printable = printable_lanes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(printable)) ^ 0xFFFFu;
    if (mask != 0) return p + __builtin_ctz(mask);
    p += 16;
  }
#endif
  while (p != end && static_cast<std::uint8_t>(*p - 32) <= 94) ++p;
  return p;
}

// The first byte equal to `code` in [p, end), or end. Inline rather than memchr: groups are
// mostly a few bytes long, shorter than a library call takes to set up.
inline const std::uint8_t* find_byte(const std::uint8_t* p, const std::uint8_t* end, int code) {
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(static_cast<char>(code));
  while (end - p >= 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted)));
    if (mask != 0) return p + __builtin_ctz(mask);
    p += 16;
  }
#endif
  while (p != end && *p != code) ++p;
  return p;
}

// Where `code` first occurs among the 16 bytes at p (all readable), 16 when it does not: one
// compare whatever the distance, so that the short groups of a document full of codes take no
// branch on their length.
inline int offset_of_byte_in_16(const std::uint8_t* p, int code) {
#if defined(__SSE2__)
  __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  __m128i hit = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(code)));
  return __builtin_ctz(static_cast<unsigned>(_mm_movemask_epi8(hit)) | 0x10000u);
#else
  int offset = 0;
  while (offset < 16 && p[offset] != code) ++offset;
  return offset;
#endif
}

// For decoders whose function groups end at the next byte equal to their code: the length of
// the piece that would start at each of the kCodeBlock bytes from `at`. 1 for a byte below
// `threshold` that is not printable, the whole group for a byte from `threshold` up whose
// group ends within kGroupReach bytes, 0 for a printable byte or a group that reaches
// further. Reads kCodeBlock + kGroupReach bytes. Computed for all bytes at once, so that
// walking a stretch of codes waits for one table load per code, not for a search.
inline constexpr int kCodeBlock = 32;
inline constexpr int kGroupReach = 8;
inline void code_lengths(const std::uint8_t* at, std::uint8_t threshold,
                         std::uint8_t (&lengths)[kCodeBlock]) {
#if defined(__SSE2__)
  for (int half = 0; half < kCodeBlock; half += 16) {
    const std::uint8_t* from = at + half;
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    __m128i length = _mm_setzero_si128();
    __m128i found = _mm_setzero_si128();
    for (int distance = kGroupReach; distance >= 1; --distance) {
      // From the farthest in, so that the nearest end wins.
      __m128i ahead = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + distance));
      __m128i ends = _mm_cmpeq_epi8(bytes, ahead);
      length = _mm_or_si128(_mm_andnot_si128(ends, length),
                            _mm_and_si128(ends, _mm_set1_epi8(static_cast<char>(distance + 1))));
      found = _mm_or_si128(found, ends);
    }
    __m128i group = at_least_lanes(bytes, threshold);
    __m128i single = _mm_andnot_si128(_mm_or_si128(group, printable_lanes(bytes)),
                                      _mm_set1_epi8(1));
    length = _mm_or_si128(_mm_and_si128(_mm_and_si128(group, found), length), single);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lengths + half), length);
  }
#else
  for (int i = 0; i < kCodeBlock; ++i) {
    int length = 0;
    if (at[i] >= threshold) {
      for (int distance = 1; distance <= kGroupReach && length == 0; ++distance) {
        if (at[i + distance] == at[i]) length = distance + 1;
      }
    } else if (!is_printable(at[i])) {
      length = 1;
    }
    lengths[i] = static_cast<std::uint8_t>(length);
  }
#endif
}

// The same for a group that mostly ends within a few bytes: those are looked at one by one
// first, since the branches are well predicted where a 16-byte step would add its latency to
// every group.
inline const std::uint8_t* find_byte_soon(const std::uint8_t* p, const std::uint8_t* end,
                                          int code) {
  for (int i = 0; i < 4; ++i, ++p) {
    if (p == end || *p == code) return p;
  }
  return find_byte(p, end, code);
}

// The first byte in [p, end) that equals `value` or is at least `threshold`, or end.
inline const std::uint8_t* find_byte_or_at_least(const std::uint8_t* p, const std::uint8_t* end,
                                                 std::uint8_t value, std::uint8_t threshold) {
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(static_cast<char>(value));
  while (end - p >= 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i high = at_least_lanes(bytes, threshold);
    __m128i hit = _mm_or_si128(high, _mm_cmpeq_epi8(bytes, wanted));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
    if (mask != 0) return p + __builtin_ctz(mask);
    p += 16;
  }
#endif
  while (p != end && *p != value && *p < threshold) ++p;
  return p;
}

#if defined(__SSE2__)
// Bit i set when byte i of the 16 at `p` is at least `threshold`.
inline unsigned bits_at_least_16(const std::uint8_t* p, std::uint8_t threshold) {
  __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  __m128i high = at_least_lanes(bytes, threshold);
  return static_cast<unsigned>(_mm_movemask_epi8(high));
}
#endif

// The first byte in [p, end) that is at least `threshold`, or end.
inline const std::uint8_t* find_at_least(const std::uint8_t* p, const std::uint8_t* end,
                                         std::uint8_t threshold) {
#if defined(__SSE2__)
  while (end - p >= 16) {
    unsigned mask = bits_at_least_16(p, threshold);
    if (mask != 0) return p + __builtin_ctz(mask);
    p += 16;
  }
#endif
  while (p != end && *p < threshold) ++p;
  return p;
}

// The first byte in [p, end) that is printable, or equals `first` with `second` next or with
// nothing left after it in [p, end) (so that a look-ahead beyond `end` is left to the
// caller), or end.
inline const std::uint8_t* find_printable_or_pair(const std::uint8_t* p, const std::uint8_t* end,
                                                  std::uint8_t first, std::uint8_t second) {
#if defined(__SSE2__)
  while (end - p > 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
    __m128i pair = _mm_and_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(first))),
                                 _mm_cmpeq_epi8(next, _mm_set1_epi8(static_cast<char>(second))));
    unsigned mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(printable_lanes(bytes), pair)));
    if (mask != 0) return p + __builtin_ctz(mask);
    p += 16;
  }
#endif
  for (; p != end; ++p) {
    if (is_printable(*p) || (*p == first && (p + 1 == end || p[1] == second))) return p;
  }
  return p;
}

// The first printable byte in [p, end), or end.
inline const std::uint8_t* find_printable(const std::uint8_t* p, const std::uint8_t* end) {
#if defined(__SSE2__)
  while (end - p >= 16) {
    __m128i printable = printable_lanes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(printable));
    if (mask != 0) return p + __builtin_ctz(mask);
    p += 16;
  }
#endif
  while (p != end && !is_printable(*p)) ++p;
  return p;
}

#if defined(__SSE2__)
// Bit i set when byte i of the 64 at `p` is at least `threshold`.
inline std::uint64_t bits_at_least_64(const std::uint8_t* p, std::uint8_t threshold) {
  std::uint64_t bits = 0;
  for (int i = 0; i < 64; i += 16) {
    bits |= std::uint64_t{bits_at_least_16(p + i, threshold)} << i;
  }
  return bits;
}

// Bit i set when byte i of the 64 at `p` equals `a` or `b`.
inline std::uint64_t bits_equal_64(const std::uint8_t* p, std::uint8_t a, std::uint8_t b) {
  const __m128i first = _mm_set1_epi8(static_cast<char>(a));
  const __m128i second = _mm_set1_epi8(static_cast<char>(b));
  std::uint64_t bits = 0;
  for (int i = 0; i < 64; i += 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(bytes, first), _mm_cmpeq_epi8(bytes, second));
    bits |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(hit))} << i;
  }
  return bits;
}
#endif

// One byte of look-ahead for a bulk loop working through [p, end) of the source's window:
// consumes the next byte only when it equals `byte` (never at the end of the input). At the
// window's edge the source refills, and p and end then describe its new window.
inline bool take_next_if(ByteSource& in, const std::uint8_t*& p, const std::uint8_t*& end,
                         int byte) {
  if (p != end) {
    // Without a branch on the byte: whether a line feed follows is a toss-up on documents
    // full of codes.
    bool taken = *p == byte;
    p += taken;
    return taken;
  }
  in.advance_to(p);
  bool taken = in.take_if(byte);
  p = in.window_begin();
  end = in.window_end();
  return taken;
}

}  // namespace quorrel
