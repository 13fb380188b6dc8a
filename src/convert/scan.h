// Bulk scanning shared by the decoders, and the passing of character runs to their writers.
// Results are exactly those of examining each byte in turn.
#pragma once

#include <cstdint>

#include "convert/fast_paths.h"
#include "io/byte_scan.h"
#include "output/text_writer.h"

namespace quorrel {

// Hands a run of characters to a sink: in one call when the sink takes runs, else one by one.
template <class Sink>
inline void emit_characters(Sink& sink, const std::uint8_t* begin, const std::uint8_t* end) {
  if constexpr (takes<Sink, kCharacters, requires { sink.characters(begin, end); }>()) {
    sink.characters(begin, end);
  } else {
    for (const std::uint8_t* p = begin; p != end; ++p) sink.character(*p);
  }
}

// Copies the printable run that starts at p (and ends at the first other byte, or at end) into
// `out` unchanged, and returns where it ends. Each 16 bytes are stored as they are tested, so
// that a text output reads its document once, not once to find the run and again to copy it.
inline const std::uint8_t* copy_printable(TextWriter& out, const std::uint8_t* p,
                                          const std::uint8_t* end) {
  // Room is reserved in steps, so that a long run never needs room for the whole of it.
  constexpr std::ptrdiff_t kStep = 4096;
  for (;;) {
    const std::uint8_t* stop = end - p > kStep ? p + kStep : end;
    char* to = out.reserve(static_cast<std::size_t>(stop - p) + 16);
#if defined(__SSE2__)
    while (stop - p >= 16) {
      __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to), bytes);
      unsigned other = static_cast<unsigned>(_mm_movemask_epi8(printable_lanes(bytes))) ^ 0xFFFFu;
      if (other != 0) {
        int length = __builtin_ctz(other);
        out.commit(to + length);
        return p + length;
      }
      p += 16;
      to += 16;
    }
#endif
    while (p != stop && is_printable(*p)) *to++ = static_cast<char>(*p++);
    out.commit(to);
    if (p != stop || p == end) return p;
  }
}

// Passes the run of characters that starts at p to the sink and returns where it ends. A sink
// that writes characters unchanged copies the run while it is found (`copy_characters`).
template <class Sink>
inline const std::uint8_t* pass_characters(Sink& sink, const std::uint8_t* p,
                                           const std::uint8_t* end) {
  if constexpr (takes<Sink, kCopyCharacters, requires { sink.copy_characters(p, end); }>()) {
    return sink.copy_characters(p, end);
  } else {
    const std::uint8_t* run_end = skip_printable(p, end);
    emit_characters(sink, p, run_end);
    return run_end;
  }
}

}  // namespace quorrel
