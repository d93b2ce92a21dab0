#include "data1.h"

#include "image/header.h"
#include "number_text.h"

namespace kd {

namespace {

std::string HoursText(std::uint32_t hours, std::uint32_t minutes) {
  return PadNumber(hours, 5) + ":" + PadNumber(minutes, 2);
}

std::string HoursText(Duration d) { return HoursText(d.hours, d.minutes); }

std::string ByteText(const Data1Source& s, std::size_t offset) { return PadNumber(ByteAt(s.image, offset), 2); }

template <int Class>
std::string CyclesText(const Data1Source& s) {
  return PadNumber(s.spectrum.CycleCount[Class], 5);
}

template <int Class>
std::string LoadTimeText(const Data1Source& s) {
  return HoursText(s.spectrum.LoadTime[Class]);
}

}  // namespace

using R = Data1Row;

// clang-format off
constexpr std::array<Data1RowSpec, data1::kRows> kData1Rows = {{
    {R::kCraneName, " Наименование крана, его номер:", nullptr},
    {R::kGap1, "", nullptr},
    {R::kInstallDate, " Дата установки ограничителя:", [](const Data1Source& s) {
       const std::uint16_t install = WordAt(s.image, header::kInstallDate);
       return "20" + PadNumber(install / 100u, 2) + "-" + PadNumber(install % 100u, 2);
     }},
    {R::kReadDate, " Дата считывания информации:", [](const Data1Source& s) {
       return ByteText(s, header::kReadDate) + "-" + ByteText(s, header::kReadDate + 1) + " " +
              ByteText(s, header::kReadDate + 2) + ":" + ByteText(s, header::kReadDate + 3);
     }},
    {R::kFormatVersion, " Версия формата данных:",
     [](const Data1Source& s) { return PadNumber(ByteAt(s.image, header::kFormatVersion), 3); }},
    {R::kLimiterId, " Идентификационный номер ограничителя:",
     [](const Data1Source& s) { return PadNumber(WordAt(s.image, header::kLimiterId), 5); }},
    {R::kBlockCount, " Количество блоков информации:",
     [](const Data1Source& s) { return PadNumber(BlockCount(s.image), 4); }},
    {R::kCyclesQ1, " Циклов с загрузкой  Q1 = 05 - 24%:", CyclesText<0>},
    {R::kCyclesQ2, " Циклов с загрузкой  Q2 = 25 - 49%:", CyclesText<1>},
    {R::kCyclesQ3, " Циклов с загрузкой  Q3 = 50 - 74%:", CyclesText<2>},
    {R::kCyclesQ4, " Циклов с загрузкой  Q4 = 75 - 99%:", CyclesText<3>},
    {R::kCyclesQ5, " Циклов с загрузкой  Q5   >   100%:", CyclesText<4>},
    {R::kTotalCycles, " Суммарное число рабочих циклов:",
     [](const Data1Source& s) { return PadNumber(s.spectrum.TotalCycles, 5); }},
    {R::kCharacteristicNumber, " Характеристическое число:",
     [](const Data1Source& s) { return ShortFloatText(s.spectrum.CharacteristicNumber, s.decimal_separator); }},
    {R::kKp, " Коэф-т распр-я нагрузки ' Kp ' :",
     [](const Data1Source& s) { return ShortFloatText(s.spectrum.Kp, s.decimal_separator); }},
    {R::kCraneClass, " Класс использования крана:", [](const Data1Source& s) { return s.spectrum.CraneClass; }},
    {R::kCraneMode, " Режим нагружения крана:", [](const Data1Source& s) { return s.spectrum.CraneMode; }},
    {R::kCraneGroup, " Группа режима крана:",
     [](const Data1Source& s) { return s.spectrum.CraneGroupK + "(" + s.spectrum.CraneGroupA + ")"; }},
    {R::kLoadTimeQ1, " Суммарное время загрузки Q1:", LoadTimeText<0>},
    {R::kLoadTimeQ2, " Суммарное время загрузки Q2:", LoadTimeText<1>},
    {R::kLoadTimeQ3, " Суммарное время загрузки Q3:", LoadTimeText<2>},
    {R::kLoadTimeQ4, " Суммарное время загрузки Q4:", LoadTimeText<3>},
    {R::kLoadTimeQ5, " Суммарное время загрузки Q5:", LoadTimeText<4>},
    {R::kTotalLoadTime, " Общее время загрузки:",
     [](const Data1Source& s) { return HoursText(s.spectrum.TotalLoadTime.hours, s.spectrum.TotalLoadTime.minutes); }},
    {R::kKm, " Коэф-т распр-я нагрузки ' Km ' :",
     [](const Data1Source& s) { return ShortFloatText(s.spectrum.Km, s.decimal_separator); }},
    {R::kMechanismClass, " Класс использования механизма:",
     [](const Data1Source& s) { return s.spectrum.MechanismClass; }},
    {R::kMechanismMode, " Режим нагружения механизма:", [](const Data1Source& s) { return s.spectrum.MechanismMode; }},
    {R::kMechanismGroup, " Группа режима механизма:", [](const Data1Source& s) { return s.spectrum.MechanismGroup; }},
    {R::kLoadRatio, " Коэф-т передачи нагрузки:",
     [](const Data1Source& s) { return IntText(Calibration(s.image, 1).ratio); }},
    {R::kLiftingCapacity, " Грузоподъемность:",
     [](const Data1Source& s) { return CapacityText(s.image, header::kLiftingCapacity); }},
    {R::kEngineHours, " Количество моточасов:",
     [](const Data1Source& s) { return HoursText(DurationAt(s.image, header::kEngineHours)); }},
    {R::kLastOverloadHour, " Моточас последней перегрузки:",
     [](const Data1Source& s) { return HoursText(DurationAt(s.image, header::kLastOverloadHour)); }},
    {R::kGap2, "", nullptr},
    {R::kSignature, " Подпись (ФИО):", nullptr},
    {R::kDate, " Дата:", nullptr},
}};
// clang-format on

// The table's order is the enum's: a row put in the wrong place would show under another label.
static_assert([] {
  for (std::size_t i = 0; i < kData1Rows.size(); ++i) {
    if (RowOf(kData1Rows[i].id) != static_cast<int>(i)) return false;
  }
  return true;
}());

std::string DateText(int year, int month, int day) {
  return PadNumber(static_cast<std::uint32_t>(year), 4) + "-" + PadNumber(static_cast<std::uint32_t>(month), 2) + "-" +
         PadNumber(static_cast<std::uint32_t>(day), 2);
}

TextTable MakeData1Table(const std::string& date) {
  TextTable table(data1::kRows, data1::kColumns);
  for (const Data1RowSpec& row : kData1Rows) table.SetCellEx(data1::kLabelColumn, RowOf(row.id), row.label);
  SetData1Value(table, Data1Row::kCraneName, kDefaultCraneName);
  SetData1Value(table, Data1Row::kSignature, "Фамилия И.О.");
  SetData1Value(table, Data1Row::kDate, date);
  return table;
}

bool FillData1(TextTable& table, const KeyImage& image, std::string_view decimal_separator) {
  if (!IsData1Image(image)) return false;
  // Everything is worked out before the first cell is written.
  const LoadSpectrum spectrum = DecodeLoadSpectrum(image);
  const Data1Source source{image, spectrum, decimal_separator};
  std::array<std::string, data1::kRows> values;
  for (const Data1RowSpec& row : kData1Rows) {
    if (row.value) values[static_cast<std::size_t>(RowOf(row.id))] = row.value(source);
  }
  for (const Data1RowSpec& row : kData1Rows) {
    if (row.value) SetData1Value(table, row.id, std::move(values[static_cast<std::size_t>(RowOf(row.id))]));
  }
  return true;
}

const std::string& Data1Value(const TextTable& table, Data1Row row) {
  return table.GetCellEx(data1::kValueColumn, RowOf(row));
}

void SetData1Value(TextTable& table, Data1Row row, std::string text) {
  table.SetCellEx(data1::kValueColumn, RowOf(row), std::move(text));
}

}  // namespace kd
