#pragma once

#include <QApplication>
#include <memory>

#include "image/key_session.h"
#include "ui/data1_window.h"
#include "ui/data2_window.h"
#include "ui/event_chart_window.h"
#include "ui/main_window.h"
#include "ui/spectrum_chart_window.h"

namespace kd {

// The application object: an exception that escapes an event handler is shown in a message box
// with its text, and the program goes on with the next event.
class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
  static void ShowException(const QString& text);
};

// Loads the skin's style sheet and fonts into the application; every window wears it.
void ApplySkin(QApplication& app);

// Makes Qt's own texts (file dialogs, standard buttons) Russian like the program's: Qt's Russian
// catalogue from Qt's folder, or from "translations" beside the program where it is bundled. Call
// before any window is created. False when no catalogue was found (Qt then speaks English).
bool InstallTranslations(QApplication& app);

// The key session and the program's three windows, created in this order and kept for the whole
// run; the session outlives the windows that read it.
struct Windows {
  std::unique_ptr<KeySession> session;
  std::unique_ptr<MainWindow> mainWindow;
  std::unique_ptr<Data1Window> data1Window;
  std::unique_ptr<Data2Window> data2Window;
  // Opened from the report windows' "График" menus.
  std::unique_ptr<EventChartWindow> eventChartWindow;
  std::unique_ptr<SpectrumChartWindow> spectrumChartWindow;
};

// Creates the session and the windows hidden and wires them together; the caller shows the main
// window. `today` is the start-up date that the Data 1 report shows.
Windows CreateWindows(Dialogs& dialogs, QDate today = QDate::currentDate());

// Shows the main window and opens the image files named on the command line (`arguments` as
// QCoreApplication::arguments() gives them, the program first), as "Файл" and "Считать" would.
void StartUp(Windows& windows, const QStringList& arguments);

}  // namespace kd
