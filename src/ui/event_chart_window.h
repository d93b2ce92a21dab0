#pragma once

#include <vector>

#include "chart_window.h"
#include "reports/summary.h"
#include "reports/text_table.h"

class QLabel;

namespace kd {

class EventChartView;

// "Нагрузка по блокам": the summary of the event log over its chart. Each show decodes the
// session's image once, through the Data 2 fill, and the summary, the chart and the tooltips all
// read that one table.
class EventChartWindow : public ChartWindow {
  Q_OBJECT
 public:
  static constexpr QSize kClientSize{1000, 680};

  EventChartWindow(const KeySession& session, Dialogs& dialogs);

  EventChartView* View() const { return view_; }
  const EventSummary& Summary() const { return summary_; }
  // The summary's value labels, in the order of SummaryLines.
  const std::vector<QLabel*>& SummaryValues() const { return summary_values_; }

  // Draws the session's image and shows the window (again), in front.
  void ShowChart();
  void Refill();
  // The line under the chart: the row of the record under the pointer, or a hint.
  QLabel* RecordLine() const { return record_line_; }
  // A record's Data 2 row, "Блок: 0012  Дата: 05-12 ...".
  QString RecordText(int block) const;

 Q_SIGNALS:
  // The user clicked a record's point.
  void RecordChosen(int block);

 private:
  void ShowRecordTip(int block);

  TextTable table_;
  EventSummary summary_;
  EventChartView* view_;
  std::vector<QLabel*> summary_values_;
  QLabel* record_line_;  // the row of the record under the pointer
};

}  // namespace kd
