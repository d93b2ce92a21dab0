#pragma once

#include <QDate>

#include "report_window.h"
#include "reports/data1.h"

class QAction;
class QMenu;

namespace kd {

// The Data 1 window: the key's passport and load statistics. Each show fills the table afresh
// from the image; the crane name and the signature are the user's and stay until the program ends.
class Data1Window : public ReportWindow {
  Q_OBJECT
 public:
  static constexpr QSize kClientSize{421, 390};
  static constexpr QSize kGridSize{402, 341};
  static constexpr int kColumnWidths[] = {256, 142};

  // `start_date` is the day the program started, shown in the date row.
  Data1Window(const KeySession& session, Dialogs& dialogs, QDate start_date);

  QMenu* extraMenu;              // "N1": "Дополнительно"
  QAction* editCraneNameAction;  // "N3"
  QAction* editSignatureAction;  // "N4"
  QAction* finishSeparator;      // "N6"
  QAction* finishAction;         // "N7": "Закончить"
  QMenu* chartMenu;               // "График"
  QAction* spectrumChartAction;   // "Спектр нагружения..."

 public Q_SLOTS:
  // Fills the table from the session's image, or says the image is not one.
  void Refill() override;
  void EditCraneName();
  void EditSignature();

 protected:
  ReportHeading PrintedHeading(std::string print_date) const override;

 private:
  void EditRow(Data1Row row);
};

}  // namespace kd
