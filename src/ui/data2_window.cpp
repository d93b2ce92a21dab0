#include "data2_window.h"

#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QShowEvent>

#include "report_grid.h"
#include "reports/data2.h"

namespace kd {

TForm_Dat2::TForm_Dat2(const KeyImage& image, Dialogs& dialogs)
    : ReportWindow(QStringLiteral(" Данные 2"), kClientSize, kGridSize, MakeData2Table(), image, dialogs, 2) {
  setObjectName("Form_Dat2");

  QMenu* report = MenuBar()->addMenu(QStringLiteral("Отчет N2"));
  report->setObjectName("N1");
  const auto exports = AddExportItems(report);
  const char* const names[] = {"N4", "Word1", "Exel1", "HTML1"};
  for (std::size_t i = 0; i < exports.size(); ++i) exports[i]->setObjectName(names[i]);
  report->addSeparator()->setObjectName("N3");
  N2 = report->addAction(QStringLiteral("Закончить"), this, &TForm_Dat2::N2Click);
  N2->setObjectName("N2");
}

// Closing exactly as the caption bar's close button does.
void TForm_Dat2::N2Click() { close(); }

void TForm_Dat2::showEvent(QShowEvent* event) {
  // A show the window system makes (a restore from the task bar) is no new show of the report.
  if (!event->spontaneous()) FormShow();
  ReportWindow::showEvent(event);
}

void TForm_Dat2::FormShow() {
  // The maxima come before the fill; a lower maximum pulls the position down with it.
  bsSkinScrollBar_V->setMaximum(Data2RowCount(key_image_));
  bsSkinScrollBar_H->setMaximum(table_.ColCount());
  FillData2(table_, key_image_);
  ShowTable();
  Grid()->AutoSizeColumns(kColumnPadding);
  FitWidthToGrid();
}

}  // namespace kd
