// What every converter call shares: naming its output, the prefix step, writing the output
// safely under its final name, and saying what went wrong. Callers decide how to tell the user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "convert/converter.h"

namespace quorrel {

// Where a converter writes for an input named `input_path`. The text, HTML and ODT outputs are
// named after the input's full name (report.wpd.txt, report.wpd.odt), so that inputs differing
// only in their extension never share an output; the SXW output is the archive below.
std::string output_path_for(const ConverterSpec& converter, const std::string& input_path);

// The SXW archive beside the input: a two- or three-letter extension of the input's own name
// is replaced by ".sxw" (report.wpd gives report.sxw under the three-letter rule), any other
// name gets ".sxw" appended. A dot in a folder name is never taken for an extension.
std::string archive_path_for(ArchiveRule rule, const std::string& input_path);

enum class ConvertStatus {
  ok,
  prefix_mismatch,  // the converter's WordPerfect prefix is missing
  open_output,      // the output (or the archive's content file) could not be created
  read_error,       // the input could not be read to its end
  write_error,      // the output could not be stored, or the archive not packed
};

struct FileConversion {
  ConvertStatus status = ConvertStatus::ok;
  int error = 0;            // errno for open_output and write_error, when the system said
  std::uint64_t bytes = 0;  // the output's size when written
};

// Converts `in`, positioned at the input's first byte, into `output_path` (for SXW the
// archive). The output is created only once the input has passed its prefix check, is written
// under a temporary name and replaces the final name only when complete, so that a failure
// leaves any earlier output of that name untouched. An SXW conversion writes the content
// document into a temporary file of its own beside the archive and packs it from there; an ODT
// conversion carries that content into OpenDocument as it is written and packs it likewise.
FileConversion convert_to_file(const ConverterSpec& converter, ByteSource& in,
                               const std::string& output_path, std::string_view title);

// Converts `in` into an open descriptor (standard output) that is not replaced but written
// as it goes; SXW is packed in a temporary folder under `temporary_folder` and then copied,
// ODT in an unnamed file there.
FileConversion convert_to_descriptor(const ConverterSpec& converter, ByteSource& in, int fd,
                                     std::string_view title, const std::string& temporary_folder);

struct MemoryConversion {
  ConvertStatus status = ConvertStatus::ok;
  std::string output;  // empty on a prefix mismatch
};

// The same conversion on bytes in memory, without files or messages. ODT gives the whole
// package, or write_error with no output when it could not be made.
MemoryConversion convert_memory(const ConverterSpec& converter, std::string_view input,
                                std::string_view title);
// The same on any source, from its current position.
MemoryConversion convert_source(const ConverterSpec& converter, ByteSource& in,
                                std::string_view title);

}  // namespace quorrel
