// Start-up of keydecoder up to its main window on screen, then exit: run it under
// `/usr/bin/time -f "%e s %M KB"` (see bench/README.md) to measure the whole process.
//
// To look at the skin: "--grab DIR" also saves pictures of the windows into DIR, with
// "--image FILE.512" loaded first for the two reports.
#include <QPixmap>
#include <QStringList>
#include <QTimer>

#include "app/application.h"
#include "image/image_file.h"
#include "ui/qt_path.h"

namespace {

QString ArgumentAfter(const QStringList& args, const char* name) {
  const qsizetype at = args.indexOf(QString::fromLatin1(name));
  return at > 0 && at + 1 < args.size() ? args[at + 1] : QString();
}

}  // namespace

int main(int argc, char** argv) {
  kd::Application app(argc, argv);
  kd::ApplySkin(app);
  kd::QtDialogs dialogs;
  kd::Windows windows = kd::CreateWindows(dialogs);
  windows.mainWindow->show();
  const QStringList args = QCoreApplication::arguments();
  const QString grab = ArgumentAfter(args, "--grab");
  const QString image = ArgumentAfter(args, "--image");
  // Queued behind the show's expose and paint events.
  QTimer::singleShot(0, &app, [&] {
    if (!grab.isEmpty()) {
      windows.mainWindow->SetOuterHeight(kd::MainWindow::FullHeight);
      windows.mainWindow->grab().save(grab + QStringLiteral("/main.png"));
      if (auto loaded = kd::ReadImageFile(kd::ToPath(image))) windows.session->Replace(*loaded, kd::KeySource::File(image.toStdString()));
      for (kd::ReportWindow* report : {static_cast<kd::ReportWindow*>(windows.data1Window.get()),
                                       static_cast<kd::ReportWindow*>(windows.data2Window.get())}) {
        report->show();
        report->grab().save(grab + QLatin1Char('/') + report->objectName() + QStringLiteral(".png"));
        report->hide();
      }
    }
    QCoreApplication::quit();
  });
  return app.exec();
}
