// Fuzzes the 6.x and Macintosh readers from memory: the bytes as they are, and behind a 6.x
// prefix whose index points into them. Whatever the input: no fault, a well-formed event
// stream, and text bounded by the input (every packet's text is read at most once, and all of
// them together no more than the file).
#include <cstddef>
#include <cstdint>
#include <string>

#include "document/builder.h"
#include "document_checks.h"
#include "io/document_bytes.h"
#include "readers/mac.h"
#include "readers/readers.h"

namespace {

void check(const std::string& bytes, bool mac) {
  quorrel::fuzz::CheckingSink sink;
  quorrel::document::DocumentBuilder builder(sink);
  quorrel::DocumentBytes input = quorrel::DocumentBytes::from_memory(bytes);
  if (mac) {
    quorrel::readers::read_mac(input, {}, builder);
  } else {
    quorrel::readers::read_wp6(input, {}, builder);
  }
  builder.finish();
  // The longest text one input byte gives is a character of a WordPerfect set (at most a few
  // code points); a packet's text counts once more.
  quorrel::fuzz::require(sink.text_bytes <= 2 * 32 * (bytes.size() + 16), "text bounded by input");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  check(bytes, false);
  check(bytes, true);
  quorrel::readers::looks_like_mac1(bytes);
  // Behind a prefix: document area at 16 + the first byte, index at 16.
  std::string prefixed("\xFFWPC\x00\x00\x00\x00\x01\x0A\x02\x01\x00\x00\x10\x00", 16);
  prefixed[4] = static_cast<char>(16 + (size > 0 ? data[0] : 0));
  check(prefixed + bytes, false);
  std::string mac("\xFFWPC\x10\x00\x00\x00\x01\x2C\x02\x02\x00\x00\x00\x00", 16);
  check(mac + bytes, true);
  return 0;
}
