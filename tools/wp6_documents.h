// Large deterministic WordPerfect 6 documents shaped like real ones, for the complete reading's
// benchmarks and memory tests: words whose spaces are the code 0x80, soft returns where lines
// wrap, paragraph ends, attribute switches and characters of the WordPerfect sets, about 17% of
// the bytes codes.
#pragma once

#include <cstddef>
#include <string>

namespace quorrel::examples {

// A whole 6.1 file of at least `bytes` bytes; the same seed always gives the same document.
std::string make_wp6_document(std::size_t bytes, unsigned seed);

// The prefix (with an index holding only its header) and a stretch of document area, for
// writing a very large file piece by piece: the prefix followed by any number of areas is a
// whole document.
std::string wp6_document_prefix();
std::string wp6_document_area(std::size_t bytes, unsigned seed);

// `stream` (at least 4096 bytes, so kept in regular sectors) as the document stream of an OLE
// compound file of 2^`sector_shift`-byte sectors (9 or 12), as later versions wrap a document:
// the allocation table, the directory, then the stream's sectors in order or, `scattered`,
// in reverse order, so that no two follow one another in the file. `loop` sends the chain from
// its last sector but one back to its first. The table must fit the header's list of 109 sectors.
std::string make_compound_file(const std::string& stream, unsigned sector_shift = 9,
                               bool scattered = false, bool loop = false);

}  // namespace quorrel::examples
