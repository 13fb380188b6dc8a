// Fuzzes the compound-file reading: the bytes behind the compound file's magic, looked up by
// the name a WordPerfect document stream has. Whatever the input: no fault, no endless chain,
// and a stream never larger than the file it came from.
#include <cstddef>
#include <cstdint>
#include <string>

#include "document/builder.h"
#include "document_checks.h"
#include "io/document_bytes.h"
#include "readers/ole_file.h"
#include "readers/readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string file("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
  file.append(reinterpret_cast<const char*>(data), size);
  std::string stream;
  quorrel::readers::OleStatus status =
      quorrel::readers::read_ole_stream(file, "PerfectOffice_MAIN", stream);
  quorrel::fuzz::require(stream.size() <= file.size(), "a stream within its file");
  quorrel::fuzz::require(status != quorrel::readers::OleStatus::not_found || stream.empty(),
                         "nothing from a stream not found");
  quorrel::fuzz::CheckingSink sink;
  quorrel::document::DocumentBuilder builder(sink);
  quorrel::DocumentBytes input = quorrel::DocumentBytes::from_memory(file);
  quorrel::readers::read_wp6(input, {}, builder);
  builder.finish();
  return 0;
}
