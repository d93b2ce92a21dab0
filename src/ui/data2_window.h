#pragma once

#include <functional>
#include <string>

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

  QAction* goToBlockAction;  // "Перейти к блоку...", Ctrl+G
  QAction* finishAction;     // "N2": "Закончить"
  QMenu* chartMenu;          // "График"
  QAction* loadChartAction;  // "Нагрузка по блокам..."

  // Rebuilds the table from the image, sizes the columns and fits the window's width.
  void Refill() override;
  // Brings the record of that block to the top, or the last one for a block past it.
  void GoToBlock(int block);
  // Asks for a block number and goes there.
  void AskForBlock();
  // Where the printed log takes the crane's name from: the name typed in Data 1.
  void SetCraneNameSource(std::function<std::string()> source) { crane_name_ = std::move(source); }

 protected:
  ReportHeading PrintedHeading(std::string print_date) const override;

 private:
  std::function<std::string()> crane_name_;
};

}  // namespace kd
