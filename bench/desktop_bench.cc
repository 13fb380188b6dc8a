// The desktop program's batch against the command line's on the same documents:
//   quorrel-desktop-bench COUNT CLI
// writes COUNT documents of about 20 KB (a quarter of each generation) into two fresh folders,
// converts one through the dialog (offscreen, files opened as at start-up, Convert clicked,
// every output kind) and the other with quorrel-cli beside it, and prints both times. Each
// program writes its outputs beside its own copy of the inputs, as the dialog does.
#include <QAbstractButton>
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "batch_documents.h"
#include "desktop/desktop_port.h"
#include "shell/controls.h"

namespace {

using namespace quorrel;
using Clock = std::chrono::steady_clock;

class QuietPort : public DesktopPort {
 public:
  using DesktopPort::DesktopPort;
  void message_box(std::string_view text, std::string_view) override {
    std::fprintf(stderr, "message: %.*s\n", static_cast<int>(text.size()), text.data());
  }
};

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "Usage: quorrel-desktop-bench COUNT CLI\n");
    return 2;
  }
  const int count = std::atoi(argv[1]);
  const std::string cli = argv[2];
  const std::string work = std::filesystem::temp_directory_path() / "quorrel-desktop-bench";
  std::filesystem::remove_all(work);
  std::vector<std::string> dialog_files = make_batch_documents(work + "/dialog", count);
  make_batch_documents(work + "/cli", count);

  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  BatchState batch;
  QuietPort port(batch);
  port.initialize();
  port.dialog().show();
  for (int id : {ID_TXT_CHECK, ID_HTML_CHECK, ID_XML_CHECK}) port.set_checked(id, true);
  port.open_files(dialog_files);
  auto start = Clock::now();
  qobject_cast<QAbstractButton*>(port.dialog().control(ID_CONVERT))->click();
  const double dialog_seconds = seconds_since(start);

  std::string command = "'" + cli + "' -q --txt --html --sxw '" + work + "/cli' -r >/dev/null";
  start = Clock::now();
  const int status = std::system(command.c_str());
  const double cli_seconds = seconds_since(start);
  // Both wrote every output: the inputs and three outputs for each.
  auto files_in = [](const std::string& folder) {
    auto entries = std::filesystem::directory_iterator(folder);
    return std::distance(begin(entries), end(entries));
  };
  const long dialog_written = files_in(work + "/dialog") - count;
  const long cli_written = files_in(work + "/cli") - count;
  std::filesystem::remove_all(work);
  if (status != 0 || dialog_written != 3L * count || cli_written != 3L * count) {
    std::fprintf(stderr, "not every output was written: dialog %ld, command line %ld\n",
                 dialog_written, cli_written);
    return 1;
  }
  std::printf("%d files, every output: dialog %.2f s, command line %.2f s, ratio %.2f\n", count,
              dialog_seconds, cli_seconds, dialog_seconds / cli_seconds);
  return 0;
}
