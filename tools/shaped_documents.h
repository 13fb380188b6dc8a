// Large WordPerfect 5.x and 6.x documents shaped like real ones, for the complete reading's
// benchmarks and memory tests: words with the corpus's code density (spaces, soft returns
// where lines wrap, paragraph ends, attribute switches, characters from the WordPerfect sets).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorrel::examples {

// About `size` bytes (a little more), prefix included. The same key gives the same document.
std::string shaped_wp5_document(std::size_t size, std::uint32_t key);
// 6.x: spaces are the code 0x80 and about 17% of the bytes are codes.
std::string shaped_wp6_document(std::size_t size, std::uint32_t key);

// The prefix alone and a stretch of document area, for writing a very large file piece by
// piece: shaped_wp6_prefix() followed by any number of areas is a whole document.
std::string shaped_wp5_prefix();
std::string shaped_wp6_prefix();
std::string shaped_wp5_area(std::size_t size, std::uint32_t key);
std::string shaped_wp6_area(std::size_t size, std::uint32_t key);

}  // namespace quorrel::examples
