#include "data2.h"

#include <array>
#include <initializer_list>
#include <span>

#include "extended_real.h"
#include "image/event_record.h"
#include "image/header.h"
#include "number_text.h"

namespace kd {

namespace {

void WriteJoined(std::string& cell, std::initializer_list<std::uint8_t> parts, char separator) {
  cell.clear();
  for (std::uint8_t part : parts) {
    if (!cell.empty()) cell += separator;
    AppendPadNumber(cell, part, 2);
  }
}

void WritePeriod(std::string& cell, const std::array<std::uint8_t, 3>& period) {
  for (std::uint8_t part : period) {
    if (part == event::kPeriodMarker) {
      cell = "00:00:00";
      return;
    }
  }
  WriteJoined(cell, {period[0], period[1], period[2]}, ':');
}

void WriteBits(std::string& cell, std::uint8_t bits) {
  cell.assign(8, '0');
  for (int bit = 0; bit < 8; ++bit) {
    if (bits & (1u << bit)) cell[static_cast<std::size_t>(7 - bit)] = '1';
  }
}

void WriteLoad(std::string& cell, std::optional<std::int32_t> percent) {
  cell.clear();
  if (!percent) {
    cell = data2::kNoLoad;
  } else if (*percent >= 0) {
    AppendPadNumber(cell, static_cast<std::uint32_t>(*percent), 3);
  } else {
    cell += '-';
    // Through 64 bits, so that the lowest int32 has a magnitude too.
    AppendPadNumber(cell, static_cast<std::uint32_t>(-std::int64_t{*percent}), 3);
  }
}

}  // namespace

LoadScale ChannelLoadScale(const KeyImage& image, int channel) {
  const ChannelCalibration calibration = Calibration(image, channel);
  LoadScale scale;
  scale.zero_code = calibration.zero_code;
  scale.capacity_percent_unit = ExtendedProductToSingle(WordAt(image, header::kLiftingCapacity) / 2, 0.02L);
  // Without a slope the percentage has a zero divisor, which LoadPercent refuses.
  if (calibration.ref_load != 0 && calibration.ratio != 0) {
    scale.channel_slope = ExtendedQuotientToSingle(std::int32_t{calibration.ref_code} - calibration.zero_code,
                                                  calibration.ref_load, calibration.ratio);
  }
  return scale;
}

LoadScales EventLoadScales(const KeyImage& image) { return {ChannelLoadScale(image, 1), ChannelLoadScale(image, 2)}; }

std::optional<std::int32_t> LoadPercent(std::uint16_t code, const LoadScale& scale) {
  return TruncatedExtendedQuotient(std::int32_t{code} - scale.zero_code, scale.channel_slope, scale.capacity_percent_unit);
}

std::string LoadText(std::optional<std::int32_t> percent) {
  std::string text;
  WriteLoad(text, percent);
  return text;
}

using C = Data2Column;
using namespace data2;

// clang-format off
constexpr std::array<Data2ColumnSpec, data2::kColumns> kData2Columns = {{
    {C::kBlock, "Блок", [](const EventSource& s, std::string& cell) {
       cell.clear();
       AppendPadNumber(cell, static_cast<std::uint32_t>(s.index), 4);
     }},
    {C::kDate, "Дата", [](const EventSource& s, std::string& cell) {
       const DateNumbers date = s.record.EventDate();
       WriteJoined(cell, {date.first, date.second}, '-');
     }},
    {C::kTime, "Время", [](const EventSource& s, std::string& cell) {
       const ClockTime time = s.record.EventTime();
       WriteJoined(cell, {time.hour, time.minute, time.second}, ':');
     }},
    {C::kL1, "Л1 [%]", [](const EventSource& s, std::string& cell) {
       WriteLoad(cell, LoadPercent(s.record.L1Code(), s.scales.l1));
     }},
    {C::kL2, "Л2 [%]", [](const EventSource& s, std::string& cell) {
       WriteLoad(cell, LoadPercent(s.record.L2Code(), s.scales.l2));
     }},
    {C::kPeriod, "Период", [](const EventSource& s, std::string& cell) { WritePeriod(cell, s.record.Period()); }},
    {C::kSensor, "Датчик", [](const EventSource& s, std::string& cell) {
       cell = s.record.StatusBits() & event::kSensorFault ? kSensorFault : kSensorNormal;
     }},
    {C::kUpr, "Упр", [](const EventSource& s, std::string& cell) {
       cell = s.record.StatusBits() & event::kUprFlag ? kFlagSet : kFlagClear;
     }},
    {C::kBlocking, "Блкр", [](const EventSource& s, std::string& cell) {
       cell = s.record.StatusBits() & event::kBlockingFlag ? kFlagSet : kFlagClear;
     }},
    {C::kControlInputs, "Контр.вх", [](const EventSource& s, std::string& cell) {
       WriteBits(cell, s.record.ControlInputs());
     }},
    {C::kRelay, "Реле", [](const EventSource& s, std::string& cell) {
       cell = s.record.StatusBits() & event::kRelayProtection ? kRelayProtection : kRelayWorking;
     }},
}};
// clang-format on

static_assert([] {
  for (std::size_t i = 0; i < kData2Columns.size(); ++i) {
    if (ColumnOf(kData2Columns[i].id) != static_cast<int>(i)) return false;
  }
  return true;
}());

TextTable MakeData2Table() {
  TextTable table(1, data2::kColumns);
  table.SetFixedRows(1);
  for (const Data2ColumnSpec& column : kData2Columns) table.SetCellEx(ColumnOf(column.id), kHeaderRow, column.header);
  return table;
}

int Data2RowCount(const KeyImage& image) { return static_cast<int>(EventRecordCount(image)) + 1; }

void FillEventRow(TextTable& table, const KeyImage& image, const LoadScales& scales, int i) {
  const EventRecord record(image, static_cast<std::size_t>(i));
  const EventSource source{record, scales, i};
  const std::span<std::string> cells = table.Row(RecordRow(i));
  for (const Data2ColumnSpec& column : kData2Columns) column.write(source, cells[static_cast<std::size_t>(ColumnOf(column.id))]);
}

void FillData2(TextTable& table, const KeyImage& image) {
  const int rows = Data2RowCount(image);
  table.SetRowCount(rows);
  // Worked out once: they depend on the header alone.
  const LoadScales scales = EventLoadScales(image);
  for (int i = 0; i + 1 < rows; ++i) FillEventRow(table, image, scales, i);
}

const std::string& Data2Cell(const TextTable& table, int record, Data2Column column) {
  return table.GetCellEx(ColumnOf(column), RecordRow(record));
}

}  // namespace kd
