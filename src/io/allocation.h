// How the process keeps memory between conversions.
#pragma once

namespace quorrel {

// Every conversion takes a large input and output buffer and the packer a compressor state,
// and gives them back at its end. By default the C library returns such blocks to the system
// at once and maps them afresh for the next file, so a batch of small documents spends much of
// its time faulting in and zeroing the same memory again. Call once at start-up: freed blocks
// stay with the process (a few MiB at most) and the next conversion reuses them.
void keep_freed_buffers_for_reuse();

}  // namespace quorrel
