#include "fleet_table.h"

#include <array>

#include "data1.h"
#include "number_text.h"
#include "summary.h"
#include "user_texts.h"

namespace kd {

namespace {

struct FleetSource {
  const TextTable& data1;
  const EventSummary& summary;
};

struct FleetColumn {
  const char* header;
  std::string (*value)(const FleetSource&);
};

template <Data1Row Row>
std::string Data1Text(const FleetSource& s) {
  return Data1Value(s.data1, Row);
}

std::string Count(int n) { return std::to_string(n); }

std::string BlockText(int block) { return PadNumber(static_cast<std::uint32_t>(block), 4); }

// The peak's parts, empty without a load on the channel.
template <int Channel>
const std::optional<LoadPeak>& Peak(const FleetSource& s) {
  return Channel == 1 ? s.summary.l1.highest : s.summary.l2.highest;
}
template <int Channel>
std::string PeakPercent(const FleetSource& s) {
  return Peak<Channel>(s) ? std::to_string(Peak<Channel>(s)->percent) : std::string();
}
template <int Channel>
std::string PeakBlock(const FleetSource& s) {
  return Peak<Channel>(s) ? BlockText(Peak<Channel>(s)->block) : std::string();
}
template <int Channel>
std::string PeakDate(const FleetSource& s) {
  return Peak<Channel>(s) ? Peak<Channel>(s)->date : std::string();
}
template <int Channel>
std::string PeakTime(const FleetSource& s) {
  return Peak<Channel>(s) ? Peak<Channel>(s)->time : std::string();
}

// clang-format off
constexpr std::array<FleetColumn, 33> kFleetColumns = {{
    {"Файл", nullptr},
    {"Номер ограничителя", Data1Text<Data1Row::kLimiterId>},
    {"Дата установки", Data1Text<Data1Row::kInstallDate>},
    {"Дата считывания", Data1Text<Data1Row::kReadDate>},
    {"Класс использования крана", Data1Text<Data1Row::kCraneClass>},
    {"Режим нагружения крана", Data1Text<Data1Row::kCraneMode>},
    {"Группа режима крана", Data1Text<Data1Row::kCraneGroup>},
    {"Класс использования механизма", Data1Text<Data1Row::kMechanismClass>},
    {"Режим нагружения механизма", Data1Text<Data1Row::kMechanismMode>},
    {"Группа режима механизма", Data1Text<Data1Row::kMechanismGroup>},
    {"Моточасы", Data1Text<Data1Row::kEngineHours>},
    {"Записей", [](const FleetSource& s) { return Count(s.summary.records); }},
    {"Наибольшая Л1 [%]", PeakPercent<1>},
    {"Блок наибольшей Л1", PeakBlock<1>},
    {"Дата наибольшей Л1", PeakDate<1>},
    {"Время наибольшей Л1", PeakTime<1>},
    {"Наибольшая Л2 [%]", PeakPercent<2>},
    {"Блок наибольшей Л2", PeakBlock<2>},
    {"Дата наибольшей Л2", PeakDate<2>},
    {"Время наибольшей Л2", PeakTime<2>},
    {"Л1 не ниже 90 %", [](const FleetSource& s) { return Count(s.summary.l1.near_limit); }},
    {"Л1 выше 100 %", [](const FleetSource& s) { return Count(s.summary.l1.overloads); }},
    {"Л2 не ниже 90 %", [](const FleetSource& s) { return Count(s.summary.l2.near_limit); }},
    {"Л2 выше 100 %", [](const FleetSource& s) { return Count(s.summary.l2.overloads); }},
    {"Реле в защите", [](const FleetSource& s) { return Count(s.summary.protection); }},
    {"Ошибка датчика", [](const FleetSource& s) { return Count(s.summary.sensor_faults); }},
    {"Упр", [](const FleetSource& s) { return Count(s.summary.upr); }},
    {"Блкр", [](const FleetSource& s) { return Count(s.summary.blocking); }},
    {"Дата первой записи", [](const FleetSource& s) { return s.summary.first ? s.summary.first->date : std::string(); }},
    {"Время первой записи", [](const FleetSource& s) { return s.summary.first ? s.summary.first->time : std::string(); }},
    {"Дата последней записи", [](const FleetSource& s) { return s.summary.last ? s.summary.last->date : std::string(); }},
    {"Время последней записи", [](const FleetSource& s) { return s.summary.last ? s.summary.last->time : std::string(); }},
    {"Причина", nullptr},
}};
// clang-format on

int NewRow(TextTable& table, const std::string& file_name) {
  const int row = table.RowCount();
  table.SetRowCount(row + 1);
  table.SetCellEx(fleet::kFileColumn, row, file_name);
  return row;
}

}  // namespace

int fleet::ReasonColumn() { return static_cast<int>(kFleetColumns.size()) - 1; }

TextTable MakeFleetTable() {
  TextTable table(1, static_cast<int>(kFleetColumns.size()));
  table.SetFixedRows(1);
  for (std::size_t i = 0; i < kFleetColumns.size(); ++i) table.SetCellEx(static_cast<int>(i), 0, kFleetColumns[i].header);
  return table;
}

bool AddFleetRow(TextTable& table, const std::string& file_name, const KeyImage& image) {
  // The passport as the Data 1 report shows it; its reals are not among the columns.
  TextTable data1 = MakeData1Table({});
  if (!FillData1(data1, image, ".")) {
    AddFleetFailure(table, file_name, texts::kWrongFile);
    return false;
  }
  const EventSummary summary = Summarize(EventPoints(image));
  const FleetSource source{data1, summary};
  const int row = NewRow(table, file_name);
  for (std::size_t i = 0; i < kFleetColumns.size(); ++i) {
    if (kFleetColumns[i].value) table.SetCellEx(static_cast<int>(i), row, kFleetColumns[i].value(source));
  }
  return true;
}

void AddFleetFailure(TextTable& table, const std::string& file_name, const std::string& reason) {
  table.SetCellEx(fleet::ReasonColumn(), NewRow(table, file_name), reason);
}

}  // namespace kd
