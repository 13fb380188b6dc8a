// Large deterministic documents of every generation, for benchmarks, fuzz corpora and the
// differential tests of the fast paths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "recognition/format.h"

namespace quorrel::examples {

enum class Shape {
  text_heavy,  // mostly words, a code now and then
  code_heavy,  // mostly codes and groups, some words
  worst_case,  // every byte a code: groups open and close constantly
};

// About `size` bytes (a little more) of a document of `format`, with its prefix where the
// generation has one. The same key always gives the same document.
std::string random_document(FormatCode format, std::size_t size, std::uint32_t key, Shape shape);

// The two halves of a random document, for writing very large ones piece by piece.
std::string document_prefix(FormatCode format);
std::string random_document_area(FormatCode format, std::size_t size, std::uint32_t key,
                                 Shape shape);

}  // namespace quorrel::examples
