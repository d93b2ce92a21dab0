#include "form_dat2.h"

namespace kd {

TForm_Dat2::TForm_Dat2(const KeyImage& image, Dialogs& dialogs)
    : ReportWindow(QStringLiteral(" Данные 2"), kClientSize, image, dialogs) {
  setObjectName("Form_Dat2");
}

}  // namespace kd
