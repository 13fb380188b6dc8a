#include "io/allocation.h"

#include <malloc.h>

namespace quorrel {

void keep_freed_buffers_for_reuse() {
  // Buffers up to 4 MiB come from the heap, and the heap keeps up to 16 MiB of free space.
  mallopt(M_MMAP_THRESHOLD, 4 << 20);
  mallopt(M_TRIM_THRESHOLD, 16 << 20);
}

}  // namespace quorrel
