#include <gtest/gtest.h>

#include "reports/number_text.h"
#include "reports/text_table.h"

namespace kd {
namespace {

TEST(PadNumberTest, FillsWithZerosAndNeverCuts) {
  const struct {
    std::uint32_t value;
    int width;
    const char* text;
  } cases[] = {{7, 5, "00007"},  {0, 5, "00000"}, {327675, 5, "327675"}, {5, 2, "05"},
               {12345, 4, "12345"}, {9, 1, "9"},   {4294967295u, 3, "4294967295"}};
  for (const auto& c : cases) EXPECT_EQ(PadNumber(c.value, c.width), c.text) << c.value << "/" << c.width;
}

TEST(TextTableTest, RowsBeyondANewCountDisappear) {
  TextTable table(3, 2);
  table.SetCellEx(1, 2, "last");
  table.SetCellEx(0, 0, "first");
  table.SetRowCount(2);
  table.SetRowCount(4);
  EXPECT_EQ(table.GetCellEx(0, 0), "first");
  EXPECT_EQ(table.GetCellEx(1, 2), "");
  EXPECT_THROW(table.GetCellEx(2, 0), std::out_of_range);
  EXPECT_THROW(table.SetCellEx(0, 4, "x"), std::out_of_range);
}

}  // namespace
}  // namespace kd
