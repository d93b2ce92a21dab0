#include "reports/data1.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/header_image.h"

namespace kd {
namespace {

using test::Counters;
using test::Data1Image;
using test::SetWord;
using test::WithCounters;

using R = Data1Row;

const std::string kDate = "2024-03-07";

// The values of every row made from the image.
std::vector<std::string> Values(const TextTable& table) {
  std::vector<std::string> values;
  for (const Data1RowSpec& row : kData1Rows) {
    if (row.value) values.push_back(Data1Value(table, row.id));
  }
  return values;
}

TextTable Filled(const KeyImage& image, std::string_view separator = ".") {
  TextTable table = MakeData1Table(kDate);
  EXPECT_TRUE(FillData1(table, image, separator));
  return table;
}

TEST(Data1TableTest, CreatedWithLabelsAndInitialValues) {
  const TextTable table = MakeData1Table(kDate);
  ASSERT_EQ(table.RowCount(), 35);
  ASSERT_EQ(table.ColCount(), 2);
  EXPECT_EQ(table.FixedRows(), 0);
  for (int row = 0; row < 35; ++row) {
    const std::string& label = table.GetCellEx(0, row);
    if (row == RowOf(Data1Row::kGap1) || row == RowOf(Data1Row::kGap2)) {
      EXPECT_EQ(label, "");
    } else {
      EXPECT_TRUE(label.starts_with(" ") && label.ends_with(":")) << row << ": " << label;
    }
  }
  // The labels whose blanks are easy to lose.
  EXPECT_EQ(table.GetCellEx(0, 0), " Наименование крана, его номер:");
  EXPECT_EQ(table.GetCellEx(0, 7), " Циклов с загрузкой  Q1 = 05 - 24%:");
  EXPECT_EQ(table.GetCellEx(0, 11), " Циклов с загрузкой  Q5   >   100%:");
  EXPECT_EQ(table.GetCellEx(0, 14), " Коэф-т распр-я нагрузки ' Kp ' :");
  EXPECT_EQ(table.GetCellEx(0, 24), " Коэф-т распр-я нагрузки ' Km ' :");
  EXPECT_EQ(table.GetCellEx(0, 33), " Подпись (ФИО):");
  EXPECT_EQ(table.GetCellEx(0, 34), " Дата:");

  EXPECT_EQ(Data1Value(table, Data1Row::kCraneName), "0289");
  EXPECT_EQ(Data1Value(table, Data1Row::kGap1), "");
  EXPECT_EQ(Data1Value(table, Data1Row::kGap2), "");
  EXPECT_EQ(Data1Value(table, Data1Row::kSignature), "Фамилия И.О.");
  EXPECT_EQ(Data1Value(table, Data1Row::kDate), "2024-03-07");
  EXPECT_EQ(Values(table), std::vector<std::string>(30));
}

TEST(Data1TableTest, DateText) {
  EXPECT_EQ(DateText(2024, 3, 7), "2024-03-07");
  EXPECT_EQ(DateText(1999, 12, 31), "1999-12-31");
}

TEST(Data1TableTest, HeaderBytesToRowTexts) {
  const struct {
    std::vector<std::pair<std::size_t, std::uint8_t>> bytes;
    Data1Row row;
    const char* text;
  } cases[] = {
      {{{9, 0xC8}, {10, 0x02}}, R::kInstallDate, "2007-12"},
      {{}, R::kInstallDate, "2000-00"},
      {{{9, 0x11}, {10, 0x27}}, R::kInstallDate, "20100-01"},  // 10001: the year takes three digits
      {{{3, 12}, {4, 5}, {5, 14}, {6, 30}}, R::kReadDate, "12-05 14:30"},
      {{{3, 0}, {4, 0}, {5, 0}, {6, 0}}, R::kReadDate, "00-00 00:00"},
      {{{3, 255}, {4, 100}, {5, 99}, {6, 7}}, R::kReadDate, "255-100 99:07"},
      {{}, R::kFormatVersion, "007"},
      {{{7, 0x39}, {8, 0x30}}, R::kLimiterId, "12345"},
      {{{7, 7}}, R::kLimiterId, "00007"},
      {{}, R::kBlockCount, "0000"},
      {{{43, 200}}, R::kBlockCount, "0200"},
      {{{43, 0x39}, {44, 0x30}}, R::kBlockCount, "12345"},
      {{{29, 2}}, R::kLoadRatio, "2"},
      {{{29, 0x2C}, {30, 0x01}}, R::kLoadRatio, "300"},
      {{{29, 0xFF}, {30, 0xFF}}, R::kLoadRatio, "65535"},
      {{{39, 9}}, R::kLoadRatio, "0"},  // L2's ratio is not shown
      {{{13, 0xE2}, {14, 0x04}, {19, 2}}, R::kLiftingCapacity, "12,50 т"},
      {{{13, 0x39}, {14, 0x30}, {19, 2}}, R::kLiftingCapacity, "123,45 т"},
      {{{13, 0xE2}, {14, 0x04}}, R::kLiftingCapacity, "1250 кГ"},
      {{{45, 0x10}, {46, 0x27}, {47, 0x1E}}, R::kEngineHours, "10000:30"},
      {{{45, 123}, {47, 5}}, R::kEngineHours, "00123:05"},
      {{}, R::kEngineHours, "00000:00"},
      {{{47, 75}}, R::kEngineHours, "00000:75"},
      {{{48, 0xFF}, {49, 0xFF}, {50, 0xFF}}, R::kLastOverloadHour, "65535:255"},
      {{{48, 1}, {50, 2}}, R::kLastOverloadHour, "00001:02"},
  };
  for (const auto& c : cases) {
    KeyImage image = Data1Image();
    for (auto [offset, value] : c.bytes) image[offset] = value;
    EXPECT_EQ(Data1Value(Filled(image), c.row), c.text) << "row " << RowOf(c.row);
  }
}

TEST(Data1TableTest, LoadSpectrumRows) {
  using Rows = std::vector<std::pair<Data1Row, std::string>>;
  Counters all_max;
  all_max.cycles.fill(65535);
  all_max.times.fill(Duration{65535, 255});
  const struct {
    const char* name;
    Counters counters;
    Rows rows;
  } cases[] = {
      {"nothing counted",
       {},
       {{R::kCyclesQ1, "00000"}, {R::kCyclesQ2, "00000"}, {R::kCyclesQ3, "00000"}, {R::kCyclesQ4, "00000"}, {R::kCyclesQ5, "00000"}, {R::kTotalCycles, "00000"}, {R::kCharacteristicNumber, "0"},
        {R::kKp, "0"}, {R::kCraneClass, "C0"}, {R::kCraneMode, "Q0"}, {R::kCraneGroup, "--(--)"}, {R::kLoadTimeQ1, "00000:00"}, {R::kLoadTimeQ2, "00000:00"}, {R::kLoadTimeQ3, "00000:00"},
        {R::kLoadTimeQ4, "00000:00"}, {R::kLoadTimeQ5, "00000:00"}, {R::kTotalLoadTime, "00000:00"}, {R::kKm, "0"}, {R::kMechanismClass, "T0"}, {R::kMechanismMode, "L1"}, {R::kMechanismGroup, "--"}}},
      {"every counter at its maximum",
       all_max,
       {{R::kCyclesQ1, "65535"}, {R::kCyclesQ5, "65535"}, {R::kTotalCycles, "327675"}, {R::kCharacteristicNumber, "230396"}, {R::kKp, "0.7031"}, {R::kCraneClass, "C5"}, {R::kCraneMode, "Q4"},
        {R::kCraneGroup, "7K(A7)"}, {R::kLoadTimeQ1, "65535:255"}, {R::kLoadTimeQ5, "65535:255"}, {R::kTotalLoadTime, "327696:15"}, {R::kKm, "0.7031"}, {R::kMechanismClass, "T9"},
        {R::kMechanismMode, "L4"}, {R::kMechanismGroup, "--"}}},
      {"1000 cycles in Q1",
       {{1000, 0, 0, 0, 0}, {}},
       {{R::kCyclesQ1, "01000"}, {R::kTotalCycles, "01000"}, {R::kCharacteristicNumber, "15.625"}, {R::kKp, "0.0156"}, {R::kCraneClass, "C0"}, {R::kCraneMode, "Q0"}, {R::kCraneGroup, "--(--)"}}},
      {"30000 cycles in Q2",
       {{0, 30000, 0, 0, 0}, {}},
       {{R::kCyclesQ2, "30000"}, {R::kCharacteristicNumber, "3750"}, {R::kKp, "0.125"}, {R::kCraneClass, "C1"}, {R::kCraneMode, "Q2"}, {R::kCraneGroup, "1K(A1)"}}},
      {"Kp exactly 0.25", {{0, 6, 0, 1, 0}, {}}, {{R::kKp, "0.25"}, {R::kCraneMode, "Q3"}, {R::kCraneGroup, "1K(A1)"}}},
      {"Kp 0.0625, below 0.063", {{4, 3, 0, 0, 0}, {}}, {{R::kKp, "0.0625"}, {R::kCraneMode, "Q0"}}},
      {"Kp exactly 0.5", {{0, 4, 0, 3, 0}, {}}, {{R::kKp, "0.5"}, {R::kCraneMode, "Q4"}, {R::kCraneGroup, "2K(A2)"}}},
      {"15999 cycles", {{15999, 0, 0, 0, 0}, {}}, {{R::kTotalCycles, "15999"}, {R::kCraneClass, "C0"}}},
      {"16000 cycles", {{16000, 0, 0, 0, 0}, {}}, {{R::kTotalCycles, "16000"}, {R::kCraneClass, "C1"}}},
      {"63000 cycles", {{63000, 0, 0, 0, 0}, {}}, {{R::kTotalCycles, "63000"}, {R::kCraneClass, "C3"}}},
      {"200 hours in Q4",
       {{}, {Duration{}, Duration{}, Duration{}, Duration{200, 0}, Duration{}}},
       {{R::kLoadTimeQ4, "00200:00"}, {R::kTotalLoadTime, "00200:00"}, {R::kKm, "1"}, {R::kMechanismClass, "T1"}, {R::kMechanismMode, "L4"}, {R::kMechanismGroup, "M3"}}},
      {"199 hours 59 minutes in Q4",
       {{}, {Duration{}, Duration{}, Duration{}, Duration{199, 59}, Duration{}}},
       {{R::kMechanismClass, "T0"}, {R::kMechanismGroup, "M2"}}},
      {"300 hours in Q3",
       {{}, {Duration{}, Duration{}, Duration{300, 0}, Duration{}, Duration{}}},
       {{R::kLoadTimeQ3, "00300:00"}, {R::kKm, "0.4218"}, {R::kMechanismClass, "T1"}, {R::kMechanismMode, "L3"}, {R::kMechanismGroup, "M2"}}},
      {"400 hours in Q3",
       {{}, {Duration{}, Duration{}, Duration{400, 0}, Duration{}, Duration{}}},
       {{R::kMechanismClass, "T2"}, {R::kMechanismGroup, "M3"}}},
      {"loading time in Q2 alone",
       {{}, {Duration{}, Duration{3, 7}, Duration{}, Duration{}, Duration{}}},
       {{R::kLoadTimeQ2, "00003:07"}, {R::kKm, "0.125"}, {R::kMechanismMode, "L2"}}},
      {"10 hours 59 minutes each",
       {{}, {Duration{10, 59}, Duration{10, 59}, Duration{10, 59}, Duration{10, 59}, Duration{10, 59}}},
       {{R::kLoadTimeQ1, "00010:59"}, {R::kTotalLoadTime, "00054:55"}}},
      {"a minute byte of 75",
       {{}, {Duration{12, 75}, Duration{}, Duration{}, Duration{}, Duration{}}},
       {{R::kLoadTimeQ1, "00012:75"}, {R::kTotalLoadTime, "00013:15"}}},
      {"50000 hours in Q1", {{}, {Duration{50000, 0}}}, {{R::kTotalLoadTime, "50000:00"}, {R::kMechanismClass, "T9"}, {R::kMechanismMode, "L1"}, {R::kMechanismGroup, "M8"}}},
  };
  for (const auto& c : cases) {
    const TextTable table = Filled(WithCounters(c.counters));
    for (const auto& [row, text] : c.rows) EXPECT_EQ(Data1Value(table, row), text) << c.name << ", row " << RowOf(row);
  }
}

TEST(Data1TableTest, RealsUseTheGivenSeparator) {
  Counters c;
  c.cycles = {1000, 0, 0, 0, 0};
  c.times = {Duration{}, Duration{}, Duration{300, 0}, Duration{}, Duration{}};
  const TextTable table = Filled(WithCounters(c), ",");
  EXPECT_EQ(Data1Value(table, Data1Row::kCharacteristicNumber), "15,625");
  EXPECT_EQ(Data1Value(table, Data1Row::kKp), "0,0156");
  EXPECT_EQ(Data1Value(table, Data1Row::kKm), "0,4218");
}

TEST(Data1TableTest, ARefusedImageChangesNothing) {
  TextTable table = MakeData1Table(kDate);
  KeyImage refused = WithCounters({{1, 2, 3, 4, 5}, {}});
  for (auto [first, second, version] : {std::array<std::uint8_t, 3>{0xAA, 0x55, 6}, {0xAA, 0x55, 8}, {0x55, 0xAA, 7}}) {
    refused[0] = first;
    refused[1] = second;
    refused[2] = version;
    EXPECT_FALSE(FillData1(table, refused, "."));
    EXPECT_EQ(Values(table), std::vector<std::string>(30));
  }

  Counters accepted_counters;
  accepted_counters.cycles = {10, 20, 30, 40, 50};
  KeyImage accepted = WithCounters(accepted_counters);
  SetWord(accepted, header::kBlockCount, 77);
  ASSERT_TRUE(FillData1(table, accepted, "."));
  const std::vector<std::string> shown = Values(table);
  EXPECT_FALSE(FillData1(table, refused, "."));
  EXPECT_EQ(Values(table), shown);
  EXPECT_EQ(Data1Value(table, Data1Row::kBlockCount), "0077");
}

TEST(Data1TableTest, FillKeepsLabelsAndUserRowsAndOverwritesEveryValue) {
  TextTable table = MakeData1Table(kDate);
  SetData1Value(table, Data1Row::kCraneName, "КС-45717 № 12");
  SetData1Value(table, Data1Row::kSignature, "");
  KeyImage busy = WithCounters({{1, 2, 3, 4, 5}, {Duration{1, 2}, Duration{3, 4}}});
  for (std::size_t offset = 3; offset < header::kCycleCounts; ++offset) busy[offset] = 0x5A;
  ASSERT_TRUE(FillData1(table, busy, "."));
  ASSERT_TRUE(FillData1(table, Data1Image(), "."));

  const TextTable fresh = Filled(Data1Image());
  for (int row = 0; row < 35; ++row) {
    EXPECT_EQ(table.GetCellEx(0, row), fresh.GetCellEx(0, row)) << row;
    if (row == RowOf(Data1Row::kCraneName) || row == RowOf(Data1Row::kSignature)) continue;
    EXPECT_EQ(table.GetCellEx(1, row), fresh.GetCellEx(1, row)) << row;
  }
  EXPECT_EQ(Data1Value(table, Data1Row::kCraneName), "КС-45717 № 12");
  EXPECT_EQ(Data1Value(table, Data1Row::kSignature), "");
}

TEST(Data1TableTest, UnreadBytesAndEventRecordsDoNotMatter) {
  KeyImage noisy = Data1Image();
  for (std::size_t offset : {11, 12, 15, 16, 17, 18, 20, 25, 26, 35, 36, 41, 42}) noisy[offset] = 0xFF;
  for (std::size_t offset = header::kSize; offset < noisy.size(); ++offset) noisy[offset] = 0xFF;
  EXPECT_EQ(Values(Filled(noisy)), Values(Filled(Data1Image())));
}

}  // namespace
}  // namespace kd
