#include "cli/cli_reporter.h"

#include <cstring>

#include "document/utf8.h"
#include "io/input_file.h"

namespace quorrel::cli {

namespace {

using batch::Failure;

std::string_view kind_name(OutputKind kind) {
  switch (kind) {
    case OutputKind::text:
      return "txt";
    case OutputKind::html:
      return "html";
    case OutputKind::sxw:
      return "sxw";
    case OutputKind::odt:
      return "odt";
  }
  return "";
}

std::string reason(int error) {
  if (error == kNotARegularFile) return "not a regular file";
  if (error == 0) return {};
  return std::strerror(error);
}

std::string with_reason(std::string text, int error) {
  std::string why = reason(error);
  if (!why.empty()) text += ": " + why;
  return text;
}

bool has_control(std::string_view name) {
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

void print(std::FILE* to, const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), to);
  std::fputc('\n', to);
}

std::string duration(double seconds) {
  auto whole = static_cast<long>(seconds + 0.5);
  char text[32];
  if (whole >= 3600) {
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  }
  return text;
}

}  // namespace

std::string shown_name(std::string_view name) {
  if (!has_control(name)) return std::string(name);
  std::string shown = "\"";
  for (unsigned char c : name) {
    switch (c) {
      case '\n': shown += "\\n"; break;
      case '\r': shown += "\\r"; break;
      case '\t': shown += "\\t"; break;
      case '"': shown += "\\\""; break;
      case '\\': shown += "\\\\"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\x%02x", c);
          shown += escape;
        } else {
          shown += static_cast<char>(c);
        }
    }
  }
  return shown + "\"";
}

std::string json_string(std::string_view bytes) {
  std::string json = "\"";
  while (!bytes.empty()) {
    std::size_t valid = document::valid_utf8_prefix(bytes);
    for (unsigned char c : bytes.substr(0, valid)) {
      if (c == '"' || c == '\\') {
        json += '\\';
        json += static_cast<char>(c);
      } else if (c < 0x20 || c == 0x7F) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", c);
        json += escape;
      } else {
        json += static_cast<char>(c);
      }
    }
    bytes.remove_prefix(valid);
    if (!bytes.empty()) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(bytes[0]));
      json += escape;
      bytes.remove_prefix(1);
    }
  }
  return json + "\"";
}

std::string failure_text(const batch::OutputOutcome& output) {
  switch (output.failure) {
    case Failure::none:
      return {};
    case Failure::open_input:
      return with_reason("cannot open the input", output.error);
    case Failure::prefix_mismatch:
      return output.prefix == PrefixRule::wp51
                 ? "not a WordPerfect 5.1 document: the WordPerfect prefix is missing"
                 : "not a WordPerfect 6-9 document: the WordPerfect prefix is missing";
    case Failure::open_output:
      return with_reason("cannot create " + shown_name(output.path), output.error);
    case Failure::read_error:
      return with_reason("cannot read the input to its end", output.error);
    case Failure::write_error:
      return with_reason("cannot write " + shown_name(output.path), output.error);
    case Failure::written_before:
      return shown_name(output.path) + " was already written for " +
             shown_name(output.earlier_input) + " in this batch; left as it was";
    case Failure::replaces_input:
      return shown_name(output.path) + " is the input itself; not replaced";
    case Failure::not_read:
      return output.message;
  }
  return {};
}

CliReporter::CliReporter(std::FILE* out, std::FILE* err, std::size_t total, Settings settings)
    : out_(out), err_(err), total_(total), settings_(settings),
      start_(std::chrono::steady_clock::now()), last_progress_(start_) {}

void CliReporter::input_problem(const batch::InputProblem& problem) {
  clear_progress();
  print(err_, with_reason(shown_name(problem.name) + ": " + problem.message, problem.error));
}

void CliReporter::output_written(const batch::FileJob& job, const batch::FileOutcome& file,
                                 const batch::OutputOutcome& output) {
  if (settings_.list_outputs && output.path != batch::kStandardStream) {
    clear_progress();
    print(out_, shown_name(output.path));
  }
  report_line(job, file, output);
}

void CliReporter::output_failed(const batch::FileJob& job, const batch::FileOutcome& file,
                                const batch::OutputOutcome& output) {
  clear_progress();
  std::string line = shown_name(job.input);
  line += ": ";
  line += kind_name(output.kind);
  line += ": ";
  line += failure_text(output);
  print(err_, line);
  report_line(job, file, output);
}

void CliReporter::file_finished(const batch::FileJob& job, const batch::FileOutcome& file) {
  // A damaged document: its outputs hold what could be read, and the user is told. A problem
  // that cost the outputs was already given with each of them.
  bool any_written = false;
  for (const batch::OutputOutcome& output : file.outputs) {
    any_written = any_written || output.failure == batch::Failure::none;
  }
  if (!file.problem.empty() && any_written) {
    clear_progress();
    print(err_, shown_name(job.input) + ": " + file.problem);
  }
  // A file at a time, so that a program reading the list sees each file as it is done.
  if (settings_.list_outputs) std::fflush(out_);
  ++done_;
  show_progress(false);
}

bool CliReporter::keep_going() {
  show_progress(false);
  return true;
}

void CliReporter::report_line(const batch::FileJob& job, const batch::FileOutcome& file,
                              const batch::OutputOutcome& output) {
  if (settings_.report == nullptr) return;
  std::string line = "{\"input\":" + json_string(job.input);
  line += ",\"output\":" + json_string(output.path);
  line += ",\"kind\":\"";
  line += kind_name(output.kind);
  line += "\",\"reading\":\"";
  line += settings_.reading;
  line += "\",\"generation\":" + json_string(file.generation);
  line += ",\"bytes_in\":" + std::to_string(file.bytes_in);
  line += ",\"bytes_out\":" + std::to_string(output.bytes_out);
  line += output.written() ? ",\"status\":\"written\"" : ",\"status\":\"failed\"";
  line += ",\"message\":" + json_string(output.written() ? output.message : failure_text(output));
  line += "}";
  print(settings_.report, line);
}

void CliReporter::clear_progress() {
  if (!progress_shown_) return;
  std::fputs("\r\033[K", err_);
  progress_shown_ = false;
}

void CliReporter::show_progress(bool now) {
  if (!settings_.progress) return;
  auto time = std::chrono::steady_clock::now();
  if (!now && time - last_progress_ < std::chrono::milliseconds(200)) return;
  last_progress_ = time;
  double seconds = std::chrono::duration<double>(time - start_).count();
  double rate = seconds > 0 ? static_cast<double>(done_) / seconds : 0;
  char line[160];
  int length = std::snprintf(line, sizeof line, "\r%zu of %zu files, %.0f files/s", done_, total_,
                             rate);
  std::string text(line, static_cast<std::size_t>(length));
  if (rate > 0 && done_ < total_) {
    text += ", " + duration(static_cast<double>(total_ - done_) / rate) + " left";
  }
  text += "\033[K";
  std::fputs(text.c_str(), err_);
  std::fflush(err_);
  progress_shown_ = true;
}

void CliReporter::finish(const batch::Summary& summary) {
  clear_progress();
  if (!settings_.progress) return;
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  std::fprintf(err_, "%zu of %zu files converted, %zu failed, in %.1f s\n",
               summary.files_done - summary.files_failed, total_, summary.files_failed, seconds);
}

}  // namespace quorrel::cli
