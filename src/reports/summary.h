#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "image/key_image.h"
#include "text_table.h"

namespace kd {

// What the chart marks on a record, from its status cells.
enum EventMark : unsigned {
  kMarkProtection = 1u << 0,   // "Реле" reads "Защита"
  kMarkSensorFault = 1u << 1,  // "Датчик" reads "Ошибка"
  kMarkUpr = 1u << 2,          // "Упр" reads "Было"
  kMarkBlocking = 1u << 3,     // "Блкр" reads "Было"
};

// One record as the chart and the summary see it, read back from its Data 2 cells, so that the
// chart, the summary and the table cannot disagree.
struct EventPoint {
  int block = 0;
  std::string date;  // "05-12", as the cell shows it
  std::string time;  // "07:05:00"
  std::optional<std::int32_t> l1;  // empty where the cell reads "---"
  std::optional<std::int32_t> l2;
  unsigned marks = 0;  // EventMark bits
  friend bool operator==(const EventPoint&, const EventPoint&) = default;
};

// The percentage a load cell shows: "050" is 50, "-005" is -5; "---" (or any text that is no
// whole number) is none.
std::optional<std::int32_t> LoadOfCell(std::string_view text);

// Every record of a filled Data 2 table, in block order.
std::vector<EventPoint> EventPoints(const TextTable& data2_table);
// The same from the image, through the Data 2 fill.
std::vector<EventPoint> EventPoints(const KeyImage& image);

// Loads at or above this per cent count as near the limit; above kOverloadPercent as overloads.
inline constexpr std::int32_t kNearLimitPercent = 90;
inline constexpr std::int32_t kOverloadPercent = 100;

// A channel's highest load and where it was first reached.
struct LoadPeak {
  std::int32_t percent = 0;
  int block = 0;
  std::string date;
  std::string time;
  friend bool operator==(const LoadPeak&, const LoadPeak&) = default;
};

struct ChannelSummary {
  std::optional<LoadPeak> highest;  // none when no record has a load on this channel
  int near_limit = 0;               // records at or over 90 %
  int overloads = 0;                // records over 100 %
  friend bool operator==(const ChannelSummary&, const ChannelSummary&) = default;
};

// When a record was written: its date and time cells.
struct RecordMoment {
  std::string date;
  std::string time;
  friend bool operator==(const RecordMoment&, const RecordMoment&) = default;
};

// The event log at a glance.
struct EventSummary {
  int records = 0;
  ChannelSummary l1;
  ChannelSummary l2;
  int protection = 0;     // relay in protection
  int sensor_faults = 0;  // sensor fault
  int upr = 0;            // "Упр" set
  int blocking = 0;       // "Блкр" set
  std::optional<RecordMoment> first;  // none for an empty log
  std::optional<RecordMoment> last;
  friend bool operator==(const EventSummary&, const EventSummary&) = default;
};

EventSummary Summarize(const std::vector<EventPoint>& points);

// The summary as label and value texts, in the order the chart window and the reports show them.
std::vector<std::pair<std::string, std::string>> SummaryLines(const EventSummary& summary);

// "145 % (блок 0012, 05-12 07:05:00)", or "---" without a load.
std::string PeakText(const std::optional<LoadPeak>& peak);

}  // namespace kd
