#include "data2.h"

#include <array>
#include <initializer_list>

#include "extended_real.h"
#include "image/event_record.h"
#include "image/header.h"
#include "number_text.h"

namespace kd {

namespace {

constexpr std::array<const char*, data2::kColumns> kHeaderTexts = {
    "Блок", "Дата", "Время", "Л1 [%]", "Л2 [%]", "Период", "Датчик", "Упр", "Блкр", "Контр.вх", "Реле"};

// Texts of the status columns; the blanks are part of them.
constexpr const char* kSensorFault = "Ошибка";
constexpr const char* kSensorNormal = "Норма ";
constexpr const char* kFlagSet = "Было";
constexpr const char* kFlagClear = "Нет ";
constexpr const char* kRelayProtection = "Защита";
constexpr const char* kRelayWorking = "Работа";
constexpr const char* kNoLoad = "---";

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
  scale.CapacityPercentUnit = ExtendedProductToSingle(WordAt(image, header::kLiftingCapacity) / 2, 0.02L);
  // Without a slope the percentage has a zero divisor, which LoadPercent refuses.
  if (calibration.ref_load != 0 && calibration.ratio != 0) {
    scale.ChannelSlope = ExtendedQuotientToSingle(std::int32_t{calibration.ref_code} - calibration.zero_code,
                                                  calibration.ref_load, calibration.ratio);
  }
  return scale;
}

LoadScales EventLoadScales(const KeyImage& image) { return {ChannelLoadScale(image, 1), ChannelLoadScale(image, 2)}; }

std::optional<std::int32_t> LoadPercent(std::uint16_t code, const LoadScale& scale) {
  return TruncatedExtendedQuotient(std::int32_t{code} - scale.zero_code, scale.ChannelSlope, scale.CapacityPercentUnit);
}

std::string LoadText(std::optional<std::int32_t> percent) {
  if (!percent) return kNoLoad;
  if (*percent >= 0) return PadNumber(static_cast<std::uint32_t>(*percent), 3);
  // Through 64 bits, so that the lowest int32 has a magnitude too.
  std::string text = PadNumber(static_cast<std::uint32_t>(-std::int64_t{*percent}), 3);
  text.insert(text.begin(), '-');
  return text;
}

TextTable MakeData2Table() {
  TextTable table(1, data2::kColumns);
  table.SetFixedRows(1);
  for (int column = 0; column < data2::kColumns; ++column) table.SetCellEx(column, 0, kHeaderTexts[column]);
  return table;
}

int Data2RowCount(const KeyImage& image) { return static_cast<int>(EventRecordCount(image)) + 1; }

void FillEventRow(TextTable& table, const KeyImage& image, const LoadScales& scales, int i) {
  const EventRecord record(image, static_cast<std::size_t>(i));
  const int row = i + 1;
  const DateNumbers date = record.EventDate();
  const ClockTime time = record.EventTime();
  const std::uint8_t status = record.StatusBits();
  table.SetCellEx(0, row, PadNumber(static_cast<std::uint32_t>(i), 4));
  table.SetCellEx(1, row, Joined({date.first, date.second}, '-'));
  table.SetCellEx(2, row, Joined({time.hour, time.minute, time.second}, ':'));
  table.SetCellEx(3, row, LoadText(LoadPercent(record.L1Code(), scales.l1)));
  table.SetCellEx(4, row, LoadText(LoadPercent(record.L2Code(), scales.l2)));
  table.SetCellEx(5, row, PeriodText(record.Period()));
  table.SetCellEx(6, row, status & event::kSensorFault ? kSensorFault : kSensorNormal);
  table.SetCellEx(7, row, status & event::kUprFlag ? kFlagSet : kFlagClear);
  table.SetCellEx(8, row, status & event::kBlockingFlag ? kFlagSet : kFlagClear);
  table.SetCellEx(9, row, BitsText(record.ControlInputs()));
  table.SetCellEx(10, row, status & event::kRelayProtection ? kRelayProtection : kRelayWorking);
}

void FillData2(TextTable& table, const KeyImage& image) {
  const int rows = Data2RowCount(image);
  table.SetRowCount(rows);
  // Worked out once: they depend on the header alone.
  const LoadScales scales = EventLoadScales(image);
  for (int i = 0; i + 1 < rows; ++i) FillEventRow(table, image, scales, i);
}

}  // namespace kd
