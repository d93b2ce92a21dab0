#include "data2.h"

#include <array>
#include <initializer_list>

#include "extended_real.h"
#include "image/event_record.h"
#include "image/header.h"
#include "number_text.h"

namespace kd {

namespace {

std::string Joined(std::initializer_list<std::uint8_t> parts, char separator) {
  std::string text;
  for (std::uint8_t part : parts) {
    if (!text.empty()) text += separator;
    text += PadNumber(part, 2);
  }
  return text;
}

std::string PeriodText(const std::array<std::uint8_t, 3>& period) {
  for (std::uint8_t part : period) {
    if (part == event::kPeriodMarker) return "00:00:00";
  }
  return Joined({period[0], period[1], period[2]}, ':');
}

std::string BitsText(std::uint8_t bits) {
  std::string text(8, '0');
  for (int bit = 0; bit < 8; ++bit) {
    if (bits & (1u << bit)) text[static_cast<std::size_t>(7 - bit)] = '1';
  }
  return text;
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
  if (!percent) return data2::kNoLoad;
  if (*percent >= 0) return PadNumber(static_cast<std::uint32_t>(*percent), 3);
  // Through 64 bits, so that the lowest int32 has a magnitude too.
  std::string text = PadNumber(static_cast<std::uint32_t>(-std::int64_t{*percent}), 3);
  text.insert(text.begin(), '-');
  return text;
}

using C = Data2Column;
using namespace data2;

// clang-format off
constexpr std::array<Data2ColumnSpec, data2::kColumns> kData2Columns = {{
    {C::kBlock, "Блок", [](const EventSource& s) { return PadNumber(static_cast<std::uint32_t>(s.index), 4); }},
    {C::kDate, "Дата", [](const EventSource& s) {
       const DateNumbers date = s.record.EventDate();
       return Joined({date.first, date.second}, '-');
     }},
    {C::kTime, "Время", [](const EventSource& s) {
       const ClockTime time = s.record.EventTime();
       return Joined({time.hour, time.minute, time.second}, ':');
     }},
    {C::kL1, "Л1 [%]", [](const EventSource& s) { return LoadText(LoadPercent(s.record.L1Code(), s.scales.l1)); }},
    {C::kL2, "Л2 [%]", [](const EventSource& s) { return LoadText(LoadPercent(s.record.L2Code(), s.scales.l2)); }},
    {C::kPeriod, "Период", [](const EventSource& s) { return PeriodText(s.record.Period()); }},
    {C::kSensor, "Датчик", [](const EventSource& s) {
       return std::string(s.record.StatusBits() & event::kSensorFault ? kSensorFault : kSensorNormal);
     }},
    {C::kUpr, "Упр", [](const EventSource& s) {
       return std::string(s.record.StatusBits() & event::kUprFlag ? kFlagSet : kFlagClear);
     }},
    {C::kBlocking, "Блкр", [](const EventSource& s) {
       return std::string(s.record.StatusBits() & event::kBlockingFlag ? kFlagSet : kFlagClear);
     }},
    {C::kControlInputs, "Контр.вх", [](const EventSource& s) { return BitsText(s.record.ControlInputs()); }},
    {C::kRelay, "Реле", [](const EventSource& s) {
       return std::string(s.record.StatusBits() & event::kRelayProtection ? kRelayProtection : kRelayWorking);
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
  for (const Data2ColumnSpec& column : kData2Columns) {
    table.SetCellEx(ColumnOf(column.id), RecordRow(i), column.value(source));
  }
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
