#include "form_dat2.h"

#include <QScrollBar>
#include <QShowEvent>

#include "report_grid.h"
#include "reports/data2.h"

namespace kd {

TForm_Dat2::TForm_Dat2(const KeyImage& image, Dialogs& dialogs)
    : ReportWindow(QStringLiteral(" Данные 2"), kClientSize, kGridSize, MakeData2Table(), image, dialogs, 2) {
  setObjectName("Form_Dat2");
}

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
  Grid()->Reload();
  Grid()->AutoSizeColumns(kColumnPadding);
  FitWidthToGrid();
}

}  // namespace kd
