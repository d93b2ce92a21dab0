#include "application.h"

#include <QFile>
#include <QFontDatabase>
#include <QMessageBox>
#include <exception>

namespace kd {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("keydecoder"));
  setApplicationVersion(QStringLiteral(KD_VERSION));
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ShowException(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    ShowException(QStringLiteral("Неизвестная ошибка"));
  }
  return false;
}

void Application::ShowException(const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok);
  box.exec();
}

void ApplySkin(QApplication& app) {
  // The report grids are laid out for Tahoma; where Windows' own is missing, Wine's metric
  // look-alike (Debian's fonts-wine) stands in.
  for (const char* font : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
    if (QFile::exists(QString::fromLatin1(font))) QFontDatabase::addApplicationFont(QString::fromLatin1(font));
  }
  QFile sheet(QStringLiteral(":/skin/skin.qss"));
  if (sheet.open(QIODevice::ReadOnly)) app.setStyleSheet(QString::fromUtf8(sheet.readAll()));
}

Windows CreateWindows(Dialogs& dialogs, QDate today) {
  Windows windows;
  windows.Form_Main = std::make_unique<TForm_Main>(dialogs);
  windows.Form_Dat1 = std::make_unique<TForm_Dat1>(windows.Form_Main->KeyImage, dialogs, today);
  windows.Form_Dat2 = std::make_unique<TForm_Dat2>(windows.Form_Main->KeyImage, dialogs);
  TForm_Main* main = windows.Form_Main.get();
  main->SetReportWindows(windows.Form_Dat1.get(), windows.Form_Dat2.get());
  for (ReportWindow* report : std::initializer_list<ReportWindow*>{windows.Form_Dat1.get(), windows.Form_Dat2.get()}) {
    report->CenterOnScreen();
    QObject::connect(report, &ReportWindow::Closed, main, &QWidget::show);
  }
  return windows;
}

}  // namespace kd
