#include "data1.h"

#include <array>

#include "image/header.h"
#include "load_spectrum.h"
#include "number_text.h"

namespace kd {

namespace {

constexpr std::array<const char*, data1::kRows> kLabels = {
    " Наименование крана, его номер:",
    "",
    " Дата установки ограничителя:",
    " Дата считывания информации:",
    " Версия формата данных:",
    " Идентификационный номер ограничителя:",
    " Количество блоков информации:",
    " Циклов с загрузкой  Q1 = 05 - 24%:",
    " Циклов с загрузкой  Q2 = 25 - 49%:",
    " Циклов с загрузкой  Q3 = 50 - 74%:",
    " Циклов с загрузкой  Q4 = 75 - 99%:",
    " Циклов с загрузкой  Q5   >   100%:",
    " Суммарное число рабочих циклов:",
    " Характеристическое число:",
    " Коэф-т распр-я нагрузки ' Kp ' :",
    " Класс использования крана:",
    " Режим нагружения крана:",
    " Группа режима крана:",
    " Суммарное время загрузки Q1:",
    " Суммарное время загрузки Q2:",
    " Суммарное время загрузки Q3:",
    " Суммарное время загрузки Q4:",
    " Суммарное время загрузки Q5:",
    " Общее время загрузки:",
    " Коэф-т распр-я нагрузки ' Km ' :",
    " Класс использования механизма:",
    " Режим нагружения механизма:",
    " Группа режима механизма:",
    " Коэф-т передачи нагрузки:",
    " Грузоподъемность:",
    " Количество моточасов:",
    " Моточас последней перегрузки:",
    "",
    " Подпись (ФИО):",
    " Дата:",
};

std::string HoursText(std::uint32_t hours, std::uint32_t minutes) {
  return PadNumber(hours, 5) + ":" + PadNumber(minutes, 2);
}

std::string HoursText(Duration d) { return HoursText(d.hours, d.minutes); }

}  // namespace

std::string DateText(int year, int month, int day) {
  return PadNumber(static_cast<std::uint32_t>(year), 4) + "-" + PadNumber(static_cast<std::uint32_t>(month), 2) + "-" +
         PadNumber(static_cast<std::uint32_t>(day), 2);
}

TextTable MakeData1Table(const std::string& date) {
  TextTable table(data1::kRows, data1::kColumns);
  for (int row = 0; row < data1::kRows; ++row) table.SetCellEx(0, row, kLabels[static_cast<std::size_t>(row)]);
  table.SetCellEx(1, data1::kCraneNameRow, "0289");
  table.SetCellEx(1, data1::kSignatureRow, "Фамилия И.О.");
  table.SetCellEx(1, data1::kDateRow, date);
  return table;
}

bool FillData1(TextTable& table, const KeyImage& image, std::string_view decimal_separator) {
  if (!IsData1Image(image)) return false;
  // Everything is worked out before the first cell is written.
  const LoadSpectrum s = DecodeLoadSpectrum(image);
  const std::uint16_t install = WordAt(image, header::kInstallDate);
  const auto byte = [&](std::size_t offset) { return PadNumber(ByteAt(image, offset), 2); };

  std::array<std::string, data1::kRows> value;
  value[2] = "20" + PadNumber(install / 100u, 2) + "-" + PadNumber(install % 100u, 2);
  value[3] = byte(header::kReadDate) + "-" + byte(header::kReadDate + 1) + " " + byte(header::kReadDate + 2) + ":" +
             byte(header::kReadDate + 3);
  value[4] = PadNumber(ByteAt(image, header::kFormatVersion), 3);
  value[5] = PadNumber(WordAt(image, header::kLimiterId), 5);
  value[6] = PadNumber(BlockCount(image), 4);
  for (int i = 0; i < kLoadClasses; ++i) {
    value[7 + static_cast<std::size_t>(i)] = PadNumber(s.CycleCount[static_cast<std::size_t>(i)], 5);
    value[18 + static_cast<std::size_t>(i)] = HoursText(s.LoadTime[static_cast<std::size_t>(i)]);
  }
  value[12] = PadNumber(s.TotalCycles, 5);
  value[13] = ShortFloatText(s.CharacteristicNumber, decimal_separator);
  value[14] = ShortFloatText(s.Kp, decimal_separator);
  value[15] = s.CraneClass;
  value[16] = s.CraneMode;
  value[17] = s.CraneGroupK + "(" + s.CraneGroupA + ")";
  value[23] = HoursText(s.TotalLoadTime.hours, s.TotalLoadTime.minutes);
  value[24] = ShortFloatText(s.Km, decimal_separator);
  value[25] = s.MechanismClass;
  value[26] = s.MechanismMode;
  value[27] = s.MechanismGroup;
  value[28] = IntText(Calibration(image, 1).ratio);
  value[29] = CapacityText(image, header::kLiftingCapacity);
  value[30] = HoursText(DurationAt(image, header::kEngineHours));
  value[31] = HoursText(DurationAt(image, header::kLastOverloadHour));

  for (int row = data1::kFirstFilledRow; row <= data1::kLastFilledRow; ++row) {
    table.SetCellEx(1, row, std::move(value[static_cast<std::size_t>(row)]));
  }
  return true;
}

}  // namespace kd
