// One file of a batch through the complete reading: the document read once, every requested
// output written from that one reading.
#pragma once

#include "batch/engine.h"

namespace quorrel::batch {

FileOutcome convert_complete_file(const FileJob& job, const Request& request);

// Said for every output while this build has no complete reading to offer.
inline constexpr std::string_view kCompleteReadingMissing =
    "The complete reading is not part of this build.";

}  // namespace quorrel::batch
