// Fuzzes identification: any bytes give one of the four codes, the same from memory as through
// a file read in small pieces.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "properties.h"
#include "recognition/identify.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  quorrel::ByteSource in = quorrel::ByteSource::from_memory(bytes);
  quorrel::FormatCode code = quorrel::identify(in);
  quorrel::fuzz::require(code >= quorrel::TYPE_UNKNOWN && code <= quorrel::TYPE_WPD,
                         "a known format code");
  quorrel::fuzz::require((size > 0 && data[0] >= 192) || code != quorrel::TYPE_WP,
                         "ancient WordPerfect starts with a code byte");
  return 0;
}
