#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "image/key_image.h"
#include "text_table.h"

namespace kd {

// The Data 2 report: the event log, a fixed header row, then row i + 1 for event record i,
// eleven text columns, named here in the order the report shows them.
enum class Data2Column {
  kBlock,
  kDate,
  kTime,
  kL1,
  kL2,
  kPeriod,
  kSensor,
  kUpr,
  kBlocking,
  kControlInputs,
  kRelay,
};

namespace data2 {
inline constexpr int kColumns = 11;
inline constexpr int kHeaderRow = 0;

// Texts of the status columns; the blanks are part of them.
inline constexpr const char* kSensorFault = "Ошибка";
inline constexpr const char* kSensorNormal = "Норма ";
inline constexpr const char* kFlagSet = "Было";
inline constexpr const char* kFlagClear = "Нет ";
inline constexpr const char* kRelayProtection = "Защита";
inline constexpr const char* kRelayWorking = "Работа";
// A load cell without a percentage.
inline constexpr const char* kNoLoad = "---";
}  // namespace data2

// The table column of a named column.
constexpr int ColumnOf(Data2Column column) { return static_cast<int>(column); }

// The table row of event record i.
constexpr int RecordRow(int record) { return record + 1; }

struct LoadScales;
class EventRecord;

// What one record's cells are made from.
struct EventSource {
  const EventRecord& record;
  const LoadScales& scales;
  int index;
};

// One column of the report: its header text, and how a record's cell is written (in place: a
// full log has 51,000 cells).
struct Data2ColumnSpec {
  Data2Column id;
  const char* header;
  void (*write)(const EventSource&, std::string& cell);
};

// Every column, in table order.
extern const std::array<Data2ColumnSpec, data2::kColumns> kData2Columns;

// What one channel's load cells take from the header; the same for every row of one show.
struct LoadScale {
  std::int32_t zero_code = 0;
  // One per cent of the lifting capacity: the capacity halved as an integer, times 0.02.
  float capacity_percent_unit = 0.0f;
  // Sensor code per unit of load; 0 when the header gives a zero divisor for it.
  float channel_slope = 0.0f;
};

// Channel 1 is L1, channel 2 is L2.
LoadScale ChannelLoadScale(const KeyImage& image, int channel);

struct LoadScales {
  LoadScale l1;
  LoadScale l2;
};
LoadScales EventLoadScales(const KeyImage& image);

// A record's code as a whole percentage of the lifting capacity, truncated toward zero; negative
// for a reading below the zero code. Empty when the header gives a zero divisor (no slope, a
// capacity below 2) or the percentage does not fit 32 bits.
std::optional<std::int32_t> LoadPercent(std::uint16_t code, const LoadScale& scale);

// A load cell: three digits at least, a minus before them for a negative load, and "---" where
// there is no percentage.
std::string LoadText(std::optional<std::int32_t> percent);

// The table as the window creates it: the header row with its texts, nothing under it.
TextTable MakeData2Table();

// The table's rows for this image: the header and one per record that the image holds.
int Data2RowCount(const KeyImage& image);

// Writes every cell of row RecordRow(i) from event record i. The row must exist.
void FillEventRow(TextTable& table, const KeyImage& image, const LoadScales& scales, int i);

// Rebuilds the rows under the header from the image: the row count, then every cell of every
// record row. The header row is left as it is. The window and keydecoder-cli both fill through
// this, so a file holds what the window shows.
void FillData2(TextTable& table, const KeyImage& image);

// A record's cell as the table holds it.
const std::string& Data2Cell(const TextTable& table, int record, Data2Column column);

}  // namespace kd
