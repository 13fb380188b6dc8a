// Documents of the complete reading as a reader would build them, from bytes: each byte one
// call of the builder. Fuzz targets play their input this way; tests play seeded random bytes,
// so that every writer meets notes in tables, breaks in headers and the like.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "document/builder.h"

namespace quorrel::examples {

// Calls `builder` once for each byte of `script` and finishes the document.
void play_events(document::DocumentBuilder& builder, std::string_view script);

// `size` random script bytes; the same key always gives the same script.
std::string random_script(std::size_t size, std::uint32_t key);

}  // namespace quorrel::examples
