#include "image/header.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

KeyImage With(std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes) {
  KeyImage image{};
  for (auto [offset, value] : bytes) image[offset] = value;
  return image;
}

TEST(HeaderTest, Data1AcceptsOnlySignatureAndVersion7) {
  EXPECT_TRUE(IsData1Image(With({{0, 0xAA}, {1, 0x55}, {2, 7}})));
  EXPECT_FALSE(IsData1Image(With({{0, 0xAA}, {1, 0x55}, {2, 6}})));
  EXPECT_FALSE(IsData1Image(With({{0, 0xAA}, {1, 0x55}, {2, 8}})));
  EXPECT_FALSE(IsData1Image(With({{0, 0x55}, {1, 0xAA}, {2, 7}})));
}

TEST(HeaderTest, FieldsAreLittleEndianAndNotBcd) {
  const KeyImage image = With({{7, 0x39}, {8, 0x30}, {9, 0xC8}, {10, 0x02}, {43, 0xFF}, {44, 0xFF},
                               {45, 0x10}, {46, 0x27}, {47, 0x1E}, {21, 0xE8}, {22, 0x03}, {23, 0xB8},
                               {24, 0x0B}, {25, 0x77}, {26, 0x77}, {27, 0xF4}, {28, 0x01}, {29, 2},
                               {31, 1}, {33, 2}, {37, 3}, {39, 4}});
  EXPECT_EQ(WordAt(image, header::kLimiterId), 12345);
  EXPECT_EQ(WordAt(image, header::kInstallDate), 712);
  EXPECT_EQ(BlockCount(image), 65535);
  EXPECT_EQ(DurationAt(image, header::kEngineHours), (Duration{10000, 30}));
  EXPECT_EQ(Calibration(image, 1), (ChannelCalibration{1000, 3000, 500, 2}));
  EXPECT_EQ(Calibration(image, 2), (ChannelCalibration{1, 2, 3, 4}));
}

}  // namespace
}  // namespace kd
