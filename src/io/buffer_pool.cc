#include "io/buffer_pool.h"

#include <utility>

namespace quorrel {

namespace {

// As many as one file's outputs hold at once in the complete reading (a writer's own buffer
// and those of the parts it holds back).
constexpr std::size_t kKept = 8;

struct Kept {
  std::unique_ptr<char[]> buffer;
  std::size_t size = 0;
};

struct Pool {
  Kept kept[kKept];
  std::size_t count = 0;
};

thread_local Pool pool;
thread_local GrownBuffer grown;

}  // namespace

std::unique_ptr<char[]> take_buffer(std::size_t size) {
  for (std::size_t i = pool.count; i-- > 0;) {
    if (pool.kept[i].size != size) continue;
    std::unique_ptr<char[]> buffer = std::move(pool.kept[i].buffer);
    pool.kept[i] = std::move(pool.kept[--pool.count]);
    return buffer;
  }
  return std::make_unique_for_overwrite<char[]>(size);
}

void keep_buffer(std::unique_ptr<char[]> buffer, std::size_t size) {
  if (buffer == nullptr || pool.count == kKept) return;
  pool.kept[pool.count++] = {std::move(buffer), size};
}

GrownBuffer take_grown_buffer() { return std::exchange(grown, {}); }

void keep_grown_buffer(GrownBuffer buffer) {
  if (buffer.bytes != nullptr && buffer.size > grown.size) grown = std::move(buffer);
}

}  // namespace quorrel
