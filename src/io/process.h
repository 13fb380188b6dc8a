// What a front end sets up once at start-up, before any conversion.
#pragma once

namespace quorrel {

// Keeps freed buffers for reuse (io/allocation.h), and lets a write beyond the file-size
// limit (ulimit -f) fail like a full disk, reported and its partial file removed, instead of
// the process being killed by SIGXFSZ in the middle of an output.
void set_up_process();

}  // namespace quorrel
