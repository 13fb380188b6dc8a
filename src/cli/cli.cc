#include "cli/cli.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/engine.h"
#include "batch/inputs.h"
#include "cli/cli_reporter.h"

namespace quorrel {

namespace {

constexpr const char* kUsage =
    "Usage: quorrel-cli [OPTION]... FILE...\n"
    "Convert old WordPerfect documents (and anything else, read as plain text) into\n"
    "plain text, HTML, OpenOffice.org 1.0 Writer (.sxw) and OpenDocument Text (.odt)\n"
    "documents.\n"
    "\n"
    "Outputs (any combination; default --sxw):\n"
    "  --txt    plain text, named FILE.txt\n"
    "  --html   HTML, named FILE.html\n"
    "  --sxw    OpenOffice.org 1.0 Writer archive: report.wpd gives report.sxw\n"
    "  --odt    OpenDocument Text, as today's office suites open it, named FILE.odt\n"
    "           (report.wpd gives report.wpd.odt)\n"
    "\n"
    "Input generation (one; default --auto):\n"
    "  --auto   detect each file's generation\n"
    "  --wp     read as ancient WordPerfect (with --complete: 4.2 and earlier)\n"
    "  --w51    read as WordPerfect 5.1 (with --complete: 5.0 to 5.2)\n"
    "  --wpd    read as WordPerfect 6, 7, 8 or 9 (with --complete: 6.0 and later)\n"
    "\n"
    "Reading (default: the exact reading):\n"
    "  --complete       read each document by its structure, once for all outputs\n"
    "  --password WORD  with --complete: the password of a protected document\n"
    "\n"
    "Where:\n"
    "  -o, --outdir DIR     write the outputs in DIR (created if missing) instead of\n"
    "                       beside each input; a folder's files go under the folder's name\n"
    "  -r, --recursive      convert the files in folders given, and in their sub-folders\n"
    "      --hidden         with -r: take names starting with a dot too\n"
    "      --follow         with -r: walk links to folders too\n"
    "      --files-from F   also convert the files named in F, one a line ('-': read\n"
    "                       the names from standard input)\n"
    "  -0, --null           with --files-from: names end with a NUL byte, not a line end\n"
    "  -                    as FILE: read standard input, write the one chosen output to\n"
    "                       standard output\n"
    "\n"
    "How:\n"
    "  -j, --jobs N         convert N files at a time (default: one per processor it\n"
    "                       may use); the results and the reports are those of -j 1\n"
    "  -q, --quiet          no progress line and no summary on a terminal\n"
    "      --report F       write one JSON object a line per output to F ('-': standard\n"
    "                       output, instead of the list of outputs)\n"
    "  -h, --help           show this help and exit\n"
    "      --version        show the version and exit\n"
    "      --               end of options; every later argument is a FILE\n"
    "\n"
    "Options and FILEs may come in any order. FILEs are converted in the order given,\n"
    "each output kind in the order text, HTML, SXW, ODT. Standard output names each output\n"
    "written, with its path; each failure is one line on standard error naming the\n"
    "file, the output kind, what went wrong and the system's reason. Names holding\n"
    "control characters are shown quoted, with C escapes. An existing output is replaced\n"
    "only by a complete new one; an output this batch already wrote, or one that is the\n"
    "input itself, is not replaced.\n"
    "\n"
    "Exit status: 0 when every output was written, 1 when anything failed, 2 for a\n"
    "usage error.\n";

constexpr const char* kVersion = "quorrel-cli 4.3\n";

int usage_error(std::FILE* err, const std::string& what) {
  std::fprintf(err, "quorrel-cli: %s\nTry 'quorrel-cli --help' for more information.\n",
               what.c_str());
  return 2;
}

// Standard output that could not be written is a failure like any other.
int finish_output(std::FILE* out, std::FILE* err, int status) {
  if (std::fflush(out) != 0 || std::ferror(out)) {
    std::fprintf(err, "quorrel-cli: standard output: %s\n", std::strerror(errno));
    return status == 2 ? 2 : 1;
  }
  return status;
}

struct Options {
  bool txt = false, html = false, sxw = false, odt = false;
  std::optional<FormatCode> generation;
  bool generation_given = false;
  bool complete = false;
  readers::ReadOptions read_options;
  batch::InputOptions inputs;
  std::vector<std::string> names;  // files, folders and "-", in the order given
  std::vector<std::string> files_from;
  bool null_separated = false;
  unsigned jobs = 0;  // 0: one per usable processor
  bool quiet = false;
  std::optional<std::string> report;
};

bool parse_jobs(std::string_view text, unsigned& jobs) {
  if (text.empty() || text.size() > 4) return false;
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value == 0) return false;
  jobs = value;
  return true;
}

// The names in a --files-from list: one a line, or each ending with a NUL byte.
bool read_names(const std::string& list, bool null_separated, int standard_input,
                std::vector<std::string>& names, std::string& why) {
  int fd = standard_input;
  if (list != batch::kStandardStream) {
    fd = ::open(list.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      why = std::strerror(errno);
      return false;
    }
  }
  std::string bytes;
  char buffer[1 << 16];
  bool ok = true;
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      why = std::strerror(errno);
      ok = false;
      break;
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  if (fd != standard_input) ::close(fd);
  char separator = null_separated ? '\0' : '\n';
  for (std::size_t start = 0; start < bytes.size();) {
    std::size_t end = bytes.find(separator, start);
    if (end == std::string::npos) end = bytes.size();
    if (end > start) names.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  return ok;
}

enum class Parse { go_on, done, error };

// Takes the value of an option: "--name=value", "-xvalue" or the next argument.
bool option_value(std::string_view arg, std::string_view name, int& i, int argc,
                  const char* const* argv, std::string& value) {
  if (arg.size() > name.size() && arg[name.size()] == '=' && name.starts_with("--")) {
    value = arg.substr(name.size() + 1);
    return true;
  }
  if (arg.size() > name.size() && !name.starts_with("--")) {
    value = arg.substr(name.size());
    return true;
  }
  if (i + 1 >= argc) return false;
  value = argv[++i];
  return true;
}

bool is_option(std::string_view arg, std::string_view name) {
  if (arg == name) return true;
  if (name.starts_with("--")) return arg.starts_with(name) && arg.size() > name.size() &&
                                     arg[name.size()] == '=';
  return arg.starts_with(name) && name.size() == 2;
}

int run(const Options& options, std::FILE* out, std::FILE* err) {
  batch::Request request;
  if (options.txt) request.outputs.push_back(OutputKind::text);
  if (options.html) request.outputs.push_back(OutputKind::html);
  if (options.sxw) request.outputs.push_back(OutputKind::sxw);
  if (options.odt) request.outputs.push_back(OutputKind::odt);
  request.generation = options.generation;
  request.reading = options.complete ? batch::Reading::complete : batch::Reading::exact;
  request.read_options = options.read_options;
  request.standard_input = 0;
  request.standard_output = ::fileno(out);
  const char* tmp = std::getenv("TMPDIR");
  if (tmp != nullptr && *tmp != '\0') request.temporary_folder = tmp;

  batch::Inputs inputs;
  for (const std::string& name : options.names) batch::add_input(name, options.inputs, inputs);
  for (const std::string& list : options.files_from) {
    std::vector<std::string> names;
    std::string why;
    if (!read_names(list, options.null_separated, request.standard_input, names, why)) {
      inputs.problems.push_back({list, "cannot read the list of files: " + why, 0});
    }
    batch::InputOptions direct = options.inputs;
    for (const std::string& name : names) batch::add_input(name, direct, inputs);
  }
  if (!options.inputs.output_folder.empty()) {
    for (batch::InputProblem& problem : batch::create_output_folders(inputs.jobs)) {
      inputs.problems.push_back(std::move(problem));
    }
  }
  request.files = std::move(inputs.jobs);
  request.jobs = options.jobs == 0 ? batch::usable_processors() : options.jobs;

  bool to_standard_output = false;
  for (const batch::FileJob& job : request.files) {
    to_standard_output = to_standard_output || job.output_stem == batch::kStandardStream;
  }

  std::FILE* report = nullptr;
  bool report_to_out = options.report && *options.report == batch::kStandardStream;
  if (options.report && !report_to_out) {
    report = std::fopen(options.report->c_str(), "we");
    if (report == nullptr) {
      std::fprintf(err, "quorrel-cli: %s: cannot write the report: %s\n",
                   cli::shown_name(*options.report).c_str(), std::strerror(errno));
      return 1;
    }
  }
  cli::CliReporter::Settings settings;
  settings.list_outputs = !to_standard_output && !report_to_out;
  settings.report = report_to_out ? out : report;
  settings.reading = options.complete ? "complete" : "exact";
  settings.progress = !options.quiet && ::isatty(::fileno(err));
  cli::CliReporter reporter(out, err, request.files.size(), settings);
  for (const batch::InputProblem& problem : inputs.problems) reporter.input_problem(problem);

  batch::Summary summary = batch::run(request, reporter);
  reporter.finish(summary);

  int status = summary.files_failed > 0 || !inputs.problems.empty() ? 1 : 0;
  if (report != nullptr && (std::fclose(report) != 0)) {
    std::fprintf(err, "quorrel-cli: %s: cannot write the report: %s\n",
                 cli::shown_name(*options.report).c_str(), std::strerror(errno));
    status = 1;
  }
  return status;
}

}  // namespace

int run_cli(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  Options options;
  bool options_ended = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      options.names.emplace_back(arg);
      continue;
    }
    std::string value;
    std::optional<FormatCode> generation;
    bool generation_option = false;
    if (arg == "--") {
      options_ended = true;
    } else if (arg == "-h" || arg == "--help") {
      std::fputs(kUsage, out);
      return finish_output(out, err, 0);
    } else if (arg == "--version") {
      std::fputs(kVersion, out);
      return finish_output(out, err, 0);
    } else if (arg == "--txt") {
      options.txt = true;
    } else if (arg == "--html") {
      options.html = true;
    } else if (arg == "--sxw") {
      options.sxw = true;
    } else if (arg == "--odt") {
      options.odt = true;
    } else if (arg == "--auto") {
      generation_option = true;
    } else if (arg == "--wp") {
      generation_option = true, generation = TYPE_WP;
    } else if (arg == "--w51") {
      generation_option = true, generation = TYPE_W51;
    } else if (arg == "--wpd") {
      generation_option = true, generation = TYPE_WPD;
    } else if (arg == "--complete") {
      options.complete = true;
    } else if (is_option(arg, "--password")) {
      if (!option_value(arg, "--password", i, argc, argv, value)) {
        return usage_error(err, "--password needs a WORD");
      }
      options.read_options.password = value;
      options.read_options.has_password = true;
    } else if (is_option(arg, "--outdir") || is_option(arg, "-o")) {
      if (!option_value(arg, arg.starts_with("--") ? "--outdir" : "-o", i, argc, argv, value) ||
          value.empty()) {
        return usage_error(err, "-o/--outdir needs a folder");
      }
      options.inputs.output_folder = value;
    } else if (arg == "-r" || arg == "--recursive") {
      options.inputs.recursive = true;
    } else if (arg == "--hidden") {
      options.inputs.hidden = true;
    } else if (arg == "--follow") {
      options.inputs.follow_links = true;
    } else if (is_option(arg, "--files-from")) {
      if (!option_value(arg, "--files-from", i, argc, argv, value) || value.empty()) {
        return usage_error(err, "--files-from needs a FILE");
      }
      options.files_from.push_back(value);
    } else if (arg == "-0" || arg == "--null") {
      options.null_separated = true;
    } else if (is_option(arg, "--jobs") || is_option(arg, "-j")) {
      if (!option_value(arg, arg.starts_with("--") ? "--jobs" : "-j", i, argc, argv, value) ||
          !parse_jobs(value, options.jobs)) {
        return usage_error(err, "-j/--jobs needs a number of files from 1 to 9999");
      }
    } else if (arg == "-q" || arg == "--quiet") {
      options.quiet = true;
    } else if (is_option(arg, "--report")) {
      if (!option_value(arg, "--report", i, argc, argv, value) || value.empty()) {
        return usage_error(err, "--report needs a FILE");
      }
      options.report = value;
    } else {
      return usage_error(err, "unknown option '" + cli::shown_name(std::string(arg)) + "'");
    }
    if (generation_option) {
      if (options.generation_given && options.generation != generation) {
        return usage_error(err, "choose only one of --auto, --wp, --w51 and --wpd");
      }
      options.generation_given = true;
      options.generation = generation;
    }
  }
  if (options.names.empty() && options.files_from.empty()) {
    return usage_error(err, "no FILE given");
  }
  if (options.read_options.has_password && !options.complete) {
    return usage_error(err, "--password works with --complete only");
  }
  // The dialog's defaults: Auto Detect, SXW only.
  if (!options.txt && !options.html && !options.sxw && !options.odt) options.sxw = true;

  int standard_inputs = 0;
  for (const std::string& name : options.names) standard_inputs += name == batch::kStandardStream;
  for (const std::string& list : options.files_from) {
    standard_inputs += list == batch::kStandardStream;
  }
  if (standard_inputs > 1) return usage_error(err, "standard input can be read only once");
  bool reads_standard_input = false;
  for (const std::string& name : options.names) {
    reads_standard_input = reads_standard_input || name == batch::kStandardStream;
  }
  if (reads_standard_input) {
    if (options.names.size() > 1 || !options.files_from.empty()) {
      return usage_error(err, "'-' converts standard input alone: give no other FILE");
    }
    if (options.txt + options.html + options.sxw + options.odt != 1) {
      return usage_error(err, "'-' writes one output to standard output: choose one of --txt, "
                              "--html, --sxw and --odt");
    }
    if (options.report && *options.report == batch::kStandardStream) {
      return usage_error(err, "'-' writes the document to standard output: --report - cannot");
    }
  }
  return finish_output(out, err, run(options, out, err));
}

}  // namespace quorrel
