#include "form_dat2.h"

namespace kd {

namespace {

TextTable EventTableShell() {
  TextTable table(1, 11);
  table.SetFixedRows(1);
  return table;
}

}  // namespace

TForm_Dat2::TForm_Dat2(const KeyImage& image, Dialogs& dialogs)
    : ReportWindow(QStringLiteral(" Данные 2"), kClientSize, kGridSize, EventTableShell(), image, dialogs, 2) {
  setObjectName("Form_Dat2");
}

}  // namespace kd
