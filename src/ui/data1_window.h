#pragma once

#include <QDate>

#include "report_window.h"

class QAction;
class QMenu;

namespace kd {

// The Data 1 window: the key's passport and load statistics. Each show fills the table afresh
// from the image; the crane name and the signature are the user's and stay until the program ends.
class TForm_Dat1 : public ReportWindow {
  Q_OBJECT
 public:
  static constexpr QSize kClientSize{421, 390};
  static constexpr QSize kGridSize{402, 341};
  static constexpr int kColumnWidths[] = {256, 142};

  // `start_date` is the day the program started, shown in the date row.
  TForm_Dat1(const KeyImage& image, Dialogs& dialogs, QDate start_date);

  QMenu* N1;    // "Дополнительно"
  QAction* N3;  // edits the crane name
  QAction* N4;  // edits the signature
  QAction* N6;  // separator
  QAction* N7;  // "Закончить"

 public Q_SLOTS:
  void FormShow();
  void N3Click();
  void N4Click();
  void N7Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void EditRow(int row);
};

}  // namespace kd
