#include "offscreen_app.h"

#include <QApplication>
#include <cstdio>

namespace kd::cli {

std::unique_ptr<QApplication> OffscreenApplication() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's own notes (no runtime folder, no window hints offscreen) are no message of ours.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
  });
  // QApplication keeps references to these for its life.
  static int argc = 1;
  static char program[] = "keydecoder-cli";
  static char* argv[] = {program, nullptr};
  return std::make_unique<QApplication>(argc, argv);
}

}  // namespace kd::cli
