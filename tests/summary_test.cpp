#include "reports/summary.h"

#include <gtest/gtest.h>

#include <limits>

#include "image/event_record.h"
#include "image/header.h"
#include "reports/data1.h"
#include "reports/data2.h"
#include "reports/fleet_table.h"
#include "support/event_image.h"

namespace kd {
namespace {

using test::SetWord;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// A record's cells as a test writes them; what is not given reads as a quiet record.
struct Row {
  const char* l1 = "050";
  const char* l2 = "050";
  const char* sensor = data2::kSensorNormal;
  const char* upr = data2::kFlagClear;
  const char* blocking = data2::kFlagClear;
  const char* relay = data2::kRelayWorking;
};

TextTable Table(const std::vector<Row>& rows) {
  TextTable table = MakeData2Table();
  table.SetRowCount(static_cast<int>(rows.size()) + 1);
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const Row& r = rows[static_cast<std::size_t>(i)];
    const auto set = [&](Data2Column column, std::string text) { table.SetCellEx(ColumnOf(column), RecordRow(i), text); };
    set(Data2Column::kBlock, std::to_string(i));
    set(Data2Column::kDate, "0" + std::to_string(i % 10) + "-12");
    set(Data2Column::kTime, "10:00:0" + std::to_string(i % 10));
    set(Data2Column::kL1, r.l1);
    set(Data2Column::kL2, r.l2);
    set(Data2Column::kSensor, r.sensor);
    set(Data2Column::kUpr, r.upr);
    set(Data2Column::kBlocking, r.blocking);
    set(Data2Column::kRelay, r.relay);
  }
  return table;
}

EventSummary SummaryOf(const std::vector<Row>& rows) { return Summarize(EventPoints(Table(rows))); }

TEST(LoadOfCellTest, ReadsBackEveryLoadTextAndNothingElse) {
  for (std::optional<std::int32_t> load : {std::optional<std::int32_t>{}, {0}, {5}, {-5}, {90}, {100}, {1000}, {-1234},
                                           {kMin}, {kMax}}) {
    EXPECT_EQ(LoadOfCell(LoadText(load)), load) << LoadText(load);
  }
  for (const char* text : {"", "-", "--5", "+5", "-+5", " 5", "5 ", "1e3", "2147483648", "-2147483649", "Защита"}) {
    EXPECT_EQ(LoadOfCell(text), std::nullopt) << text;
  }
}

// Each case is one channel's column; the other channel holds a quiet 050 throughout.
TEST(SummaryTest, ChannelCountsAtEachBound) {
  struct Case {
    std::vector<const char*> loads;
    int near_limit;
    int overloads;
    std::optional<std::int32_t> highest;
    int highest_block;
  };
  const Case cases[] = {
      {{"089"}, 0, 0, 89, 0},
      {{"090"}, 1, 0, 90, 0},
      {{"099"}, 1, 0, 99, 0},
      {{"100"}, 1, 0, 100, 0},
      {{"101"}, 1, 1, 101, 0},
      {{"---"}, 0, 0, std::nullopt, 0},
      {{"---", "---"}, 0, 0, std::nullopt, 0},
      {{"-005", "-010"}, 0, 0, -5, 0},
      {{"-010", "---", "-005"}, 0, 0, -5, 2},
      {{"---", "000"}, 0, 0, 0, 1},
      // The first record to reach the highest load is the one named.
      {{"-005", "---", "120", "090", "120", "089"}, 3, 2, 120, 2},
      {{"2147483647", "-2147483648"}, 1, 1, kMax, 0},
  };
  for (int channel : {1, 2}) {
    for (const Case& c : cases) {
      std::vector<Row> rows;
      for (const char* load : c.loads) rows.push_back(channel == 1 ? Row{.l1 = load} : Row{.l2 = load});
      const EventSummary s = SummaryOf(rows);
      const ChannelSummary& tested = channel == 1 ? s.l1 : s.l2;
      const ChannelSummary& quiet = channel == 1 ? s.l2 : s.l1;
      const std::string what = "L" + std::to_string(channel) + " " + ::testing::PrintToString(c.loads);
      EXPECT_EQ(s.records, static_cast<int>(c.loads.size())) << what;
      EXPECT_EQ(tested.near_limit, c.near_limit) << what;
      EXPECT_EQ(tested.overloads, c.overloads) << what;
      ASSERT_EQ(tested.highest.has_value(), c.highest.has_value()) << what;
      if (c.highest) {
        const std::string block = std::to_string(c.highest_block);
        EXPECT_EQ(*tested.highest, (LoadPeak{*c.highest, c.highest_block, "0" + block + "-12", "10:00:0" + block}))
            << what;
      }
      EXPECT_EQ(quiet, (ChannelSummary{LoadPeak{50, 0, "00-12", "10:00:00"}, 0, 0})) << what;
    }
  }
}

TEST(SummaryTest, StatusCountsTakeOnlyTheExactTexts) {
  using namespace data2;
  const EventSummary s = SummaryOf({
      {.relay = kRelayProtection},
      {.sensor = kSensorFault, .relay = kRelayProtection},
      {.upr = kFlagSet},
      {.upr = kFlagSet, .blocking = kFlagSet},
      {.blocking = kFlagSet},
      {.sensor = kSensorFault, .upr = kFlagSet, .blocking = kFlagSet, .relay = kRelayProtection},
      {.sensor = "Ошибка ", .upr = "Было ", .blocking = "было", .relay = "Защита "},
  });
  EXPECT_EQ(s.records, 7);
  EXPECT_EQ(s.protection, 3);
  EXPECT_EQ(s.sensor_faults, 2);
  EXPECT_EQ(s.upr, 3);
  EXPECT_EQ(s.blocking, 3);
  EXPECT_EQ(s.first, (RecordMoment{"00-12", "10:00:00"}));
  EXPECT_EQ(s.last, (RecordMoment{"06-12", "10:00:06"}));
}

TEST(SummaryTest, AnEmptyLogHasNoPeaksAndNoMoments) {
  const EventSummary s = SummaryOf({});
  EXPECT_EQ(s, EventSummary{});
  const auto lines = SummaryLines(s);
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0], (std::pair<std::string, std::string>{"Записей", "0"}));
  EXPECT_EQ(lines[1].second, "---");
  EXPECT_EQ(lines[12].second, "---");
}

TEST(SummaryTest, PeakTextNamesBlockDateAndTime) {
  EXPECT_EQ(PeakText(LoadPeak{120, 12, "05-12", "07:05:00"}), "120 % (блок 0012, 05-12 07:05:00)");
  EXPECT_EQ(PeakText(LoadPeak{-5, 4674, "31-12", "23:59:59"}), "-5 % (блок 4674, 31-12 23:59:59)");
  EXPECT_EQ(PeakText(std::nullopt), "---");
}

// From the image: the points are the cells of the Data 2 fill, marks from the status bits.
TEST(EventPointsTest, FromTheImageAsTheCellsShowIt) {
  KeyImage image{};
  test::SetBlockCount(image, 4);
  SetWord(image, header::kLiftingCapacity, 1000);
  for (std::size_t base : {header::kL1Calibration, header::kL2Calibration}) {
    SetWord(image, base, 1000);
    SetWord(image, base + 2, 3000);
    SetWord(image, base + 6, 500);
    SetWord(image, base + 8, 1);
  }
  SetWord(image, header::kL2Calibration + 6, 0);  // no L2 slope: every L2 cell reads "---"
  const std::uint8_t status[] = {0x00, 0x3C, 0x01, 0xC2};
  const std::uint16_t l1[] = {4600, 5039, 600, 1000};  // 90, 100.975, -10, 0 per cent
  for (std::size_t i = 0; i < 4; ++i) {
    test::RecordBytes bytes{31, 12, 23, 59, static_cast<std::uint8_t>(i), 1, 2, 3};
    bytes[8] = static_cast<std::uint8_t>(l1[i]);
    bytes[9] = static_cast<std::uint8_t>(l1[i] >> 8);
    bytes[13] = status[i];
    test::SetRecord(image, i, bytes);
  }
  const std::vector<EventPoint> points = EventPoints(image);
  const unsigned all = kMarkProtection | kMarkSensorFault | kMarkUpr | kMarkBlocking;
  const std::vector<EventPoint> expected = {
      {0, "31-12", "23:59:00", 90, std::nullopt, 0},
      {1, "31-12", "23:59:01", 100, std::nullopt, all},
      {2, "31-12", "23:59:02", -10, std::nullopt, kMarkProtection},
      {3, "31-12", "23:59:03", 0, std::nullopt, 0},
  };
  EXPECT_EQ(points, expected);
}

TEST(FleetTableTest, ARowFromTheData1CellsAndTheSummary) {
  test::Counters counters;
  counters.cycles = {100, 50, 20, 5, 1};
  counters.times = {Duration{10, 30}, Duration{5, 0}, Duration{2, 15}, Duration{0, 40}, Duration{0, 1}};
  KeyImage image = test::WithCounters(counters);
  SetWord(image, header::kLimiterId, 4711);
  test::SetBlockCount(image, 2);

  TextTable fleet = MakeFleetTable();
  EXPECT_TRUE(AddFleetRow(fleet, "a.512", image));
  KeyImage refused = image;
  refused[header::kFormatVersion] = 6;
  EXPECT_FALSE(AddFleetRow(fleet, "b.512", refused));
  AddFleetFailure(fleet, "c.512", "нет такого файла");
  ASSERT_EQ(fleet.RowCount(), 4);

  TextTable data1 = MakeData1Table({});
  ASSERT_TRUE(FillData1(data1, image, "."));
  const auto column = [&](const std::string& header) {
    for (int c = 0; c < fleet.ColCount(); ++c) {
      if (fleet.GetCellEx(c, 0) == header) return c;
    }
    ADD_FAILURE() << header;
    return 0;
  };
  const std::pair<const char*, Data1Row> from_data1[] = {
      {"Номер ограничителя", Data1Row::kLimiterId},           {"Дата установки", Data1Row::kInstallDate},
      {"Дата считывания", Data1Row::kReadDate},               {"Класс использования крана", Data1Row::kCraneClass},
      {"Режим нагружения крана", Data1Row::kCraneMode},       {"Группа режима крана", Data1Row::kCraneGroup},
      {"Класс использования механизма", Data1Row::kMechanismClass},
      {"Режим нагружения механизма", Data1Row::kMechanismMode}, {"Группа режима механизма", Data1Row::kMechanismGroup},
      {"Моточасы", Data1Row::kEngineHours},
  };
  for (const auto& [header, row] : from_data1) EXPECT_EQ(fleet.GetCellEx(column(header), 1), Data1Value(data1, row)) << header;
  EXPECT_EQ(fleet.GetCellEx(column("Номер ограничителя"), 1), "04711");
  EXPECT_EQ(fleet.GetCellEx(column("Записей"), 1), "2");
  EXPECT_EQ(fleet.GetCellEx(fleet::ReasonColumn(), 1), "");

  for (int row : {2, 3}) {
    for (int c = 1; c < fleet::ReasonColumn(); ++c) EXPECT_EQ(fleet.GetCellEx(c, row), "") << row << " " << c;
  }
  EXPECT_EQ(fleet.GetCellEx(fleet::kFileColumn, 2), "b.512");
  EXPECT_EQ(fleet.GetCellEx(fleet::ReasonColumn(), 2), "Файл не верный !");
  EXPECT_EQ(fleet.GetCellEx(fleet::ReasonColumn(), 3), "нет такого файла");
}

}  // namespace
}  // namespace kd
