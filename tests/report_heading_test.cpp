#include "reports/report_heading.h"

#include <gtest/gtest.h>

#include "io/sha256.h"
#include "reports/data1.h"
#include "support/header_image.h"

namespace kd {
namespace {

// The limiter's number and dates read exactly as in Data 1, the fingerprint is that of the whole
// image, and the source names the file or the port.
TEST(ReportHeadingTest, ReadsAsData1AndNamesTheImage) {
  test::Counters counters;
  KeyImage image = test::WithCounters(counters);
  test::SetWord(image, header::kLimiterId, 4217);
  TextTable data1 = MakeData1Table("2024-03-07");
  ASSERT_TRUE(FillData1(data1, image, ","));

  KeySession session;
  session.Replace(image, KeySource::File("D:\\ключи/кран 7.512"));
  const ReportHeading passport = MakeReportHeading(PrintedReport::kData1, session, "КС-45717", "Иванов", "2024-03-07");
  EXPECT_EQ(passport.report_name, "Паспорт и статистика нагружения");
  EXPECT_EQ(passport.limiter_id, Data1Value(data1, Data1Row::kLimiterId));
  EXPECT_EQ(passport.limiter_id, "04217");
  EXPECT_EQ(passport.install_date, Data1Value(data1, Data1Row::kInstallDate));
  EXPECT_EQ(passport.read_date, Data1Value(data1, Data1Row::kReadDate));
  EXPECT_EQ(passport.fingerprint, Sha256Hex(image));
  EXPECT_EQ(passport.source, "файл кран 7.512");
  EXPECT_TRUE(passport.signature_line);
  EXPECT_EQ(passport.signature, "Иванов");

  const auto at = std::chrono::system_clock::now();
  session.Replace(image, KeySource::Port("/dev/ttyUSB0", at));
  const ReportHeading log = MakeReportHeading(PrintedReport::kData2, session, "КС-45717", "Иванов", "");
  EXPECT_EQ(log.report_name, "Журнал событий");
  EXPECT_EQ(log.source, "порт /dev/ttyUSB0, " + LocalTimeText(at));
  EXPECT_FALSE(log.signature_line);
}

// An image Data 1 refuses still gets a heading: the log of any image can be printed.
TEST(ReportHeadingTest, ImageData1RefusesHasAHeadingToo) {
  KeyImage image{};
  image.fill(0xFF);
  KeySession session;
  session.Replace(image, KeySource::File("x.512"));
  TextTable data1 = MakeData1Table("");
  ASSERT_FALSE(FillData1(data1, image, ","));
  const ReportHeading heading = MakeReportHeading(PrintedReport::kData2, session, "0289", "", "");
  EXPECT_EQ(heading.limiter_id, "65535");
  EXPECT_EQ(heading.fingerprint.size(), 64u);
  const std::vector<HeadingLine> lines = TitleLines(heading);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0].label, "Наименование крана, его номер:");
}

}  // namespace
}  // namespace kd
