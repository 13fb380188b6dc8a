// quorrel: the desktop program. One modal dialog; its end value is the exit code. The command
// line is not used (Qt reads its own options, such as -platform, from it).
#include <QApplication>

#include "desktop/desktop_port.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  quorrel::BatchState batch;
  quorrel::DesktopPort port(batch);
  return port.run();
}
