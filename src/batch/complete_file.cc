#include "batch/complete_file.h"

#include "convert/registry.h"
#include "output/skeleton.h"

namespace quorrel::batch {

FileOutcome convert_complete_file(const FileJob& job, const Request& request) {
  FileOutcome outcome;
  outcome.detected = !request.generation.has_value();
  outcome.format = request.generation.value_or(TYPE_UNKNOWN);
  outcome.generation = format_name(outcome.format);
  outcome.problem = kCompleteReadingMissing;
  for (OutputKind kind : request.outputs) {
    OutputOutcome& output = outcome.outputs.emplace_back();
    output.kind = kind;
    output.path = job.output_stem == kStandardStream
                      ? std::string(kStandardStream)
                      : output_path_for(converter_for(kind, outcome.format), job.output_stem);
    output.failure = Failure::not_read;
    output.message = outcome.problem;
  }
  return outcome;
}

}  // namespace quorrel::batch
