#include "application.h"

#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
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

bool InstallTranslations(QApplication& app) {
  auto* translator = new QTranslator(&app);
  const QString folders[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                             QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
  for (const QString& folder : folders) {
    for (const QString& name : {QStringLiteral("qtbase_ru"), QStringLiteral("qt_ru")}) {
      if (translator->load(name, folder)) return app.installTranslator(translator);
    }
  }
  delete translator;
  return false;
}

Windows CreateWindows(Dialogs& dialogs, QDate today) {
  Windows windows;
  windows.session = std::make_unique<KeySession>();
  windows.mainWindow = std::make_unique<MainWindow>(*windows.session, dialogs);
  windows.data1Window = std::make_unique<Data1Window>(*windows.session, dialogs, today);
  windows.data2Window = std::make_unique<Data2Window>(*windows.session, dialogs);
  // The printed event log names the crane as the user typed it in Data 1.
  windows.data2Window->SetCraneNameSource(
      [data1 = windows.data1Window.get()] { return Data1Value(data1->Table(), Data1Row::kCraneName); });
  MainWindow* main = windows.mainWindow.get();
  main->SetReportWindows(windows.data1Window.get(), windows.data2Window.get());
  for (ReportWindow* report : std::initializer_list<ReportWindow*>{windows.data1Window.get(), windows.data2Window.get()}) {
    report->CenterOnScreen();
    QObject::connect(report, &ReportWindow::Closed, main, &QWidget::show);
  }
  windows.eventChartWindow = std::make_unique<EventChartWindow>(*windows.session, dialogs);
  windows.spectrumChartWindow = std::make_unique<SpectrumChartWindow>(*windows.session, dialogs);
  EventChartWindow* events = windows.eventChartWindow.get();
  SpectrumChartWindow* spectrum = windows.spectrumChartWindow.get();
  events->CenterOnScreen();
  spectrum->CenterOnScreen();
  Data2Window* data2 = windows.data2Window.get();
  QObject::connect(data2->loadChartAction, &QAction::triggered, events, &EventChartWindow::ShowChart);
  QObject::connect(windows.data1Window->spectrumChartAction, &QAction::triggered, spectrum,
                   &SpectrumChartWindow::ShowChart);
  // A clicked point brings its record to the top of the Data 2 window.
  QObject::connect(events, &EventChartWindow::RecordChosen, data2, [data2](int block) {
    data2->GoToBlock(block);
    if (data2->isVisible()) data2->raise();
  });
  return windows;
}

void StartUp(Windows& windows, const QStringList& arguments) {
  windows.mainWindow->show();
  const QStringList files = arguments.mid(1);
  if (!files.isEmpty()) windows.mainWindow->OpenImageFiles(files);
}

}  // namespace kd
