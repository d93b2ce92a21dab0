#include "form_dat1.h"

namespace kd {

TForm_Dat1::TForm_Dat1(const KeyImage& image, Dialogs& dialogs)
    : ReportWindow(QStringLiteral(" Данные 1"), kClientSize, kGridSize, TextTable(35, 2), image, dialogs, 1) {
  setObjectName("Form_Dat1");
}

}  // namespace kd
