#include "batch/complete_file.h"

#include "batch/complete_conversion.h"
#include "convert/registry.h"
#include "output/skeleton.h"

namespace quorrel::batch {

namespace {

std::optional<readers::Generation> forced(std::optional<FormatCode> format) {
  if (!format) return std::nullopt;
  switch (*format) {
    case TYPE_WP:
      return readers::Generation::wp42;
    case TYPE_W51:
      return readers::Generation::wp5;
    case TYPE_WPD:
      return readers::Generation::wp6;
    case TYPE_UNKNOWN:
      return readers::Generation::plain;
  }
  return std::nullopt;
}

}  // namespace

FileOutcome convert_complete_file(const FileJob& job, const Request& request,
                                  const std::function<bool(OutputOutcome&)>& may_write) {
  FileOutcome outcome;
  outcome.detected = !request.generation.has_value();
  outcome.format = request.generation.value_or(TYPE_UNKNOWN);
  if (job.input == kStandardStream || job.output_stem == kStandardStream) {
    outcome.problem = kCompleteNeedsFiles;
    for (OutputKind kind : request.outputs) {
      OutputOutcome& output = outcome.outputs.emplace_back();
      output.kind = kind;
      output.path = std::string(kStandardStream);
      output.failure = Failure::not_read;
      output.message = outcome.problem;
    }
    return outcome;
  }

  CompleteRequest complete;
  complete.input_path = job.input;
  complete.output_stem = job.output_stem;
  complete.outputs = request.outputs;
  complete.generation = forced(request.generation);
  complete.read_options = request.read_options;
  std::vector<OutputOutcome> refused;
  complete.may_write = [&](OutputKind kind, const std::string& path) {
    OutputOutcome output;
    output.kind = kind;
    output.path = path;
    if (may_write(output)) return true;
    refused.push_back(std::move(output));
    return false;
  };
  CompleteResult result = convert_complete(complete);

  outcome.generation = readers::generation_name(result.generation);
  outcome.problem = result.problem;
  for (const CompleteOutput& written : result.outputs) {
    if (written.refused) {
      for (OutputOutcome& output : refused) {
        if (output.kind == written.kind) outcome.outputs.push_back(std::move(output));
      }
      continue;
    }
    OutputOutcome& output = outcome.outputs.emplace_back();
    output.kind = written.kind;
    output.path = written.path;
    if (!written.written) {
      output.failure = Failure::not_read;
      output.message = written.failure.empty() ? result.problem : written.failure;
    } else {
      output.message = result.problem;  // a damaged document's outputs hold what was read
    }
  }
  return outcome;
}

}  // namespace quorrel::batch
