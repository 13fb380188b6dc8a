// One file of a batch through the complete reading: the document read once, every requested
// output written from that one reading.
#pragma once

#include <functional>

#include "batch/engine.h"

namespace quorrel::batch {

// `may_write` is asked for each output once its path is known; when it refuses, it has filled in
// the output's failure and the output is not written.
FileOutcome convert_complete_file(const FileJob& job, const Request& request,
                                  const std::function<bool(OutputOutcome&)>& may_write);

// Standard input and output take the exact reading only.
inline constexpr std::string_view kCompleteNeedsFiles =
    "the complete reading reads and writes files, not standard input or output";

}  // namespace quorrel::batch
