// Output buffers kept for the next output on the same thread. A batch makes a few outputs a
// file, each with a buffer of a few hundred kilobytes: a kept one costs nothing, where a fresh
// one costs an allocation, under AddressSanitizer (the fuzz targets) a mapping of its own and
// its unmapping on every core.
#pragma once

#include <cstddef>
#include <memory>

namespace quorrel {

// A buffer of `size` bytes, not zeroed: a kept one of that size, or a new one.
std::unique_ptr<char[]> take_buffer(std::size_t size);
// Keeps `buffer`, of `size` bytes, for a later take_buffer on this thread (a few at most).
void keep_buffer(std::unique_ptr<char[]> buffer, std::size_t size);

// A buffer that grows as its user needs (a held line's), kept apart from the fixed-size ones:
// the largest one grown on this thread is kept for the next such user.
struct GrownBuffer {
  std::unique_ptr<char[]> bytes;
  std::size_t size = 0;
};
// The kept grown buffer, or none (a null `bytes`).
GrownBuffer take_grown_buffer();
// Keeps `buffer` unless the one kept is at least as large.
void keep_grown_buffer(GrownBuffer buffer);

}  // namespace quorrel
