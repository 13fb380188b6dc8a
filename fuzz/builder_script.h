// Arbitrary bytes read as a script of a reader's calls to DocumentBuilder, so that the writer
// fuzz target and the writers' property tests drive the same whole range of documents.
#pragma once

#include <cstddef>
#include <string_view>

#include "document/builder.h"

namespace quorrel::fuzz {

// Plays `script` on `builder`, one call per byte (text calls take the bytes after them as
// their characters), and finishes the document. Returns the number of calls made. The
// characters never include digits, '[' or ']', so that a test can tell the writers' note
// numbers from the document's text.
std::size_t play_builder_script(std::string_view script, document::DocumentBuilder& builder);

}  // namespace quorrel::fuzz
