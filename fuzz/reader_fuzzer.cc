// Fuzzes the complete reading: detection, then the reader of the detected generation or of one
// forced on the bytes, with and without a password. Whatever the bytes: no crash, events in the
// well-formed order, text runs of valid UTF-8 without control characters, and an output
// bounded by the input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "document/builder.h"
#include "document/document_sink.h"
#include "document/utf8.h"
#include "io/document_bytes.h"
#include "document_checks.h"
#include "properties.h"
#include "readers/read_document.h"

namespace {

using namespace quorrel;

using fuzz::CheckingSink;

void read(std::string_view bytes, readers::Generation generation, const char* password) {
  CheckingSink sink;
  document::DocumentBuilder builder(sink);
  DocumentBytes input = DocumentBytes::from_memory(bytes);
  readers::ReadOptions options;
  if (password != nullptr) {
    options.has_password = true;
    options.password = password;
  }
  const readers::ReadResult result = readers::read_document(input, generation, options, builder);
  builder.finish();
  // A byte becomes at most a few characters (a 5.x character group of 4 bytes the longest
  // sequence of code points), and each code at most a few events.
  fuzz::require(sink.text_bytes <= 4 * bytes.size() + 16, "text bounded by the input");
  fuzz::require(sink.events <= 8 * bytes.size() + 16, "events bounded by the input");
  const bool refused = result.status == readers::ReadStatus::password_protected ||
                       result.status == readers::ReadStatus::wrong_password ||
                       result.status == readers::ReadStatus::unsupported;
  fuzz::require(!refused || sink.events == 1, "a refused document delivers nothing");
  fuzz::require(result.status == readers::ReadStatus::complete || !result.message.empty(),
                "a reading that is not complete says why");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const readers::Generation detected = readers::detect_generation(bytes);
  read(bytes, detected, nullptr);
  read(bytes, detected, "password");
  // Each reader also meets bytes that are not its own.
  for (readers::Generation forced :
       {readers::Generation::plain, readers::Generation::wp42, readers::Generation::wp5}) {
    if (forced != detected) read(bytes, forced, nullptr);
  }
  return 0;
}
