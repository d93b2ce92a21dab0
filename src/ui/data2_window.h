#pragma once

#include "report_window.h"

class QAction;
class QMenu;

namespace kd {

// The Data 2 window: the key's event log, decoded afresh from the image at every show.
class Data2Window : public ReportWindow {
  Q_OBJECT
 public:
  static constexpr QSize kClientSize{658, 390};
  static constexpr QSize kGridSize{641, 341};
  // Each column as wide as its widest text plus this.
  static constexpr int kColumnPadding = 10;

  Data2Window(const KeySession& session, Dialogs& dialogs);

  QAction* finishAction;  // "N2": "Закончить"
  QMenu* chartMenu;          // "График"
  QAction* loadChartAction;  // "Нагрузка по блокам..."

  // Rebuilds the table from the image, sizes the columns and fits the window's width.
  void Refill();
  // Closes the window exactly as the caption bar's close button does.
  void Finish();
  // Scrolls so that the record is at the top under the header.
  void GoToBlock(int block);

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace kd
