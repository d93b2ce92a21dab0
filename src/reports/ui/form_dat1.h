#pragma once

#include "report_window.h"

namespace kd {

// The Data 1 window: the key's passport and load statistics.
class TForm_Dat1 : public ReportWindow {
  Q_OBJECT
 public:
  static constexpr QSize kClientSize{421, 390};
  static constexpr QSize kGridSize{402, 341};
  TForm_Dat1(const KeyImage& image, Dialogs& dialogs);
};

}  // namespace kd
