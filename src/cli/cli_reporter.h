// What the command line tells: each output written on standard output, each failure as one
// line on standard error, a progress line and a summary on a terminal, and a JSON report.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "batch/engine.h"
#include "batch/inputs.h"

namespace quorrel::cli {

// A name as printed: unchanged, or in double quotes with C escapes when it holds a control
// character, so that every report stays one line.
std::string shown_name(std::string_view name);

// A JSON string literal of arbitrary bytes: valid UTF-8 passes, other bytes as \u00XX.
std::string json_string(std::string_view bytes);

// The message of a failed output, with the system's reason when there is one.
std::string failure_text(const batch::OutputOutcome& output);

class CliReporter final : public batch::Reporter {
 public:
  struct Settings {
    bool list_outputs = true;      // paths of outputs written on standard output
    std::FILE* report = nullptr;   // JSON lines, when asked for
    std::string_view reading = "exact";
    bool progress = false;         // a progress line and a summary on standard error
  };

  CliReporter(std::FILE* out, std::FILE* err, std::size_t total, Settings settings);

  void input_problem(const batch::InputProblem& problem);
  void output_written(const batch::FileJob& job, const batch::FileOutcome& file,
                      const batch::OutputOutcome& output) override;
  void output_failed(const batch::FileJob& job, const batch::FileOutcome& file,
                     const batch::OutputOutcome& output) override;
  void file_finished(const batch::FileJob& job, const batch::FileOutcome& file) override;
  bool keep_going() override;
  // Clears the progress line and, on a terminal, prints the summary.
  void finish(const batch::Summary& summary);

 private:
  void report_line(const batch::FileJob& job, const batch::FileOutcome& file,
                   const batch::OutputOutcome& output);
  void clear_progress();
  void show_progress(bool now);

  std::FILE* out_;
  std::FILE* err_;
  std::size_t total_;
  Settings settings_;
  std::size_t done_ = 0;
  bool progress_shown_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_progress_;
};

}  // namespace quorrel::cli
