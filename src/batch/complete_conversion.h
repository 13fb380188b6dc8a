// One document through the complete reading: read once, written to every chosen output at the
// same time, each output committed only when the reading delivered something worth keeping.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "convert/converter.h"
#include "readers/reader.h"

namespace quorrel {

struct CompleteRequest {
  std::string input_path;
  // Outputs are named from this as from an input path beside them; the input path when empty.
  std::string output_stem;
  std::vector<OutputKind> outputs;               // in the order they are reported
  std::optional<readers::Generation> generation;  // forced; detected when empty
  readers::ReadOptions read_options;
  // Asked for each output once its path is known; an output it refuses is not written (an
  // earlier file of the batch wrote that path, or it is the input itself).
  std::function<bool(OutputKind kind, const std::string& path)> may_write;
};

struct CompleteOutput {
  OutputKind kind;
  std::string path;     // where it is (or would have been) written
  bool written = false;
  bool refused = false;  // by the request's may_write
  std::string failure;   // why it was not written
};

struct CompleteResult {
  readers::Generation generation = readers::Generation::plain;
  // Empty when the document was read whole; else why it was not (or only partly) read. A
  // damaged document's outputs hold what could be read and are still written.
  std::string problem;
  std::vector<CompleteOutput> outputs;
};

CompleteResult convert_complete(const CompleteRequest& request);

// The path each output kind is written to; the archive path follows the same rule as the exact
// reading for documents of that generation.
std::string complete_output_path(OutputKind kind, readers::Generation generation,
                                 const std::string& input_path);

}  // namespace quorrel
