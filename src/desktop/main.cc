// quorrel: the desktop program. One modal dialog; its end value is the exit code. Files named
// on the command line (as a file manager passes them when a document is opened with Quorrel)
// are loaded as if dropped on the dialog; Qt takes its own options, such as -platform, first.
#include <QApplication>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "desktop/desktop_port.h"
#include "io/process.h"

namespace {

// Names stay the bytes they are on disk; relative ones are taken from the current folder.
std::vector<std::string> absolute_paths(int argc, char** argv) {
  std::vector<std::string> paths;
  std::error_code unknown;
  std::string here = std::filesystem::current_path(unknown).native();
  for (int i = 1; i < argc; ++i) {
    std::string path = argv[i];
    if (path.empty()) continue;
    paths.push_back(path[0] == '/' || here.empty() ? path : here + "/" + path);
  }
  return paths;
}

}  // namespace

int main(int argc, char** argv) {
  quorrel::set_up_process();
  QApplication application(argc, argv);  // removes the options Qt understands
  quorrel::BatchState batch;
  quorrel::DesktopPort port(batch);
  return port.run(absolute_paths(argc, argv));
}
