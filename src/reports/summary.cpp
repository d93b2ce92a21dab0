#include "summary.h"

#include <charconv>
#include <limits>

#include "data2.h"
#include "number_text.h"

namespace kd {

std::optional<std::int32_t> LoadOfCell(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  const std::string_view digits = negative ? text.substr(1) : text;
  if (digits.empty()) return std::nullopt;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  // from_chars takes no sign of its own here, so "--1" and "-+1" stay texts.
  if (error != std::errc{} || end != digits.data() + digits.size() || digits.front() == '-' || digits.front() == '+') {
    return std::nullopt;
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

std::vector<EventPoint> EventPoints(const TextTable& table) {
  std::vector<EventPoint> points;
  const int records = table.RowCount() - 1;
  if (records <= 0) return points;
  points.reserve(static_cast<std::size_t>(records));
  for (int record = 0; record < records; ++record) {
    const auto cell = [&](Data2Column column) -> const std::string& { return Data2Cell(table, record, column); };
    EventPoint point;
    point.block = record;
    point.date = cell(Data2Column::kDate);
    point.time = cell(Data2Column::kTime);
    point.l1 = LoadOfCell(cell(Data2Column::kL1));
    point.l2 = LoadOfCell(cell(Data2Column::kL2));
    if (cell(Data2Column::kRelay) == data2::kRelayProtection) point.marks |= kMarkProtection;
    if (cell(Data2Column::kSensor) == data2::kSensorFault) point.marks |= kMarkSensorFault;
    if (cell(Data2Column::kUpr) == data2::kFlagSet) point.marks |= kMarkUpr;
    if (cell(Data2Column::kBlocking) == data2::kFlagSet) point.marks |= kMarkBlocking;
    points.push_back(std::move(point));
  }
  return points;
}

std::vector<EventPoint> EventPoints(const KeyImage& image) {
  TextTable table = MakeData2Table();
  FillData2(table, image);
  return EventPoints(table);
}

namespace {

void Count(ChannelSummary& channel, const EventPoint& point, const std::optional<std::int32_t>& load) {
  if (!load) return;
  // The first record to reach the highest load is the one named.
  if (!channel.highest || *load > channel.highest->percent) {
    channel.highest = LoadPeak{*load, point.block, point.date, point.time};
  }
  if (*load >= kNearLimitPercent) ++channel.near_limit;
  if (*load > kOverloadPercent) ++channel.overloads;
}

}  // namespace

EventSummary Summarize(const std::vector<EventPoint>& points) {
  EventSummary summary;
  summary.records = static_cast<int>(points.size());
  for (const EventPoint& point : points) {
    Count(summary.l1, point, point.l1);
    Count(summary.l2, point, point.l2);
    if (point.marks & kMarkProtection) ++summary.protection;
    if (point.marks & kMarkSensorFault) ++summary.sensor_faults;
    if (point.marks & kMarkUpr) ++summary.upr;
    if (point.marks & kMarkBlocking) ++summary.blocking;
  }
  if (!points.empty()) {
    summary.first = RecordMoment{points.front().date, points.front().time};
    summary.last = RecordMoment{points.back().date, points.back().time};
  }
  return summary;
}

std::string PeakText(const std::optional<LoadPeak>& peak) {
  if (!peak) return data2::kNoLoad;
  return std::to_string(peak->percent) + " % (блок " + PadNumber(static_cast<std::uint32_t>(peak->block), 4) + ", " +
         peak->date + " " + peak->time + ")";
}

std::vector<std::pair<std::string, std::string>> SummaryLines(const EventSummary& s) {
  const auto moment = [](const std::optional<RecordMoment>& m) -> std::string {
    return m ? m->date + " " + m->time : std::string(data2::kNoLoad);
  };
  const auto n = [](int count) { return std::to_string(count); };
  return {
      {"Записей", n(s.records)},
      {"Наибольшая нагрузка Л1", PeakText(s.l1.highest)},
      {"Наибольшая нагрузка Л2", PeakText(s.l2.highest)},
      {"Л1 не ниже 90 %", n(s.l1.near_limit)},
      {"Л1 выше 100 %", n(s.l1.overloads)},
      {"Л2 не ниже 90 %", n(s.l2.near_limit)},
      {"Л2 выше 100 %", n(s.l2.overloads)},
      {"Реле в защите", n(s.protection)},
      {"Ошибка датчика", n(s.sensor_faults)},
      {"Упр", n(s.upr)},
      {"Блкр", n(s.blocking)},
      {"Первая запись", moment(s.first)},
      {"Последняя запись", moment(s.last)},
  };
}

}  // namespace kd
