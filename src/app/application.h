#pragma once

#include <QApplication>
#include <memory>

#include "ui/main_window.h"
#include "ui/data1_window.h"
#include "ui/data2_window.h"

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

// The program's three windows, created in this order and kept for the whole run.
struct Windows {
  std::unique_ptr<TForm_Main> Form_Main;
  std::unique_ptr<TForm_Dat1> Form_Dat1;
  std::unique_ptr<TForm_Dat2> Form_Dat2;
};

// Creates the windows hidden and wires them together; the caller shows Form_Main. `today` is the
// start-up date that the Data 1 report shows.
Windows CreateWindows(Dialogs& dialogs, QDate today = QDate::currentDate());

}  // namespace kd
