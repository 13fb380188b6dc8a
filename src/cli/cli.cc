#include "cli/cli.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_port.h"
#include "shell/batch_state.h"
#include "shell/complete_conversion.h"
#include "shell/controls.h"
#include "shell/driver.h"
#include "shell/messages.h"

namespace quorrel {

namespace {

constexpr const char* kUsage =
    "Usage: quorrel-cli [--complete [--password WORD]] [--txt] [--html] [--sxw]\n"
    "                   [--auto|--wp|--w51|--wpd] FILE...\n"
    "Convert old WordPerfect documents (and anything else, read as plain text).\n"
    "\n"
    "Reading (default: the exact reading):\n"
    "  --complete       read each document by its structure into Unicode: all of its\n"
    "                   text (notes, headers, comments, tables), every character, and\n"
    "                   paragraphs, attributes and tables in the outputs; outputs are\n"
    "                   UTF-8 with LF line ends\n"
    "  --password WORD  with --complete: decrypt password-protected WordPerfect 4.2\n"
    "                   and 5.x documents\n"
    "\n"
    "Outputs (any combination; default --sxw):\n"
    "  --txt    plain text, written beside the input as FILE.txt\n"
    "  --html   HTML, written beside the input as FILE.html\n"
    "  --sxw    OpenOffice.org 1.0 Writer document; content.xml is written in the\n"
    "           current directory and packed into an .sxw archive beside the input\n"
    "\n"
    "Input generation (one; default --auto):\n"
    "  --auto   detect each file's generation\n"
    "  --wp     read as ancient WordPerfect (with --complete: 4.2 and earlier)\n"
    "  --w51    read as WordPerfect 5.1 (with --complete: 5.0 to 5.2)\n"
    "  --wpd    read as WordPerfect 6, 7, 8 or 9 (with --complete: 6.0 and later)\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "  --         end of options; every later argument is a FILE\n"
    "\n"
    "FILEs are converted in the order given, each output kind in the order text, HTML,\n"
    "SXW. Each output started is printed on standard output; each problem is printed on\n"
    "standard error as 'FILE: caption message'. With --complete, each output written is\n"
    "printed with its path, and a document that is password protected, damaged or\n"
    "unreadable is reported on standard error ('FILE: message'); a damaged document's\n"
    "outputs hold what could be read. Existing outputs are replaced only by complete new\n"
    "ones.\n"
    "\n"
    "Exit status: 0 when every conversion succeeded, 1 when any reported a problem,\n"
    "2 for a usage error.\n";

constexpr const char* kVersion = "quorrel-cli 4.3\n";

int usage_error(std::FILE* err, const std::string& what) {
  std::fprintf(err, "quorrel-cli: %s\nTry 'quorrel-cli --help' for more information.\n",
               what.c_str());
  return 2;
}

struct Options {
  bool txt = false, html = false, sxw = false;
  bool complete = false;
  readers::ReadOptions read_options;
  int generation = 0;  // a radio control id, 0 when none was given
  std::vector<std::string> files;
};

std::optional<readers::Generation> forced_generation(int radio) {
  switch (radio) {
    case ID_WP_RAD:
      return readers::Generation::wp42;
    case ID_W51_RAD:
      return readers::Generation::wp5;
    case ID_WPD_RAD:
      return readers::Generation::wp6;
    default:
      return std::nullopt;
  }
}

int run_complete(const Options& options, std::FILE* out, std::FILE* err) {
  CompleteRequest request;
  if (options.txt) request.outputs.push_back(OutputKind::text);
  if (options.html) request.outputs.push_back(OutputKind::html);
  if (options.sxw) request.outputs.push_back(OutputKind::sxw);
  request.generation = forced_generation(options.generation);
  request.read_options = options.read_options;
  bool any_problem = false;
  for (const std::string& file : options.files) {
    request.input_path = file;
    CompleteResult result = convert_complete(request);
    for (const CompleteOutput& output : result.outputs) {
      if (output.written) {
        std::fprintf(out, "%s\n", output.path.c_str());
      } else if (output.failure != result.problem) {
        std::fprintf(err, "%s: %s\n", output.path.c_str(), output.failure.c_str());
        any_problem = true;
      }
    }
    if (!result.problem.empty()) {
      std::fprintf(err, "%s: %s\n", file.c_str(), result.problem.c_str());
      any_problem = true;
    }
    std::fflush(out);
    std::fflush(err);
  }
  return any_problem ? 1 : 0;
}

}  // namespace

int run_cli(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  Options options;
  bool options_ended = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      options.files.emplace_back(arg);
      continue;
    }
    int generation = 0;
    if (arg == "--") {
      options_ended = true;
    } else if (arg == "--help") {
      std::fputs(kUsage, out);
      return 0;
    } else if (arg == "--version") {
      std::fputs(kVersion, out);
      return 0;
    } else if (arg == "--complete") {
      options.complete = true;
    } else if (arg == "--password" || arg.starts_with("--password=")) {
      if (arg == "--password") {
        if (++i == argc) return usage_error(err, "--password needs a WORD");
        options.read_options.password = argv[i];
      } else {
        options.read_options.password = std::string(arg.substr(std::string_view("--password=").size()));
      }
      options.read_options.has_password = true;
    } else if (arg == "--txt") {
      options.txt = true;
    } else if (arg == "--html") {
      options.html = true;
    } else if (arg == "--sxw") {
      options.sxw = true;
    } else if (arg == "--auto") {
      generation = ID_AUTO_RAD;
    } else if (arg == "--wp") {
      generation = ID_WP_RAD;
    } else if (arg == "--w51") {
      generation = ID_W51_RAD;
    } else if (arg == "--wpd") {
      generation = ID_WPD_RAD;
    } else {
      return usage_error(err, "unknown option '" + std::string(arg) + "'");
    }
    if (generation != 0) {
      if (options.generation != 0 && options.generation != generation) {
        return usage_error(err, "choose only one of --auto, --wp, --w51 and --wpd");
      }
      options.generation = generation;
    }
  }
  if (options.files.empty()) return usage_error(err, "no FILE given");
  // The dialog's defaults: Auto Detect, SXW only.
  if (!options.txt && !options.html && !options.sxw) options.sxw = true;
  if (options.generation == 0) options.generation = ID_AUTO_RAD;
  if (options.read_options.has_password && !options.complete) {
    return usage_error(err, "--password works with --complete only");
  }
  if (options.complete) return run_complete(options, out, err);

  CliPort port(out, err);
  port.set_checked(ID_TXT_CHECK, options.txt);
  port.set_checked(ID_HTML_CHECK, options.html);
  port.set_checked(ID_XML_CHECK, options.sxw);
  port.set_checked(options.generation, true);

  for (const std::string& file : options.files) {
    port.set_current_input(file);
    if (file.find('\r') != std::string::npos) {
      port.message_box(kCarriageReturnInName, kFileIoErrorCaption);
      continue;
    }
    // Each file is a one-file batch: its folder, and its name as the whole list.
    BatchState batch;
    std::size_t slash = file.rfind(kPathSeparator);
    if (slash == std::string::npos) {
      batch.filepath = ".";
      batch.filelist = file;
    } else {
      batch.filepath = file.substr(0, slash);
      batch.filelist = file.substr(slash + 1);
    }
    // A path ending in a separator names a folder: an empty list would convert nothing and
    // report nothing.
    if (batch.filelist.empty()) {
      port.message_box(kUnableToOpenFiles, kFileIoErrorCaption);
      continue;
    }
    batch.filelist += "\r\n";
    batch.fileflag = 1;
    DlgConvertSelected(batch, port);
  }
  return port.any_message_shown() ? 1 : 0;
}

}  // namespace quorrel
