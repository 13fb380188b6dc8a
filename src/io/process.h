// What a front end sets up once at start-up, before any conversion.
#pragma once

namespace quorrel {

// Keeps freed buffers for reuse (io/allocation.h); lets a write beyond the file-size limit
// (ulimit -f) fail like a full disk, reported and its partial file removed, instead of the
// process being killed by SIGXFSZ in the middle of an output; and gives a standard descriptor
// that was closed at start a stand-in on /dev/null, opened the wrong way round so that using
// it fails and is reported. Otherwise the next file opened would take its number, and
// standard output would be written into an input or output document.
void set_up_process();

}  // namespace quorrel
