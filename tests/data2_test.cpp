#include "reports/data2.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <vector>

#include "image/event_record.h"
#include "image/header.h"
#include "reports/number_text.h"
#include "support/event_image.h"

namespace kd {
namespace {

using test::RecordBytes;
using test::SetBlockCount;
using test::SetRecord;
using test::SetWord;

struct Channel {
  std::uint16_t zero_code, ref_code, ref_load, ratio;
};

void PutChannel(KeyImage& image, std::size_t base, Channel channel) {
  SetWord(image, base, channel.zero_code);
  SetWord(image, base + 2, channel.ref_code);
  SetWord(image, base + 6, channel.ref_load);
  SetWord(image, base + 8, channel.ratio);
}

KeyImage Key(std::uint16_t block_count, std::uint16_t capacity = 1000, Channel l1 = {1000, 3000, 500, 1},
             Channel l2 = {1000, 3000, 500, 1}) {
  KeyImage image{};
  SetBlockCount(image, block_count);
  SetWord(image, header::kLiftingCapacity, capacity);
  PutChannel(image, header::kL1Calibration, l1);
  PutChannel(image, header::kL2Calibration, l2);
  return image;
}

RecordBytes WithCodes(std::uint16_t l1, std::uint16_t l2) {
  RecordBytes bytes{};
  bytes[8] = static_cast<std::uint8_t>(l1);
  bytes[9] = static_cast<std::uint8_t>(l1 >> 8);
  bytes[10] = static_cast<std::uint8_t>(l2);
  bytes[11] = static_cast<std::uint8_t>(l2 >> 8);
  return bytes;
}

std::vector<std::string> Row(const TextTable& table, int row) {
  std::vector<std::string> texts;
  for (int column = 0; column < table.ColCount(); ++column) texts.push_back(table.GetCellEx(column, row));
  return texts;
}

// The table a window would hold after one show of `image`.
TextTable Shown(const KeyImage& image) {
  TextTable table = MakeData2Table();
  FillData2(table, image);
  return table;
}

const std::vector<std::string> kHeader = {"Блок", "Дата",   "Время", "Л1 [%]", "Л2 [%]", "Период",
                                          "Датчик", "Упр", "Блкр", "Контр.вх", "Реле"};

TEST(LoadPercentTest, HeaderValuesAreRoundedToSingle) {
  // The capacity is halved as an integer first: an odd capacity loses its last unit.
  EXPECT_EQ(ChannelLoadScale(Key(0, 1001), 1).capacity_percent_unit, 10.0f);
  EXPECT_EQ(ChannelLoadScale(Key(0, 101), 1).capacity_percent_unit, 1.0f);
  EXPECT_EQ(ChannelLoadScale(Key(0, 1000), 1).channel_slope, 4.0f);
  EXPECT_EQ(ChannelLoadScale(Key(0, 1000, {1000, 3000, 500, 1}, {0, 1000, 3, 1}), 2).channel_slope,
            static_cast<float>(1000.0L / 3));
}

// Each code is read on both channels, L1 holding the case's calibration and L2 another one, then
// the other way round, so that each channel is seen to use its own calibration.
TEST(LoadPercentTest, LoadCellsFollowTheHeaderCalibration) {
  struct Case {
    const char* what;
    std::uint16_t capacity;
    Channel channel;
    std::uint16_t code;
    const char* text;
  };
  const Channel example{1000, 3000, 500, 1};
  const Case cases[] = {
      {"worked example, at the reference", 1000, example, 3000, "050"},
      {"worked example, at zero", 1000, example, 1000, "000"},
      {"worked example, 9.975 truncated", 1000, example, 1399, "009"},
      {"worked example, ten times the capacity", 1000, example, 41000, "1000"},
      {"worked example with ratio 2", 1000, {1000, 3000, 500, 2}, 3000, "100"},
      {"odd capacity: the unit is 1.0, not 1.01", 101, {0, 400, 100, 1}, 404, "101"},
      {"the slope is stored as single: 2.9999999 truncates to 2", 1000, {0, 1000, 3, 1}, 10000, "002"},
      {"below the zero code", 1000, example, 800, "-005"},
      {"just below the zero code truncates to zero", 1000, example, 999, "000"},
      {"reference below the zero code: negative slope", 1000, {3000, 1000, 500, 1}, 1000, "050"},
      {"zero reference load", 1000, {1000, 3000, 0, 1}, 3000, "---"},
      {"zero ratio", 1000, {1000, 3000, 500, 0}, 3000, "---"},
      {"capacity 1 gives a zero unit", 1, example, 3000, "---"},
      {"capacity 0", 0, example, 1000, "---"},
      {"reference at the zero code: zero slope", 1000, {1000, 1000, 500, 1}, 3000, "---"},
      {"too large for 32 bits", 2, {0, 1, 65535, 65535}, 65535, "---"},
      {"too small for 32 bits", 2, {65534, 65535, 65535, 65535}, 0, "---"},
  };
  const Channel other{0, 100, 100, 1};  // one code per unit of load
  const std::uint16_t other_code = 500;       // 50 % of a capacity of 1000
  for (const Case& c : cases) {
    KeyImage on_l1 = Key(1, c.capacity, c.channel, other);
    SetRecord(on_l1, 0, WithCodes(c.code, other_code));
    KeyImage on_l2 = Key(1, c.capacity, other, c.channel);
    SetRecord(on_l2, 0, WithCodes(other_code, c.code));
    const TextTable l1 = Shown(on_l1), l2 = Shown(on_l2);
    EXPECT_EQ(l1.GetCellEx(3, 1), c.text) << c.what;
    EXPECT_EQ(l2.GetCellEx(4, 1), c.text) << c.what;
    if (c.capacity == 1000) {
      EXPECT_EQ(l1.GetCellEx(4, 1), "050") << c.what;
      EXPECT_EQ(l2.GetCellEx(3, 1), "050") << c.what;
    }
    // A load that cannot be worked out touches no other column.
    EXPECT_EQ(l1.GetCellEx(0, 1), "0000") << c.what;
    EXPECT_EQ(l1.GetCellEx(10, 1), "Работа") << c.what;
  }
}

TEST(LoadPercentTest, NegativeAndEmptyLoadTexts) {
  EXPECT_EQ(LoadText(std::nullopt), "---");
  EXPECT_EQ(LoadText(0), "000");
  EXPECT_EQ(LoadText(-5), "-005");
  EXPECT_EQ(LoadText(-1234), "-1234");
  EXPECT_EQ(LoadText(std::numeric_limits<std::int32_t>::min()), "-2147483648");
  EXPECT_EQ(LoadText(std::numeric_limits<std::int32_t>::max()), "2147483647");
}

// Every column but the loads, from the record's bytes.
TEST(FillEventRowTest, ColumnsShowTheBytesAsStored) {
  struct Case {
    const char* what;
    RecordBytes bytes;
    std::vector<std::string> texts;  // columns 1, 2, 5 to 10
  };
  const Case cases[] = {
      {"all zero", {}, {"00-00", "00:00:00", "00:00:00", "Норма ", "Нет ", "Нет ", "00000000", "Работа"}},
      {"date, time, period", {31, 12, 23, 59, 5, 1, 2, 3},
       {"31-12", "23:59:05", "01:02:03", "Норма ", "Нет ", "Нет ", "00000000", "Работа"}},
      {"single digits are padded", {5, 12, 7, 5, 0, 9, 8, 7},
       {"05-12", "07:05:00", "09:08:07", "Норма ", "Нет ", "Нет ", "00000000", "Работа"}},
      {"no range checks, no BCD", {0x17, 200, 24, 75, 255, 100, 61, 99},
       {"23-200", "24:75:255", "100:61:99", "Норма ", "Нет ", "Нет ", "00000000", "Работа"}},
      {"period marker first", {0, 0, 0, 0, 0, 55, 0, 0}, {"00-00", "00:00:00", "00:00:00", "Норма ", "Нет ", "Нет ", "00000000", "Работа"}},
      {"period marker last", {0, 0, 0, 0, 0, 1, 2, 55}, {"00-00", "00:00:00", "00:00:00", "Норма ", "Нет ", "Нет ", "00000000", "Работа"}},
      {"period marker in the middle", {0, 0, 0, 0, 0, 12, 55, 3}, {"00-00", "00:00:00", "00:00:00", "Норма ", "Нет ", "Нет ", "00000000", "Работа"}},
      {"0x55 is no marker", {0, 0, 0, 0, 0, 12, 85, 3}, {"00-00", "00:00:00", "12:85:03", "Норма ", "Нет ", "Нет ", "00000000", "Работа"}},
      {"85 first", {0, 0, 0, 0, 0, 85, 0, 0}, {"00-00", "00:00:00", "85:00:00", "Норма ", "Нет ", "Нет ", "00000000", "Работа"}},
      {"55 outside the period", {55, 55, 55, 55, 55, 1, 1, 1}, {"55-55", "55:55:55", "01:01:01", "Норма ", "Нет ", "Нет ", "00000000", "Работа"}},
      {"status 0x3C", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x3C}, {"00-00", "00:00:00", "00:00:00", "Ошибка", "Было", "Было", "00000000", "Защита"}},
      {"status 0x01", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01}, {"00-00", "00:00:00", "00:00:00", "Норма ", "Нет ", "Нет ", "00000000", "Защита"}},
      {"status 0x04", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x04}, {"00-00", "00:00:00", "00:00:00", "Норма ", "Нет ", "Нет ", "00000000", "Защита"}},
      {"status 0x05", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x05}, {"00-00", "00:00:00", "00:00:00", "Норма ", "Нет ", "Нет ", "00000000", "Защита"}},
      {"status 0x3A", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x3A}, {"00-00", "00:00:00", "00:00:00", "Ошибка", "Было", "Было", "00000000", "Работа"}},
      {"status 0x10", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10}, {"00-00", "00:00:00", "00:00:00", "Норма ", "Было", "Нет ", "00000000", "Работа"}},
      {"status 0x08", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x08}, {"00-00", "00:00:00", "00:00:00", "Норма ", "Нет ", "Было", "00000000", "Работа"}},
      {"unused status bits only", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xC2}, {"00-00", "00:00:00", "00:00:00", "Норма ", "Нет ", "Нет ", "00000000", "Работа"}},
      {"control inputs 0xA5", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xA5, 0}, {"00-00", "00:00:00", "00:00:00", "Норма ", "Нет ", "Нет ", "10100101", "Работа"}},
      {"control input 7", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0}, {"00-00", "00:00:00", "00:00:00", "Норма ", "Нет ", "Нет ", "10000000", "Работа"}},
      {"control input 0", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0}, {"00-00", "00:00:00", "00:00:00", "Норма ", "Нет ", "Нет ", "00000001", "Работа"}},
  };
  for (const Case& c : cases) {
    KeyImage image = Key(1);
    SetRecord(image, 0, c.bytes);
    const std::vector<std::string> row = Row(Shown(image), 1);
    EXPECT_EQ((std::vector<std::string>{row[1], row[2], row[5], row[6], row[7], row[8], row[9], row[10]}), c.texts)
        << c.what;
  }
}

TEST(FillData2Test, OneRowPerRecordUnderTheHeader) {
  TextTable table = MakeData2Table();
  EXPECT_EQ(table.RowCount(), 1);
  EXPECT_EQ(table.FixedRows(), 1);
  EXPECT_EQ(Row(table, 0), kHeader);

  // Bytes past BlockCount are never shown.
  KeyImage image = Key(0);
  for (std::size_t i = event::kFirst; i < image.size(); ++i) image[i] = 0x3C;
  FillData2(table, image);
  EXPECT_EQ(table.RowCount(), 1);
  EXPECT_EQ(Row(table, 0), kHeader);

  SetBlockCount(image, 3);
  FillData2(table, image);
  ASSERT_EQ(table.RowCount(), 4);
  for (int row = 1; row <= 3; ++row) EXPECT_EQ(table.GetCellEx(0, row), PadNumber(static_cast<std::uint32_t>(row - 1), 4));
  EXPECT_EQ(table.GetCellEx(6, 3), "Ошибка");

  // A later fill from a smaller log leaves no row of the earlier one, and rewrites every cell.
  KeyImage other = Key(1);
  FillData2(table, other);
  ASSERT_EQ(table.RowCount(), 2);
  EXPECT_EQ(Row(table, 0), kHeader);
  EXPECT_EQ(Row(table, 1), (std::vector<std::string>{"0000", "00-00", "00:00:00", "-025", "-025", "00:00:00", "Норма ",
                                                     "Нет ", "Нет ", "00000000", "Работа"}));
}

TEST(FillData2Test, AFullKeyEndsAtTheLastRecordThatFits) {
  for (std::uint16_t block_count : {4675, 4676, 65535}) {
    KeyImage image = Key(block_count);
    RecordBytes last = WithCodes(3000, 1000);
    last[0] = 9;
    last[13] = 0x20;
    SetRecord(image, 4674, last);
    const TextTable table = Shown(image);
    ASSERT_EQ(table.RowCount(), 4676) << block_count;
    EXPECT_EQ(Row(table, 4675), (std::vector<std::string>{"4674", "09-00", "00:00:00", "050", "000", "00:00:00",
                                                          "Ошибка", "Нет ", "Нет ", "00000000", "Работа"}))
        << block_count;
  }
}

}  // namespace
}  // namespace kd
