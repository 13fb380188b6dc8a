// Large deterministic WordPerfect 5.1 documents shaped like real ones, for the complete
// reading's benchmarks: the code density of the 5.x documents in the shared corpus (per KiB of
// document area about 330 bytes of words, 18 tabs, 11 hard returns, 10 format groups, 10
// characters of the WordPerfect sets, an attribute pair, a soft return; now and then a note, a
// table, a box, a header).
#pragma once

#include <cstddef>
#include <string>

namespace quorrel::examples {

// A whole 5.1 file (prefix and document area) of at least `bytes` bytes; the same seed always
// gives the same document.
std::string make_wp5_document(std::size_t bytes, unsigned seed);

}  // namespace quorrel::examples
