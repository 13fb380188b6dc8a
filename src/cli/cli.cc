#include "cli/cli.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_port.h"
#include "shell/batch_state.h"
#include "shell/controls.h"
#include "shell/driver.h"
#include "shell/messages.h"

namespace quorrel {

namespace {

constexpr const char* kUsage =
    "Usage: quorrel-cli [--txt] [--html] [--sxw] [--auto|--wp|--w51|--wpd] FILE...\n"
    "Convert old WordPerfect documents (and anything else, read as plain text).\n"
    "\n"
    "Outputs (any combination; default --sxw):\n"
    "  --txt    plain text, written beside the input as FILE.txt\n"
    "  --html   HTML, written beside the input as FILE.html\n"
    "  --sxw    OpenOffice.org 1.0 Writer document, an .sxw archive written beside\n"
    "           the input (report.wpd gives report.sxw)\n"
    "\n"
    "Input generation (one; default --auto):\n"
    "  --auto   detect each file's generation\n"
    "  --wp     read as ancient WordPerfect\n"
    "  --w51    read as WordPerfect 5.1\n"
    "  --wpd    read as WordPerfect 6, 7, 8 or 9\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "  --         end of options; every later argument is a FILE\n"
    "\n"
    "FILEs are converted in the order given, each output kind in the order text, HTML,\n"
    "SXW. Each output started is printed on standard output; each problem is printed on\n"
    "standard error as 'FILE: caption message'. Existing outputs are replaced only by\n"
    "complete new ones.\n"
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
  int generation = 0;  // a radio control id, 0 when none was given
  std::vector<std::string> files;
};

}  // namespace

static int convert_arguments(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
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

  CliPort port(out, err);
  port.set_checked(ID_TXT_CHECK, options.txt);
  port.set_checked(ID_HTML_CHECK, options.html);
  port.set_checked(ID_XML_CHECK, options.sxw);
  port.set_checked(options.generation, true);

  OutputsWritten written;  // one run: no input replaces another's output
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
    convert_selected(batch, port, written);
  }
  return port.any_message_shown() ? 1 : 0;
}

int run_cli(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  int status = convert_arguments(argc, argv, out, err);
  // Lines that never reached standard output (a full disk, a closed descriptor) are a failure
  // like any other, help and version included.
  errno = 0;
  if (std::fflush(out) != 0 || std::ferror(out)) {
    int error = errno;
    std::fprintf(err, "quorrel-cli: cannot write to standard output%s%s\n", error ? ": " : "",
                 error ? std::strerror(error) : "");
    return status == 0 ? 1 : status;
  }
  return status;
}

}  // namespace quorrel
