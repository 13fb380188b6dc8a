// Small pieces the complete readers share: little-endian fields read within bounds, and the
// record of where a document's structure broke down.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "readers/reader.h"

namespace quorrel::readers {

inline unsigned byte_at(std::string_view bytes, std::size_t at) {
  return at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : 0u;
}

// 0 past the end: callers check the size they need first, this only keeps reads in bounds.
inline unsigned u16_at(std::string_view bytes, std::size_t at) {
  return byte_at(bytes, at) | (byte_at(bytes, at + 1) << 8);
}

inline std::uint32_t u32_at(std::string_view bytes, std::size_t at) {
  return u16_at(bytes, at) | (static_cast<std::uint32_t>(u16_at(bytes, at + 2)) << 16);
}

// The end of the run of printable ASCII (0x20-0x7E) that starts at `from`, looked at sixteen
// bytes at a time where the processor can: text is most of a document.
inline std::size_t printable_run_end(std::string_view bytes, std::size_t from, std::size_t end) {
  std::size_t i = from;
#ifdef __SSE2__
  const __m128i below = _mm_set1_epi8(0x1F), above = _mm_set1_epi8(0x7F);
  while (end - i >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
    // Signed compares: 0x20-0x7E are the positive bytes above 0x1F and below 0x7F.
    const unsigned printable = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpgt_epi8(v, below), _mm_cmplt_epi8(v, above))));
    if (printable != 0xFFFF) return i + static_cast<std::size_t>(std::countr_one(printable));
    i += 16;
  }
#endif
  while (i < end) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x20 || byte >= 0x7F) break;
    ++i;
  }
  return i;
}

// Broken groups a reader stepped over. A few are tolerated as the slips of the program that
// wrote the file; past that, or when the reading cannot go on, the result says "damaged".
class Damage {
 public:
  void note(std::size_t offset, std::string_view what) {
    if (count_++ == 0) {
      first_ = std::string(what) + " at byte " + std::to_string(offset);
    }
  }
  // The reading had to stop before the end.
  void stop(std::size_t offset, std::string_view what) {
    note(offset, what);
    stopped_ = true;
  }
  std::size_t count() const { return count_; }

  // Complete, or damaged with what broke first and how often.
  ReadResult result(std::size_t tolerated = 0) const {
    if (!stopped_ && count_ <= tolerated) return {};
    std::string message = "The document is damaged: " + first_;
    if (count_ > 1) message += " (and " + std::to_string(count_ - 1) + " more)";
    message += "; what could be read was read.";
    return {ReadStatus::damaged, std::move(message)};
  }

 private:
  std::size_t count_ = 0;
  bool stopped_ = false;
  std::string first_;
};

}  // namespace quorrel::readers
