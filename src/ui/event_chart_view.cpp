#include "event_chart_view.h"

#include <QCoreApplication>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QLineSeries>
#include <QMouseEvent>
#include <QRubberBand>
#include <QScatterSeries>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "chart_picture.h"

namespace kd {

namespace {

// The fewest blocks a zoom leaves in view.
constexpr double kMinimumSpan = 10;
// A press and release this close together is a click, not a rubber band.
constexpr int kClickSlop = 3;

}  // namespace

EventChartView::EventChartView(QWidget* parent) : QChartView(parent) {
  setObjectName("eventChartView");
  setRubberBand(QChartView::HorizontalRubberBand);
  setRenderHint(QPainter::Antialiasing, false);
  setFocusPolicy(Qt::StrongFocus);
  // Moves without a button pressed name the record under the pointer.
  viewport()->setMouseTracking(true);
  // Each show replaces the chart's items; a lazily kept index of them would point at dead ones.
  scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
  SetPoints({});
}

void EventChartView::SetPoints(std::vector<EventPoint> points) {
  points_ = std::move(points);
  full_ = FullBlockRange(points_);
  hovered_ = -1;
  QChart* chart = MakeEventChart(points_);
  QChart* old = this->chart();
  setChart(chart);
  delete old;
  lane_y_.clear();
  for (QAbstractSeries* series : chart->series()) {
    if (auto* marks = qobject_cast<QScatterSeries*>(series)) {
      if (marks->count() > 0) lane_y_.push_back(marks->at(0).y());
    }
    // A click that reaches a series (outside the rubber band's reach) names its record too.
    if (auto* xy = qobject_cast<QXYSeries*>(series)) connect(xy, &QXYSeries::clicked, this, &EventChartView::OnSeriesClicked);
  }
  QValueAxis* axis = BlockAxis();
  // Zooms out (the rubber band's right click) stop at the full range, narrow bands at a few blocks.
  connect(axis, &QValueAxis::rangeChanged, this, [this](qreal min, qreal max) {
    const double full_span = full_.max - full_.min;
    if (min < full_.min - 1e-9 || max > full_.max + 1e-9 || max - min < std::min(kMinimumSpan, full_span) - 1e-9) {
      SetBlockRange(min, max);
    }
  });
}

QValueAxis* EventChartView::BlockAxis() const {
  const QList<QAbstractAxis*> axes = chart()->axes(Qt::Horizontal);
  return axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.first());
}

void EventChartView::ResetZoom() { SetBlockRange(full_.min, full_.max); }

void EventChartView::SetBlockRange(double min, double max) {
  const double full_span = full_.max - full_.min;
  const double span = std::clamp(max - min, std::min(kMinimumSpan, full_span), full_span);
  // A range widened to the fewest blocks stays centred where it was.
  if (max - min < span) min = (min + max - span) / 2;
  min = std::clamp(min, full_.min, full_.max - span);
  BlockAxis()->setRange(min, min + span);
}

void EventChartView::ZoomBlocks(double factor, double center) {
  const QValueAxis* axis = BlockAxis();
  const double min = axis->min();
  const double max = axis->max();
  const double share = max > min ? (center - min) / (max - min) : 0.5;
  const double span = (max - min) / factor;
  const double new_min = center - share * span;
  SetBlockRange(new_min, new_min + span);
}

int EventChartView::RecordAt(QPointF position) const {
  if (points_.empty()) return -1;
  const QPointF scene = mapToScene(position.toPoint());
  const QPointF at = chart()->mapFromScene(scene);
  const int records = static_cast<int>(points_.size());
  const double left = chart()->mapToValue(at - QPointF(kHitPixels, 0)).x();
  const double right = chart()->mapToValue(at + QPointF(kHitPixels, 0)).x();
  const int first = BlockAt(std::floor(left), records);
  const int last = BlockAt(std::ceil(right), records);
  int best = -1;
  double best_distance = kHitPixels;
  for (int block = first; block <= last; ++block) {
    const EventPoint& point = points_[static_cast<std::size_t>(block)];
    std::vector<double> ys;
    if (point.l1) ys.push_back(*point.l1);
    if (point.l2) ys.push_back(*point.l2);
    if (point.marks != 0) ys.insert(ys.end(), lane_y_.begin(), lane_y_.end());
    for (double y : ys) {
      const double distance = QLineF(at, chart()->mapToPosition(QPointF(block, y))).length();
      if (distance <= best_distance) {
        best_distance = distance;
        best = block;
      }
    }
  }
  return best;
}

void EventChartView::OnSeriesClicked(const QPointF& value) {
  const int block = BlockAt(value.x(), static_cast<int>(points_.size()));
  if (block >= 0) Q_EMIT RecordClicked(block);
}

void EventChartView::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps == 0) return;
  const QPointF at = chart()->mapFromScene(mapToScene(event->position().toPoint()));
  ZoomBlocks(std::pow(1.25, steps), chart()->mapToValue(at).x());
  event->accept();
}

void EventChartView::mouseDoubleClickEvent(QMouseEvent* event) {
  ResetZoom();
  event->accept();
}

void EventChartView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Home) {
    ResetZoom();
    event->accept();
    return;
  }
  QChartView::keyPressEvent(event);
}

void EventChartView::mousePressEvent(QMouseEvent* event) {
  press_position_ = event->position().toPoint();
  // Qt 6.4's chart view reads the item under a press without asking whether there is one.
  if (itemAt(press_position_) == nullptr) return QGraphicsView::mousePressEvent(event);
  QChartView::mousePressEvent(event);
}

void EventChartView::mouseMoveEvent(QMouseEvent* event) {
  const int block = RecordAt(event->position());
  if (block != hovered_) {
    hovered_ = block;
    Q_EMIT RecordHovered(block);
  }
  QChartView::mouseMoveEvent(event);
}

void EventChartView::mouseReleaseEvent(QMouseEvent* event) {
  // The rubber band takes the press, so a click on a point is told apart here.
  const bool click = event->button() == Qt::LeftButton &&
                     (event->position().toPoint() - press_position_).manhattanLength() <= kClickSlop;
  if (click) {
    // A click is no zoom: the band it started goes without zooming in to a sliver.
    for (QRubberBand* band : findChildren<QRubberBand*>()) band->hide();
    const int block = RecordAt(event->position());
    if (block >= 0) Q_EMIT RecordClicked(block);
  }
  QChartView::mouseReleaseEvent(event);
}

}  // namespace kd

namespace kd {

void EventChartView::LayOutOffscreen(QSize size) {
  setAttribute(Qt::WA_DontShowOnScreen);
  resize(size);
  show();
  QCoreApplication::processEvents();
}

std::optional<ReportPicture> PrintedEventChart(const TextTable& data2_table) {
  std::vector<EventPoint> points = EventPoints(data2_table);
  if (points.empty()) return std::nullopt;
  // Tall enough for every mark lane to keep its label; its fonts come out at some 7 points at the
  // text width.
  constexpr QSize kLogicalSize{800, 500};
  EventChartView view;
  view.SetPoints(std::move(points));
  view.setFrameShape(QFrame::NoFrame);
  view.LayOutOffscreen(kLogicalSize);
  return RgbPicture(&view, 2);
}

}  // namespace kd
