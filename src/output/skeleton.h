// What every converter call shares: naming and opening its files, the prefix step, writing the
// output safely under its final name, and reporting each failure once to the user.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "convert/converter.h"
#include "io/file_identity.h"
#include "shell/batch_state.h"
#include "shell/port.h"

namespace quorrel {

// The output of a conversion of `filepathname`: the text and HTML outputs are named after the
// input's full name (report.wpd.txt), the SXW archive by archive_path_for.
std::string output_path_for(const ConverterSpec& converter, const std::string& filepathname);

// The SXW archive beside the input: a two- or three-letter extension of the input's own name
// is replaced by ".sxw" (report.wpd gives report.sxw under the three-letter rule), any other
// name gets ".sxw" appended. A dot in a folder name is never taken for an extension.
std::string archive_path_for(ArchiveRule rule, const std::string& filepathname);

// The outputs one run of conversions (a batch) has written, by the file each name reaches, so
// that a later input whose output has the same name (same.wp and same.wpd both give same.sxw)
// is reported instead of replacing the earlier document.
class OutputsWritten {
 public:
  struct Source {
    std::string input_path;
    std::optional<FileIdentity> input;
  };
  // The input the file at `output` was written from in this run, or null.
  const Source* source_of(const std::optional<FileIdentity>& output) const;
  void record(const std::string& output_path, Source source);

 private:
  std::map<FileIdentity, Source> written_;
};

// Converts the batch's current input (filepathname). The output is created only once the
// input has opened and passed its prefix check, is written under a temporary name and renamed
// over the final name when complete; every failure is shown through the port and leaves any
// earlier output of the same name untouched. An SXW conversion writes its content document
// into an unnamed file beside the archive and has the port pack it from there before it
// returns: nothing is left in the current directory. Refused with a message: an output that
// would replace the input itself, and one that an earlier input of `written` wrote.
void run_converter(const ConverterSpec& converter, const BatchState& batch, Port& port,
                   OutputsWritten& written);
// The same as a batch of its own.
void run_converter(const ConverterSpec& converter, const BatchState& batch, Port& port);

enum class ConvertStatus { ok, prefix_mismatch };

struct MemoryConversion {
  ConvertStatus status = ConvertStatus::ok;
  std::string output;  // empty on a prefix mismatch
};

// The same conversion on bytes in memory, without files or messages.
MemoryConversion convert_memory(const ConverterSpec& converter, std::string_view input,
                                std::string_view title);
// The same on any source, from its current position.
MemoryConversion convert_source(const ConverterSpec& converter, ByteSource& in,
                                std::string_view title);

}  // namespace quorrel
