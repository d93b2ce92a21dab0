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

// Only the cells the user typed get the apostrophe, and only where a spreadsheet would see a formula.
TEST(CsvExportTest, UserTypedTextNeverStartsAFormula) {
  const struct {
    std::string typed;
    std::string field;
  } cases[] = {
      {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
      {"+7 912", "'+7 912"},
      {"-1+2", "'-1+2"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"\tx", "'\tx"},
      {"\rx", "\"'\rx\""},
      {"Петров П.П.", "Петров П.П."},
      {"КС-45717 =1", "КС-45717 =1"},
      {"", ""},
  };
  for (const auto& c : cases) {
    TextTable table(1, 2);
    table.SetCellEx(0, 0, "-005");
    table.SetCellEx(1, 0, c.typed);
    const CellPosition typed[] = {{1, 0}};
    EXPECT_EQ(CsvText(table, typed), "-005," + c.field + "\r\n") << c.typed;
  }
}

}  // namespace
}  // namespace kd
