#include "reports/number_text.h"

#include <gtest/gtest.h>

#include <cmath>

#include "image/header.h"

namespace kd {
namespace {

TEST(IntTextTest, PlainDigits) {
  EXPECT_EQ(IntText(2), "2");
  EXPECT_EQ(IntText(300), "300");
  EXPECT_EQ(IntText(0), "0");
  EXPECT_EQ(IntText(65535), "65535");
  EXPECT_EQ(IntText(-17), "-17");
}

KeyImage Capacity(std::uint16_t value, std::uint8_t decimals) {
  KeyImage image{};
  image[header::kLiftingCapacity] = static_cast<std::uint8_t>(value & 0xFF);
  image[header::kLiftingCapacity + 1] = static_cast<std::uint8_t>(value >> 8);
  image[header::kCapacityDecimals] = decimals;
  return image;
}

TEST(CapacityTextTest, CommaBeforeTheLastDecimalsDigits) {
  const struct {
    std::uint16_t value;
    std::uint8_t decimals;
    const char* text;
  } cases[] = {
      {1250, 2, "12,50 т"},  {1250, 1, "125,0 т"},  {1250, 3, "1,250 т"},  {1250, 4, ",1250 т"},
      {1250, 0, "1250 кГ"},  {1250, 9, "1250 кГ"},  {50, 2, "00,50 т"},    {0, 1, "000,0 т"},
      {9999, 3, "9,999 т"},  {1250, 255, "1250 кГ"},
      // Five digits keep their true value.
      {12345, 1, "1234,5 т"}, {12345, 2, "123,45 т"}, {12345, 3, "12,345 т"}, {12345, 4, "1,2345 т"},
      {12345, 0, "12345 кГ"}, {12345, 5, "12345 кГ"}, {65535, 2, "655,35 т"}, {10000, 4, "1,0000 т"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CapacityText(Capacity(c.value, c.decimals), header::kLiftingCapacity), c.text)
        << c.value << " with " << int{c.decimals} << " decimals";
  }
}

TEST(ShortFloatTextTest, FifteenDigitsCutToSix) {
  const struct {
    float value;
    const char* point;
    const char* comma;
  } cases[] = {
      {0.0f, "0", "0"},
      {0.5f, "0.5", "0,5"},
      {0.25f, "0.25", "0,25"},
      {0.421875f, "0.4218", "0,4218"},
      {0.015625f, "0.0156", "0,0156"},
      {1.0f / 3.0f, "0.3333", "0,3333"},
      {0.3f, "0.3000", "0,3000"},  // 0.300000011920929
      {15.625f, "15.625", "15,625"},
      {12345.671875f, "12345.", "12345,"},
      {230396.484375f, "230396", "230396"},
      {3750.0f, "3750", "3750"},
      {1.0f, "1", "1"},
      {0.703125f, "0.7031", "0,7031"},
      {0.99999994f, "0.9999", "0,9999"},  // 0.999999940395355: no rounding up
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShortFloatText(c.value, "."), c.point) << c.value;
    EXPECT_EQ(ShortFloatText(c.value, ","), c.comma) << c.value;
  }
  // A separator of more than one byte counts as one character.
  EXPECT_EQ(ShortFloatText(0.421875f, "٫"), "0٫4218");
}

// The general format turns scientific below 0.00001 and from 10^15 up.
TEST(ShortFloatTextTest, ScientificOutsideTheFixedRange) {
  EXPECT_EQ(ShortFloatText(1.5e-5f, "."), "0.0000");                // 0.0000149999996210681
  EXPECT_EQ(ShortFloatText(1e-6f, "."), "9.9999");                  // 9.99999997475243E-7
  EXPECT_EQ(ShortFloatText(std::ldexp(1.0f, 49), "."), "562949");  // 562949953421312
  EXPECT_EQ(ShortFloatText(std::ldexp(1.0f, 50), ","), "1,1258");  // 1.12589990684262E15
  EXPECT_EQ(ShortFloatText(-2.5f, ","), "-2,5");
}

}  // namespace
}  // namespace kd
