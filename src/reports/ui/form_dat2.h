#pragma once

#include "report_window.h"

namespace kd {

// The Data 2 window: the key's event log.
class TForm_Dat2 : public ReportWindow {
  Q_OBJECT
 public:
  static constexpr QSize kClientSize{658, 390};
  static constexpr QSize kGridSize{641, 341};
  TForm_Dat2(const KeyImage& image, Dialogs& dialogs);
};

}  // namespace kd
