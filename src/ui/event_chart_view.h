#pragma once

#include <QChartView>
#include <vector>

#include "event_chart.h"
#include "reports/report_heading.h"
#include "reports/summary.h"

class QValueAxis;

namespace kd {

// The event-log chart in a view: the wheel zooms the block range around the pointer, a rubber
// band drawn across the plot zooms to it, a double click or Home shows every block again. A
// point under the pointer (a load or a mark) names its record.
class EventChartView : public QChartView {
  Q_OBJECT
 public:
  // How near a point the pointer must be to hit it.
  static constexpr double kHitPixels = 8;

  explicit EventChartView(QWidget* parent = nullptr);

  // Draws the chart of these records afresh, every block in view.
  void SetPoints(std::vector<EventPoint> points);
  const std::vector<EventPoint>& Points() const { return points_; }

  QValueAxis* BlockAxis() const;
  void ResetZoom();
  // Shows 1/factor of the current block range (factor above 1 zooms in), keeping `center` where
  // it is; the range stays inside the full one and at least a few blocks wide.
  void ZoomBlocks(double factor, double center);

  // Lays the view out at `size` without showing it, for a picture drawn with no window around it.
  void LayOutOffscreen(QSize size);

  // The record whose point lies within kHitPixels of a position in the view, or -1.
  int RecordAt(QPointF position) const;

 Q_SIGNALS:
  // A record's point came under the pointer (-1: none any more).
  void RecordHovered(int block);
  // A record's point was clicked.
  void RecordClicked(int block);

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void SetBlockRange(double min, double max);
  void OnSeriesClicked(const QPointF& value);

  std::vector<EventPoint> points_;
  BlockRange full_{-0.5, 0.5};
  std::vector<double> lane_y_;  // the marks' lanes
  QPoint press_position_;
  int hovered_ = -1;
};

// The chart of a filled Data 2 table for a printed report: the view drawn at twice its size, some
// 200 dpi at the text width of A4. None for a log without records: an empty plot tells nothing.
std::optional<ReportPicture> PrintedEventChart(const TextTable& data2_table);

}  // namespace kd
