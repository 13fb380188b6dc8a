// quorrel-screenshot PNG: renders the main dialog as it looks at start-up into an image file,
// without a display.
#include <QApplication>
#include <QPixmap>
#include <cstdio>

#include "desktop/desktop_port.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quorrel-screenshot FILE.png\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  quorrel::BatchState batch;
  quorrel::DesktopPort port(batch);
  port.initialize();
  if (!port.dialog().grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "quorrel-screenshot: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
