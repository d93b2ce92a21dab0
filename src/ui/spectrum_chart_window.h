#pragma once

#include "chart_window.h"
#include "reports/text_table.h"

class QChartView;
class QLabel;

namespace kd {

// "Спектр нагружения": the working cycles and the loading times per load class as bars, under the
// crane's and the mechanism's classification, all from the fill that makes the Data 1 cells.
class SpectrumChartWindow : public ChartWindow {
  Q_OBJECT
 public:
  static constexpr QSize kClientSize{760, 640};

  SpectrumChartWindow(const KeySession& session, Dialogs& dialogs);

  QLabel* Caption() const { return caption_; }
  QChartView* CyclesView() const { return cycles_; }
  QChartView* LoadTimeView() const { return load_time_; }

  // Draws the session's image and shows the window in front; an image the Data 1 report refuses
  // gets its message instead, and the window stays as it was.
  void ShowChart();
  // False, changing nothing, when Data 1 refuses the image.
  bool Refill();

 private:
  QLabel* caption_;
  QChartView* cycles_;
  QChartView* load_time_;
};

}  // namespace kd
