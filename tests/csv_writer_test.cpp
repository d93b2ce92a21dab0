#include "export/csv_writer.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

TEST(CsvExportTest, QuotesOnlyWhatNeedsIt) {
  TextTable table(4, 2);
  table.SetCellEx(0, 0, " Наименование крана, его номер:");
  table.SetCellEx(1, 0, "0289");
  table.SetCellEx(0, 1, " Коэф-т распр-я нагрузки ' Kp ' :");
  table.SetCellEx(1, 1, "0,4218");
  table.SetCellEx(0, 2, "say \"hi\"");
  table.SetCellEx(1, 2, "two\r\nlines");
  table.SetCellEx(1, 3, "lf\nonly");
  EXPECT_EQ(CsvText(table),
            "\" Наименование крана, его номер:\",0289\r\n"
            " Коэф-т распр-я нагрузки ' Kp ' :,\"0,4218\"\r\n"
            "\"say \"\"hi\"\"\",\"two\r\nlines\"\r\n"
            ",\"lf\nonly\"\r\n");
}

}  // namespace
}  // namespace kd
