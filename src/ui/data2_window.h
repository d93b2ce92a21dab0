#pragma once

#include "report_window.h"

class QAction;

namespace kd {

// The Data 2 window: the key's event log, decoded afresh from the image at every show.
class TForm_Dat2 : public ReportWindow {
  Q_OBJECT
 public:
  static constexpr QSize kClientSize{658, 390};
  static constexpr QSize kGridSize{641, 341};
  // Each column as wide as its widest text plus this.
  static constexpr int kColumnPadding = 10;

  TForm_Dat2(const KeyImage& image, Dialogs& dialogs);

  QAction* N2;  // "Закончить"

  // Rebuilds the table from the image, sizes the columns and fits the window's width.
  void FormShow();
  void N2Click();

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace kd
