// A sink that stores nothing: the benchmarks measure reading and writing, not the copying of
// the output.
#pragma once

#include <cstddef>

#include "output/sink.h"

namespace quorrel {

class CountingSink final : public Sink {
 public:
  bool write(const char*, std::size_t size) override {
    bytes += size;
    return true;
  }
  std::size_t bytes = 0;
};

}  // namespace quorrel
