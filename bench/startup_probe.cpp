// Start-up of keydecoder up to its main window on screen, then exit: run it under
// `/usr/bin/time -f "%e s %M KB"` (see bench/README.md) to measure the whole process.
#include <QPixmap>
#include <QStringList>
#include <QTimer>

#include "app/application.h"

int main(int argc, char** argv) {
  kd::Application app(argc, argv);
  kd::ApplySkin(app);
  kd::QtDialogs dialogs;
  kd::Windows windows = kd::CreateWindows(dialogs);
  windows.Form_Main->show();
  // Queued behind the show's expose and paint events.
  // With "--grab FILE.png" it also saves a picture of the window, to look at the skin.
  const QStringList args = QCoreApplication::arguments();
  const qsizetype grab = args.indexOf(QStringLiteral("--grab"));
  QTimer::singleShot(0, &app, [&] {
    if (grab > 0 && grab + 1 < args.size()) windows.Form_Main->grab().save(args[grab + 1]);
    QCoreApplication::quit();
  });
  return app.exec();
}
