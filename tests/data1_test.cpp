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

const std::string kDate = "2024-03-07";

// Column 1 of rows 2 to 31.
std::vector<std::string> Values(const TextTable& table) {
  std::vector<std::string> values;
  for (int row = data1::kFirstFilledRow; row <= data1::kLastFilledRow; ++row) values.push_back(table.GetCellEx(1, row));
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
    if (row == 1 || row == 32) {
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

  EXPECT_EQ(table.GetCellEx(1, 0), "0289");
  EXPECT_EQ(table.GetCellEx(1, 1), "");
  EXPECT_EQ(table.GetCellEx(1, 32), "");
  EXPECT_EQ(table.GetCellEx(1, 33), "Фамилия И.О.");
  EXPECT_EQ(table.GetCellEx(1, 34), "2024-03-07");
  EXPECT_EQ(Values(table), std::vector<std::string>(30));
}

TEST(Data1TableTest, DateText) {
  EXPECT_EQ(DateText(2024, 3, 7), "2024-03-07");
  EXPECT_EQ(DateText(1999, 12, 31), "1999-12-31");
}

TEST(Data1TableTest, HeaderBytesToRowTexts) {
  const struct {
    std::vector<std::pair<std::size_t, std::uint8_t>> bytes;
    int row;
    const char* text;
  } cases[] = {
      {{{9, 0xC8}, {10, 0x02}}, 2, "2007-12"},
      {{}, 2, "2000-00"},
      {{{9, 0x11}, {10, 0x27}}, 2, "20100-01"},  // 10001: the year takes three digits
      {{{3, 12}, {4, 5}, {5, 14}, {6, 30}}, 3, "12-05 14:30"},
      {{{3, 0}, {4, 0}, {5, 0}, {6, 0}}, 3, "00-00 00:00"},
      {{{3, 255}, {4, 100}, {5, 99}, {6, 7}}, 3, "255-100 99:07"},
      {{}, 4, "007"},
      {{{7, 0x39}, {8, 0x30}}, 5, "12345"},
      {{{7, 7}}, 5, "00007"},
      {{}, 6, "0000"},
      {{{43, 200}}, 6, "0200"},
      {{{43, 0x39}, {44, 0x30}}, 6, "12345"},
      {{{29, 2}}, 28, "2"},
      {{{29, 0x2C}, {30, 0x01}}, 28, "300"},
      {{{29, 0xFF}, {30, 0xFF}}, 28, "65535"},
      {{{39, 9}}, 28, "0"},  // L2's ratio is not shown
      {{{13, 0xE2}, {14, 0x04}, {19, 2}}, 29, "12,50 т"},
      {{{13, 0x39}, {14, 0x30}, {19, 2}}, 29, "123,45 т"},
      {{{13, 0xE2}, {14, 0x04}}, 29, "1250 кГ"},
      {{{45, 0x10}, {46, 0x27}, {47, 0x1E}}, 30, "10000:30"},
      {{{45, 123}, {47, 5}}, 30, "00123:05"},
      {{}, 30, "00000:00"},
      {{{47, 75}}, 30, "00000:75"},
      {{{48, 0xFF}, {49, 0xFF}, {50, 0xFF}}, 31, "65535:255"},
      {{{48, 1}, {50, 2}}, 31, "00001:02"},
  };
  for (const auto& c : cases) {
    KeyImage image = Data1Image();
    for (auto [offset, value] : c.bytes) image[offset] = value;
    EXPECT_EQ(Filled(image).GetCellEx(1, c.row), c.text) << "row " << c.row;
  }
}

TEST(Data1TableTest, LoadSpectrumRows) {
  using Rows = std::vector<std::pair<int, std::string>>;
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
       {{7, "00000"}, {8, "00000"}, {9, "00000"}, {10, "00000"}, {11, "00000"}, {12, "00000"}, {13, "0"},
        {14, "0"}, {15, "C0"}, {16, "Q0"}, {17, "--(--)"}, {18, "00000:00"}, {19, "00000:00"}, {20, "00000:00"},
        {21, "00000:00"}, {22, "00000:00"}, {23, "00000:00"}, {24, "0"}, {25, "T0"}, {26, "L1"}, {27, "--"}}},
      {"every counter at its maximum",
       all_max,
       {{7, "65535"}, {11, "65535"}, {12, "327675"}, {13, "230396"}, {14, "0.7031"}, {15, "C5"}, {16, "Q4"},
        {17, "7K(A7)"}, {18, "65535:255"}, {22, "65535:255"}, {23, "327696:15"}, {24, "0.7031"}, {25, "T9"},
        {26, "L4"}, {27, "--"}}},
      {"1000 cycles in Q1",
       {{1000, 0, 0, 0, 0}, {}},
       {{7, "01000"}, {12, "01000"}, {13, "15.625"}, {14, "0.0156"}, {15, "C0"}, {16, "Q0"}, {17, "--(--)"}}},
      {"30000 cycles in Q2",
       {{0, 30000, 0, 0, 0}, {}},
       {{8, "30000"}, {13, "3750"}, {14, "0.125"}, {15, "C1"}, {16, "Q2"}, {17, "1K(A1)"}}},
      {"Kp exactly 0.25", {{0, 6, 0, 1, 0}, {}}, {{14, "0.25"}, {16, "Q3"}, {17, "1K(A1)"}}},
      {"Kp 0.0625, below 0.063", {{4, 3, 0, 0, 0}, {}}, {{14, "0.0625"}, {16, "Q0"}}},
      {"Kp exactly 0.5", {{0, 4, 0, 3, 0}, {}}, {{14, "0.5"}, {16, "Q4"}, {17, "2K(A2)"}}},
      {"15999 cycles", {{15999, 0, 0, 0, 0}, {}}, {{12, "15999"}, {15, "C0"}}},
      {"16000 cycles", {{16000, 0, 0, 0, 0}, {}}, {{12, "16000"}, {15, "C1"}}},
      {"63000 cycles", {{63000, 0, 0, 0, 0}, {}}, {{12, "63000"}, {15, "C3"}}},
      {"200 hours in Q4",
       {{}, {Duration{}, Duration{}, Duration{}, Duration{200, 0}, Duration{}}},
       {{21, "00200:00"}, {23, "00200:00"}, {24, "1"}, {25, "T1"}, {26, "L4"}, {27, "M3"}}},
      {"199 hours 59 minutes in Q4",
       {{}, {Duration{}, Duration{}, Duration{}, Duration{199, 59}, Duration{}}},
       {{25, "T0"}, {27, "M2"}}},
      {"300 hours in Q3",
       {{}, {Duration{}, Duration{}, Duration{300, 0}, Duration{}, Duration{}}},
       {{20, "00300:00"}, {24, "0.4218"}, {25, "T1"}, {26, "L3"}, {27, "M2"}}},
      {"400 hours in Q3",
       {{}, {Duration{}, Duration{}, Duration{400, 0}, Duration{}, Duration{}}},
       {{25, "T2"}, {27, "M3"}}},
      {"loading time in Q2 alone",
       {{}, {Duration{}, Duration{3, 7}, Duration{}, Duration{}, Duration{}}},
       {{19, "00003:07"}, {24, "0.125"}, {26, "L2"}}},
      {"10 hours 59 minutes each",
       {{}, {Duration{10, 59}, Duration{10, 59}, Duration{10, 59}, Duration{10, 59}, Duration{10, 59}}},
       {{18, "00010:59"}, {23, "00054:55"}}},
      {"a minute byte of 75",
       {{}, {Duration{12, 75}, Duration{}, Duration{}, Duration{}, Duration{}}},
       {{18, "00012:75"}, {23, "00013:15"}}},
      {"50000 hours in Q1", {{}, {Duration{50000, 0}}}, {{23, "50000:00"}, {25, "T9"}, {26, "L1"}, {27, "M8"}}},
  };
  for (const auto& c : cases) {
    const TextTable table = Filled(WithCounters(c.counters));
    for (const auto& [row, text] : c.rows) EXPECT_EQ(table.GetCellEx(1, row), text) << c.name << ", row " << row;
  }
}

TEST(Data1TableTest, RealsUseTheGivenSeparator) {
  Counters c;
  c.cycles = {1000, 0, 0, 0, 0};
  c.times = {Duration{}, Duration{}, Duration{300, 0}, Duration{}, Duration{}};
  const TextTable table = Filled(WithCounters(c), ",");
  EXPECT_EQ(table.GetCellEx(1, 13), "15,625");
  EXPECT_EQ(table.GetCellEx(1, 14), "0,0156");
  EXPECT_EQ(table.GetCellEx(1, 24), "0,4218");
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
  EXPECT_EQ(table.GetCellEx(1, 6), "0077");
}

TEST(Data1TableTest, FillKeepsLabelsAndUserRowsAndOverwritesEveryValue) {
  TextTable table = MakeData1Table(kDate);
  table.SetCellEx(1, data1::kCraneNameRow, "КС-45717 № 12");
  table.SetCellEx(1, data1::kSignatureRow, "");
  KeyImage busy = WithCounters({{1, 2, 3, 4, 5}, {Duration{1, 2}, Duration{3, 4}}});
  for (std::size_t offset = 3; offset < header::kCycleCounts; ++offset) busy[offset] = 0x5A;
  ASSERT_TRUE(FillData1(table, busy, "."));
  ASSERT_TRUE(FillData1(table, Data1Image(), "."));

  const TextTable fresh = Filled(Data1Image());
  for (int row = 0; row < 35; ++row) {
    EXPECT_EQ(table.GetCellEx(0, row), fresh.GetCellEx(0, row)) << row;
    if (row == data1::kCraneNameRow || row == data1::kSignatureRow) continue;
    EXPECT_EQ(table.GetCellEx(1, row), fresh.GetCellEx(1, row)) << row;
  }
  EXPECT_EQ(table.GetCellEx(1, data1::kCraneNameRow), "КС-45717 № 12");
  EXPECT_EQ(table.GetCellEx(1, data1::kSignatureRow), "");
}

TEST(Data1TableTest, UnreadBytesAndEventRecordsDoNotMatter) {
  KeyImage noisy = Data1Image();
  for (std::size_t offset : {11, 12, 15, 16, 17, 18, 20, 25, 26, 35, 36, 41, 42}) noisy[offset] = 0xFF;
  for (std::size_t offset = header::kSize; offset < noisy.size(); ++offset) noisy[offset] = 0xFF;
  EXPECT_EQ(Values(Filled(noisy)), Values(Filled(Data1Image())));
}

}  // namespace
}  // namespace kd
