#include <cstdio>
#include <cstdlib>
#include <exception>

#include "application.h"

namespace {

// Qt aborts without a word when it finds no display; say it in one line instead.
bool HasDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
#else
  return true;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (!HasDisplay()) {
    std::fputs("keydecoder: нет дисплея (не задан DISPLAY): программе нужен графический сеанс\n", stderr);
    return 1;
  }
  kd::Application app(argc, argv);
  try {
    kd::ApplySkin(app);
    kd::InstallTranslations(app);
    kd::QtDialogs dialogs;
    kd::Windows windows = kd::CreateWindows(dialogs);
    kd::StartUp(windows, app.arguments());
    return app.exec();
  } catch (const std::exception& e) {
    kd::Application::ShowException(QString::fromLocal8Bit(e.what()));
  }
  return 0;
}
