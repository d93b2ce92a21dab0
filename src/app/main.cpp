#include <cstdio>
#include <cstdlib>
#include <cstring>
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
  // Answered without a window, so also where there is no display.
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs("Использование: keydecoder [ФАЙЛ.512] | --help | --version\n"
               "Расшифровка ключа ограничителя нагрузки крана в окне: чтение ключа через УСИ или из файла .512,\n"
               "отчеты \"Данные 1\" и \"Данные 2\". ФАЙЛ.512 открывается при запуске, как \"Файл\" и \"Считать\".\n"
               "Без окна: keydecoder-cli --help.\n",
               stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("keydecoder %s\n", KD_VERSION);
    return 0;
  }
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
