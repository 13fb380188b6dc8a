// One file of a batch through the complete reading: the document read once, every requested
// output written from that one reading.
#pragma once

#include "batch/engine.h"

namespace quorrel::batch {

FileOutcome convert_complete_file(const FileJob& job, const Request& request);

// Standard input and output take the exact reading only.
inline constexpr std::string_view kCompleteNeedsFiles =
    "the complete reading reads and writes files, not standard input or output";

}  // namespace quorrel::batch
