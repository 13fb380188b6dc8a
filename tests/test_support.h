// Shared helpers for the tests: a fake dialog, a scratch folder, byte strings.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "convert/converter.h"
#include "output/sxw_package.h"
#include "shell/port.h"

namespace quorrel::testing {

// A dialog kept in maps; records every message box instead of showing it.
class FakePort : public Port {
 public:
  struct Message {
    std::string text, caption;
    bool operator==(const Message&) const = default;
  };

  void set_control_text(int id, std::string_view text) override { texts[id] = text; }
  std::string control_text(int id, std::size_t max_length) override {
    return texts[id].substr(0, max_length);
  }
  bool is_checked(int id) override { return checked[id]; }
  void message_box(std::string_view text, std::string_view caption) override {
    messages.push_back({std::string(text), std::string(caption)});
  }

  // The main dialog's operations: a drop switch, the end value, and a chooser that returns
  // `chosen` and records what it was asked.
  struct ChooserRequest {
    std::string title, filter_label, filter_pattern;
    bool operator==(const ChooserRequest&) const = default;
  };
  void set_checked(int id, bool value) override { checked[id] = value; }
  void check_radio_button(int first, int last, int id) override {
    for (int button = first; button <= last; ++button) checked[button] = button == id;
  }
  void accept_dropped_files(bool accept) override { drops_accepted = accept; }
  void end_dialog(int result) override { end_value = result; }
  std::vector<std::string> choose_files(std::string_view title, std::string_view filter_label,
                                        std::string_view filter_pattern) override {
    chooser_requests.push_back(
        {std::string(title), std::string(filter_label), std::string(filter_pattern)});
    return chosen;
  }

  std::map<int, std::string> texts;
  std::map<int, bool> checked;
  std::vector<Message> messages;
  bool drops_accepted = false;
  std::optional<int> end_value;
  std::vector<std::string> chosen;
  std::vector<ChooserRequest> chooser_requests;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Makes `folder` the current directory until destroyed.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::filesystem::path& folder);
  ~CurrentDirectory();

 private:
  std::filesystem::path previous_;
};

std::string bytes(std::initializer_list<int> values);
// Runs a prefix-checking converter on a document area behind the shortest WordPerfect prefix
// (the area starts at byte 6); a failed prefix check is a test failure.
std::string convert_area(const ConverterSpec& converter, const std::string& area,
                         std::string_view title = "t");
// The output of the WordPerfect 6-9 converter of `kind` for a document area behind a minimal
// prefix, with `title` as the input's name.
std::string convert_wpd_area(OutputKind kind, const std::string& area,
                             std::string_view title = "t.wpd");
void write_file(const std::string& path, const std::string& content);
std::string read_file(const std::string& path);
bool exists(const std::string& path);
// A file of the project's own source tree, by its path from the top.
std::string source_file(const std::string& relative);
// The path of a document of the shared corpus, or "" when the corpus is not present.
std::string corpus_file(const std::string& name);
// The path of a file of expected output bytes in tests/golden/.
std::string golden_file(const std::string& name);
// Names in the folder, sorted.
std::vector<std::string> list_folder(const std::filesystem::path& folder);

// One member of a ZIP archive.
struct Member {
  std::string name;
  std::string bytes;
  bool stored;
  bool operator==(const Member&) const = default;
};
// Every member of the archive, in the order stored; a test failure when it is no archive.
std::vector<Member> members_of(const std::string& path);
// The bytes of the member content.xml, or "" when there is none.
std::string content_of(const std::string& archive_path);

// An OpenDocument Text package's parts, read as an office suite expects the package: the
// member "mimetype" first in the file, stored, naming ODF text, then META-INF/manifest.xml,
// content.xml, styles.xml and meta.xml. `problem` says what is not so; empty when all is.
struct OdtPackage {
  std::string content, styles, meta;
  std::string problem;
};
OdtPackage read_odt_package(const std::string& path);

// The command line run in this process, with its standard output and error.
struct CliRun {
  int status;
  std::string out, err;
};
CliRun run_cli_here(std::vector<std::string> args);

// What a child process runs under.
struct ChildLimits {
  std::uint64_t file_size = 0;  // RLIMIT_FSIZE when not 0: writes beyond fail as on a full disk
  bool unprivileged = false;    // drops root to the user nobody, so that permissions apply
  bool no_threads = false;      // no thread or process can be started (with unprivileged as root)
  bool close_standard_output = false;
  // With file_size: the signal a write beyond the limit sends keeps its default action (the
  // process is killed) unless the program itself ignores it.
  bool default_file_size_signal = false;
};

struct ChildResult {
  int exit_status = -1;  // -1 when the child did not exit on its own
  int signal = 0;        // the signal that ended it
  long max_rss_kb = 0;   // its peak resident memory
};

// The exit status a child gives when it could not take on the limits asked for.
inline constexpr int kLimitsRefused = 125;

// Runs `body` in a forked child under `limits`; its return value is the child's exit status.
ChildResult run_in_child(const std::function<int()>& body, ChildLimits limits = {});
// Runs a program with these arguments (no shell, so no name needs quoting) and waits for it.
ChildResult run_program(const std::vector<std::string>& args, ChildLimits limits = {});
// The command-line program of this build.
std::string cli_program();
// The path of an executable named `name` on the PATH, or "" when there is none.
std::string find_program(const std::string& name);
// The text without any white space. An office suite may show a span's end tag on a line of
// its own as a blank ("here ," for "here,"), which changes where words split but loses nothing.
std::string letters_of(std::string_view text);

}  // namespace quorrel::testing
