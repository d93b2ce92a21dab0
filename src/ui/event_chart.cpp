#include "event_chart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <memory>

#include "reports/number_text.h"

namespace kd {

namespace {

const QColor kL1Color(0x1f, 0x5f, 0xbf);
// L2 lets L1 show through where the two lie over each other.
const QColor kL2Color(0x2e, 0x9a, 0x3c, 170);
constexpr int kTicks = 8;

struct MarkKind {
  const char* name;
  const char* legend;
  EventMark mark;
  QColor color;
  QScatterSeries::MarkerShape shape;
};

// Top to bottom in the lanes above the loads.
const MarkKind kMarkKinds[] = {
    {chart_names::kProtectionMarks, "Реле: Защита", kMarkProtection, QColor(0xd0, 0x20, 0x20),
     QScatterSeries::MarkerShapeCircle},
    {chart_names::kSensorFaultMarks, "Датчик: Ошибка", kMarkSensorFault, QColor(0xe0, 0x80, 0x00),
     QScatterSeries::MarkerShapeRectangle},
    {chart_names::kUprMarks, "Упр: Было", kMarkUpr, QColor(0x80, 0x30, 0xa0), QScatterSeries::MarkerShapeTriangle},
    {chart_names::kBlockingMarks, "Блкр: Было", kMarkBlocking, QColor(0x60, 0x60, 0x60),
     QScatterSeries::MarkerShapeRectangle},
};

// A step of 1, 2 or 5 times a power of ten that gives about `ticks` ticks over `span`.
double NiceStep(double span, int ticks) {
  if (span <= 0) return 1;
  const double raw = span / ticks;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 5.0}) {
    if (raw <= factor * power) return std::max(1.0, factor * power);
  }
  return std::max(1.0, 10 * power);
}

// The tick texts of every block: its number, date and time on three lines.
using BlockLabels = std::vector<QString>;

void LabelTicks(QCategoryAxis* axis, const BlockLabels& labels, double min, double max) {
  for (const QString& label : axis->categoriesLabels()) axis->remove(label);
  axis->setStartValue(min);
  if (labels.empty()) return;
  const double step = NiceStep(max - min, kTicks);
  for (double x = std::ceil(min / step) * step; x <= max; x += step) {
    const int block = static_cast<int>(std::lround(x));
    if (block < 0 || block >= static_cast<int>(labels.size())) continue;
    axis->append(labels[static_cast<std::size_t>(block)], block);
  }
}

QLineSeries* NewSegment(QChart* chart, const char* channel, const QColor& color, bool first) {
  auto* series = new QLineSeries(chart);
  series->setObjectName(channel);
  series->setName(channel == chart_names::kL1 ? QStringLiteral("Л1") : QStringLiteral("Л2"));
  series->setPen(QPen(color, 1.2));
  series->setUseOpenGL(false);
  chart->addSeries(series);
  // One legend entry per channel, however often a "---" breaks its line.
  if (!first) {
    for (QLegendMarker* marker : chart->legend()->markers(series)) marker->setVisible(false);
  }
  return series;
}

QLineSeries* ReferenceLine(QChart* chart, const char* name, double percent, const BlockRange& range, const QColor& color,
                          Qt::PenStyle style) {
  auto* line = new QLineSeries(chart);
  line->setObjectName(name);
  line->setName(QStringLiteral("%1 %").arg(percent));
  line->setPen(QPen(color, 1.5, style));
  line->append(range.min, percent);
  line->append(range.max, percent);
  chart->addSeries(line);
  return line;
}

}  // namespace

BlockRange FullBlockRange(const std::vector<EventPoint>& points) {
  // Half a block of room at each end, so the first and last points are not on the frame.
  if (points.empty()) return {-0.5, 0.5};
  return {-0.5, points.back().block + 0.5};
}

int BlockAt(double x, int records) {
  if (records <= 0) return -1;
  return std::clamp(static_cast<int>(std::lround(x)), 0, records - 1);
}

QChart* MakeEventChart(const std::vector<EventPoint>& points) {
  auto* chart = new QChart;
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->legend()->setAlignment(Qt::AlignBottom);
  const BlockRange range = FullBlockRange(points);

  // The loads: a run of records with a load is one segment of the channel's line.
  std::int32_t low = 0;
  std::int32_t high = kOverloadPercent;
  const auto add_channel = [&](const char* channel, const QColor& color, auto load_of) {
    QList<QPointF> run;
    bool first = true;
    const auto flush = [&] {
      if (run.isEmpty() && !first) return;
      QLineSeries* segment = NewSegment(chart, channel, color, first);
      // A record alone between two "---" has no line to be part of: it shows as a dot.
      segment->setPointsVisible(run.size() == 1);
      segment->replace(run);
      run.clear();
      first = false;
    };
    for (const EventPoint& point : points) {
      const std::optional<std::int32_t> load = load_of(point);
      if (!load) {
        flush();
        continue;
      }
      low = std::min(low, *load);
      high = std::max(high, *load);
      run.append(QPointF(point.block, *load));
    }
    flush();
  };
  add_channel(chart_names::kL1, kL1Color, [](const EventPoint& p) { return p.l1; });
  add_channel(chart_names::kL2, kL2Color, [](const EventPoint& p) { return p.l2; });
  ReferenceLine(chart, chart_names::kNearLimitLine, kNearLimitPercent, range, QColor(0xe0, 0x90, 0x00), Qt::DashLine);
  ReferenceLine(chart, chart_names::kOverloadLine, kOverloadPercent, range, QColor(0xc0, 0x20, 0x20), Qt::SolidLine);

  // The lanes of marks sit above the highest load, a twelfth of the load span apart.
  const double span = static_cast<double>(high) - low;
  const double lane = std::max(5.0, span / 12);
  const double top_load = high + lane;
  const int lanes = static_cast<int>(std::size(kMarkKinds));
  auto* lane_axis = new QCategoryAxis;
  lane_axis->setObjectName("markAxis");
  lane_axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  lane_axis->setGridLineVisible(false);
  int lane_number = lanes;
  for (const MarkKind& kind : kMarkKinds) {
    auto* marks = new QScatterSeries(chart);
    marks->setObjectName(kind.name);
    marks->setName(QString::fromUtf8(kind.legend));
    marks->setMarkerShape(kind.shape);
    marks->setMarkerSize(7);
    marks->setColor(kind.color);
    marks->setBorderColor(kind.color);
    marks->setUseOpenGL(false);
    const double y = top_load + lane * lane_number--;
    QList<QPointF> at;
    for (const EventPoint& point : points) {
      if (point.marks & kind.mark) at.append(QPointF(point.block, y));
    }
    marks->replace(at);
    chart->addSeries(marks);
  }
  // A category axis takes its values rising: the lowest lane first.
  for (int i = lanes - 1; i >= 0; --i) {
    lane_axis->append(QString::fromUtf8(kMarkKinds[i].legend).section(QLatin1Char(':'), 0, 0),
                      top_load + lane * (lanes - i));
  }

  auto* x_axis = new QCategoryAxis;
  x_axis->setObjectName("blockAxis");
  x_axis->setTitleText(QStringLiteral("Блок, дата, время"));
  x_axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  x_axis->setRange(range.min, range.max);
  auto labels = std::make_shared<BlockLabels>();
  labels->reserve(points.size());
  for (const EventPoint& point : points) {
    labels->push_back(QStringLiteral("%1<br>%2<br>%3")
                          .arg(QString::fromStdString(PadNumber(static_cast<std::uint32_t>(point.block), 4)),
                               QString::fromStdString(point.date), QString::fromStdString(point.time)));
  }
  LabelTicks(x_axis, *labels, range.min, range.max);
  QObject::connect(x_axis, &QValueAxis::rangeChanged, x_axis,
                   [x_axis, labels](qreal min, qreal max) { LabelTicks(x_axis, *labels, min, max); });

  auto* y_axis = new QValueAxis;
  y_axis->setObjectName("loadAxis");
  y_axis->setTitleText(QStringLiteral("Нагрузка, %"));
  y_axis->setLabelFormat(QStringLiteral("%d"));
  // Ticks on whole multiples of a round step from zero; no room below zero without a negative load.
  y_axis->setTickType(QValueAxis::TicksDynamic);
  y_axis->setTickAnchor(0);
  y_axis->setTickInterval(NiceStep(span, 8));
  y_axis->setRange(low < 0 ? low - lane / 2 : 0, top_load + lane * (lanes + 0.5));
  lane_axis->setRange(y_axis->min(), y_axis->max());
  QObject::connect(y_axis, &QValueAxis::rangeChanged, lane_axis, [lane_axis](qreal min, qreal max) {
    lane_axis->setRange(min, max);
  });

  chart->addAxis(x_axis, Qt::AlignBottom);
  chart->addAxis(y_axis, Qt::AlignLeft);
  chart->addAxis(lane_axis, Qt::AlignRight);
  for (QAbstractSeries* series : chart->series()) {
    series->attachAxis(x_axis);
    series->attachAxis(y_axis);
  }
  return chart;
}

std::vector<QLineSeries*> ChannelSeries(const QChart* chart, const char* channel) {
  std::vector<QLineSeries*> found;
  for (QAbstractSeries* series : chart->series()) {
    if (series->objectName() == QLatin1String(channel)) found.push_back(qobject_cast<QLineSeries*>(series));
  }
  return found;
}

QScatterSeries* MarkSeries(const QChart* chart, const char* kind) {
  for (QAbstractSeries* series : chart->series()) {
    if (series->objectName() == QLatin1String(kind)) return qobject_cast<QScatterSeries*>(series);
  }
  return nullptr;
}

}  // namespace kd
