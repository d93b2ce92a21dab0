#include "form_dat2.h"

#include <QScrollBar>
#include <QShowEvent>

#include "report_grid.h"
#include "reports/event_table.h"

namespace kd {

TForm_Dat2::TForm_Dat2(const KeyImage& image, Dialogs& dialogs)
    : ReportWindow(QStringLiteral(" Данные 2"), kClientSize, kGridSize, NewEventTable(), image, dialogs) {
  setObjectName("Form_Dat2");
}

void TForm_Dat2::showEvent(QShowEvent* event) {
  // A show the window system makes (a restore from the task bar) is no new show of the report.
  if (!event->spontaneous()) FormShow();
  ReportWindow::showEvent(event);
}

void TForm_Dat2::FormShow() {
  const int rows = EventTableRowCount(key_image_);
  table_.SetRowCount(rows);
  // The maxima come before the fill; a lower maximum pulls the position down with it.
  bsSkinScrollBar_V->setMaximum(rows);
  bsSkinScrollBar_H->setMaximum(table_.ColCount());
  FillEventTable(table_, key_image_);
  Grid()->Reload();
  Grid()->AutoSizeColumns(kColumnPadding);
  FitWidthToGrid();
}

}  // namespace kd
