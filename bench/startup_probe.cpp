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
  windows.Form_Main->show();
  const QStringList args = QCoreApplication::arguments();
  const QString grab = ArgumentAfter(args, "--grab");
  const QString image = ArgumentAfter(args, "--image");
  // Queued behind the show's expose and paint events.
  QTimer::singleShot(0, &app, [&] {
    if (!grab.isEmpty()) {
      windows.Form_Main->SetOuterHeight(kd::TForm_Main::FullHeight);
      windows.Form_Main->grab().save(grab + QStringLiteral("/main.png"));
      if (auto loaded = kd::ReadImageFile(kd::ToPath(image))) windows.Form_Main->KeyImage = *loaded;
      for (kd::ReportWindow* report : {static_cast<kd::ReportWindow*>(windows.Form_Dat1.get()),
                                       static_cast<kd::ReportWindow*>(windows.Form_Dat2.get())}) {
        report->show();
        report->grab().save(grab + QLatin1Char('/') + report->objectName() + QStringLiteral(".png"));
        report->hide();
      }
    }
    QCoreApplication::quit();
  });
  return app.exec();
}
