// The batch engine under both front ends: a request (files, outputs, reading, generation, jobs)
// in, one outcome per file and output out, through a narrow reporter. Files may be converted
// on several threads; the reporter is always called on the caller's thread, in input order,
// and every result is the one a single job gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/converter.h"
#include "readers/reader.h"
#include "recognition/format.h"

namespace quorrel::batch {

// Names standard input as an input, and standard output as where an output goes.
inline constexpr std::string_view kStandardStream = "-";

enum class Reading {
  exact,     // the converters, byte for byte as they always wrote
  complete,  // the document read by its structure, once for all outputs
};

// One input and where its outputs go.
struct FileJob {
  std::string input;  // the path read, or kStandardStream
  // Outputs are named from this as from an input path beside them: stem + ".txt", and the
  // archive by its converter's rule. Usually the input path itself; under an output folder
  // the same name there. kStandardStream writes the single output to standard output.
  std::string output_stem;
  std::string title;  // the bare input name: the HTML title and the dialog's entries
};

struct Request {
  std::vector<FileJob> files;
  std::vector<OutputKind> outputs;        // in the order they are made and reported
  Reading reading = Reading::exact;
  std::optional<FormatCode> generation;   // forced; Auto Detect when empty
  readers::ReadOptions read_options;      // the complete reading's password
  unsigned jobs = 1;                      // files converted at the same time
  // Convert on other threads even with one job, so that the caller's thread stays free to
  // call Reporter::keep_going while a long file converts (a desktop repaints there).
  bool keep_caller_free = false;
  int standard_input = 0;
  int standard_output = 1;
  std::string temporary_folder = "/tmp";  // where an archive for standard output is made
};

enum class Failure {
  none,
  open_input,       // error: an errno value or kNotARegularFile (io/input_file.h)
  prefix_mismatch,  // prefix: the rule the input failed
  open_output,      // error: errno when the system said
  read_error,
  write_error,      // error: errno when the system said
  written_before,   // this batch already wrote that output, for `earlier_input`
  replaces_input,   // the output is the input itself, under whatever name
  not_read,         // the complete reading delivered nothing: `message` says why
};

struct OutputOutcome {
  OutputKind kind = OutputKind::text;
  std::string path;  // where it was (or would have been) written; kStandardStream for stdout
  Failure failure = Failure::none;
  int error = 0;
  PrefixRule prefix = PrefixRule::none;
  std::string message;        // with not_read, or what the complete reading said
  std::string earlier_input;  // with written_before
  std::uint64_t bytes_out = 0;

  bool written() const { return failure == Failure::none; }
};

struct FileOutcome {
  std::size_t index = 0;  // in the request's files
  FormatCode format = TYPE_UNKNOWN;  // found under Auto Detect, else forced
  bool detected = false;             // Auto Detect was to identify it (even if it did not open)
  std::string generation;            // what the reading took it for, for reports
  std::uint64_t bytes_in = 0;
  std::string problem;  // the complete reading: why the document was not read whole
  std::vector<OutputOutcome> outputs;  // one per requested output kind, in request order
};

// How outcomes reach a front end. Every call comes on the thread that called run(), file by
// file in input order; for each file: each output started, then written or failed, then the
// file finished.
class Reporter {
 public:
  virtual ~Reporter() = default;
  virtual void output_started(const FileJob&, const FileOutcome&, const OutputOutcome&) {}
  virtual void output_written(const FileJob&, const FileOutcome&, const OutputOutcome&) {}
  virtual void output_failed(const FileJob&, const FileOutcome&, const OutputOutcome&) {}
  virtual void file_finished(const FileJob&, const FileOutcome&) {}
  // Asked after each file and, while the caller waits for a file, at least every
  // kWaitingInterval: false stops the batch once the files being converted are done (they are
  // still reported, so that nothing written goes unreported).
  virtual bool keep_going() { return true; }
};

inline constexpr int kWaitingIntervalMs = 50;

struct Summary {
  std::size_t files_done = 0;    // reported
  std::size_t files_failed = 0;  // with any output not written
  std::size_t outputs_written = 0;
  std::size_t outputs_failed = 0;
  std::size_t files_not_started = 0;  // left when stopped
  bool stopped = false;
};

Summary run(const Request& request, Reporter& reporter);

// The processors this process may run on, as its affinity (taskset, a container's CPU set)
// allows: the default number of jobs. At least 1.
unsigned usable_processors();

// A name for a format code in reports: "plain", "wp", "w51", "wpd".
std::string_view format_name(FormatCode format);

}  // namespace quorrel::batch
