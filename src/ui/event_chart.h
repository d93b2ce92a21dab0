#pragma once

#include <QString>
#include <vector>

#include "reports/summary.h"

class QChart;
class QScatterSeries;
class QLineSeries;

namespace kd {

// Names of the chart's series (their objectName), for the window, the tests and the scripts.
namespace chart_names {
inline constexpr const char* kL1 = "L1";
inline constexpr const char* kL2 = "L2";
inline constexpr const char* kNearLimitLine = "line90";
inline constexpr const char* kOverloadLine = "line100";
inline constexpr const char* kProtectionMarks = "protectionMarks";
inline constexpr const char* kSensorFaultMarks = "sensorFaultMarks";
inline constexpr const char* kUprMarks = "uprMarks";
inline constexpr const char* kBlockingMarks = "blockingMarks";
}  // namespace chart_names

// The event-log chart: L1 and L2 in per cent of the lifting capacity over the block number, one
// point per record with a load (a "---" cell breaks the line, it is no zero), the 90 % and 100 %
// lines, and a lane of marks above the loads for each of the relay's protection, a sensor
// fault, "Упр" and "Блкр". The x axis labels its ticks with the block, date and time and
// relabels them whenever its range changes. The caller owns the chart.
QChart* MakeEventChart(const std::vector<EventPoint>& points);

// The chart's full block range, which a zoom reset returns to.
struct BlockRange {
  double min;
  double max;
};
BlockRange FullBlockRange(const std::vector<EventPoint>& points);

// The line segments of a channel (objectName kL1 or kL2) and the marks of one kind.
std::vector<QLineSeries*> ChannelSeries(const QChart* chart, const char* channel);
QScatterSeries* MarkSeries(const QChart* chart, const char* kind);

// The block a point of the chart stands over: the nearest record, or -1 for an empty log.
int BlockAt(double x, int records);

}  // namespace kd
