// The PDF report, read back by poppler's pdftotext, pdfinfo and pdffonts, and checked by qpdf.
#include "export/pdf_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <stdexcept>

#include "image/image_file.h"
#include "io/report_fonts.h"
#include "reports/data1.h"
#include "reports/data2.h"
#include "reports/summary.h"
#include "support/pdf_read_back.h"
#include "support/temp_dir.h"

namespace kd {
namespace {

namespace fs = std::filesystem;
using test::RunCommand;
using test::ShellQuote;

const fs::path kSamples = KD_SAMPLES;

class PdfWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fonts) GTEST_SKIP() << "DejaVu Sans is not installed (fonts-dejavu-core): " << fonts.Reason();
    if (!test::HavePdfTools()) GTEST_SKIP() << "poppler-utils or qpdf is not installed";
  }

  // The report of a sample image as keydecoder-cli makes it.
  fs::path Write(const TextTable& table, const ReportHeading& heading, const std::string& name,
                 PaperSize paper = kA4Paper, std::function<void(int, int)> progress = {}) {
    const PrintSetup print{&heading, fonts->regular, fonts->bold, paper, std::move(progress)};
    bytes = FormatOf(FormatId::kPdf).write({table, "Отчет", {}, &print});
    const fs::path path = dir / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  static void Load(KeySession& session, const std::string& sample) {
    const Result<KeyImage> image = ReadImageFile(kSamples / sample);
    ASSERT_TRUE(image) << sample;
    session.Replace(*image, KeySource::File((kSamples / sample).string()));
  }

  static std::string Sha256Sum(const fs::path& file) {
    return RunCommand("sha256sum " + ShellQuote(file.string())).output.substr(0, 64);
  }

  const Result<ReportFontBytes> fonts = ReadReportFonts();
  std::string bytes;
  test::TempDir dir;
};

// A full event log: the summary and the chart on the first page, then every cell in table order;
// each page starts with the running head and the header row and ends with its number, and the
// title block names the image.
TEST_F(PdfWriterTest, FullEventLogReadsBackPageByPage) {
  KeySession session;
  Load(session, "full-4675.512");
  TextTable table = MakeData2Table();
  FillData2(table, session.Image());
  ReportHeading heading = MakeReportHeading(PrintedReport::kData2, session, "КС-45717 № 12", {}, "2024-03-07 10:15");
  heading.chart = ReportPicture{300, 150, std::string(std::size_t{300} * 150 * 3, '\x7F')};
  std::vector<std::pair<int, int>> progress;
  const fs::path pdf = Write(table, heading, "log.pdf", kA4Paper, [&](int done, int total) {
    progress.emplace_back(done, total);
  });

  EXPECT_LT(bytes.size(), 2u << 20);
  const std::optional<int> count = test::PdfPageCount(pdf);
  ASSERT_TRUE(count);
  EXPECT_GT(*count, 60);
  ASSERT_EQ(progress.size(), static_cast<std::size_t>(*count));
  EXPECT_EQ(progress.back(), std::pair(*count, *count));

  const std::string text = test::PdfText(pdf);
  const auto summary = SummaryLines(Summarize(EventPoints(table)));
  ASSERT_EQ(summary.front(), (std::pair<std::string, std::string>("Записей", "4675")));
  for (const auto& [label, value] : summary) EXPECT_TRUE(test::HasLabelledValue(text, label, value)) << label;
  const std::size_t table_start = text.find(summary.back().second);
  ASSERT_NE(table_start, std::string::npos);
  EXPECT_EQ(test::MissingCell(text.substr(table_start), table), std::nullopt);
  EXPECT_EQ(test::PdfImages(pdf), (std::vector<test::PdfImage>{{1, 300, 150}}));
  const std::vector<std::string> pages = test::PdfPages(pdf);
  ASSERT_EQ(pages.size(), static_cast<std::size_t>(*count));
  TextTable header(1, table.ColCount());
  for (int c = 0; c < table.ColCount(); ++c) header.SetCellEx(c, 0, table.GetCellEx(c, 0));
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const std::string& page = pages[i];
    EXPECT_NE(page.find("Кран: КС-45717 № 12"), std::string::npos) << "page " << i + 1;
    EXPECT_NE(page.find("Ограничитель № 12345"), std::string::npos) << "page " << i + 1;
    EXPECT_EQ(test::MissingCell(page, header), std::nullopt) << "page " << i + 1;
    // The header comes before the page's first record (its time of day).
    std::smatch record;
    ASSERT_TRUE(std::regex_search(page, record, std::regex("\\d\\d:\\d\\d:\\d\\d"))) << "page " << i + 1;
    EXPECT_LT(page.find("Реле"), static_cast<std::size_t>(record.position(0))) << "page " << i + 1;
    const std::string number = "Стр. " + std::to_string(i + 1) + " из " + std::to_string(*count);
    EXPECT_NE(page.find(number), std::string::npos) << number;
  }

  const std::string& first = pages.front();
  for (const char* line : {"Журнал событий", "Идентификационный номер ограничителя:", "Дата печати:",
                           "2024-03-07 10:15", "файл full-4675.512"}) {
    EXPECT_NE(first.find(line), std::string::npos) << line;
  }
  EXPECT_NE(first.find(Sha256Sum(kSamples / "full-4675.512")), std::string::npos) << "the fingerprint";
  EXPECT_EQ(first.find("Подпись"), std::string::npos) << "the log has no signature line";

  const std::string fonts_used = RunCommand("pdffonts " + ShellQuote(pdf.string())).output;
  EXPECT_NE(fonts_used.find("DejaVuSans "), std::string::npos) << fonts_used;
  EXPECT_NE(fonts_used.find("DejaVuSans-Bold "), std::string::npos) << fonts_used;
  // Every font embedded, as a subset, with its Unicode map.
  EXPECT_EQ(fonts_used.find(" no "), std::string::npos) << fonts_used;
  const auto checked = RunCommand("qpdf --check " + ShellQuote(pdf.string()));
  EXPECT_EQ(checked.status, 0) << checked.output;
}

// Data 1 on one page, ending with the signature line and the name typed for it; the paper is the
// one asked for; the same report gives the same bytes.
TEST_F(PdfWriterTest, PassportEndsWithTheSignatureLine) {
  KeySession session;
  Load(session, "crane-200.512");
  TextTable table = MakeData1Table("2024-03-07");
  ASSERT_TRUE(FillData1(table, session.Image(), ","));
  SetData1Value(table, Data1Row::kSignature, "Петров П.П.");
  const ReportHeading heading =
      MakeReportHeading(PrintedReport::kData1, session, "0289", "Петров П.П.", "2024-03-07 10:15");
  for (const auto& [paper, size] : {std::pair(kA4Paper, "595.28 x 841.89"), std::pair(kLetterPaper, "612 x 792")}) {
    const fs::path pdf = Write(table, heading, "passport.pdf", paper);
    EXPECT_NE(RunCommand("pdfinfo " + ShellQuote(pdf.string())).output.find(size), std::string::npos) << size;
    EXPECT_EQ(test::PdfPageCount(pdf), 1);
    const std::string text = test::PdfText(pdf);
    EXPECT_EQ(test::MissingCell(text, table), std::nullopt);
    EXPECT_NE(text.find("Паспорт и статистика нагружения"), std::string::npos);
    const std::size_t signature = text.rfind("Подпись (ФИО):");
    ASSERT_NE(signature, std::string::npos);
    EXPECT_NE(text.find("Петров П.П.", signature), std::string::npos) << "the name beside the line";
    EXPECT_NE(text.find("Стр. 1 из 1"), std::string::npos);
    EXPECT_EQ(text.find("Сводка"), std::string::npos) << "the summary is the log's";
    EXPECT_TRUE(test::PdfImages(pdf).empty());
  }
  const std::string first = bytes;
  Write(table, heading, "again.pdf", kLetterPaper);
  EXPECT_EQ(bytes, first) << "not deterministic";
}

// What a user may type: markup and PDF's own delimiters, a character outside Windows-1251 and one
// outside the font, and a crane name that takes several lines; none is lost or breaks the file.
TEST_F(PdfWriterTest, AwkwardTextsComeBackWhole) {
  KeySession session;
  Load(session, "crane-200.512");
  TextTable table = MakeData1Table("2024-03-07");
  ASSERT_TRUE(FillData1(table, session.Image(), ","));
  std::string long_name;
  while (long_name.size() < 230) long_name += "Кран-манипулятор (Ёлка) \\ <b>&amp; ";
  SetData1Value(table, Data1Row::kCraneName, long_name);
  SetData1Value(table, Data1Row::kGap1, "✓ ok");
  const ReportHeading heading = MakeReportHeading(PrintedReport::kData1, session, "(0289) [x] <y>", "", "\U0010FFFD");
  const fs::path pdf = Write(table, heading, "awkward.pdf");
  const std::string text = test::PdfText(pdf);
  EXPECT_EQ(test::MissingCell(text, table), std::nullopt) << text.substr(0, 3000);
  EXPECT_NE(text.find("Кран: (0289) [x] <y>"), std::string::npos);
  const auto checked = RunCommand("qpdf --check " + ShellQuote(pdf.string()));
  EXPECT_EQ(checked.status, 0) << checked.output;
}

// A log without records still prints its header row, under a summary of nothing.
TEST_F(PdfWriterTest, EmptyLogShowsItsHeader) {
  KeySession session;
  Load(session, "empty-log.512");
  TextTable table = MakeData2Table();
  FillData2(table, session.Image());
  ASSERT_EQ(table.RowCount(), 1);
  const fs::path pdf = Write(table, MakeReportHeading(PrintedReport::kData2, session, "0289", {}, ""), "empty.pdf");
  EXPECT_EQ(test::PdfPageCount(pdf), 1);
  const std::string text = test::PdfText(pdf);
  EXPECT_EQ(test::MissingCell(text, table), std::nullopt);
  EXPECT_TRUE(test::HasLabelledValue(text, "Записей", "0")) << text;
  EXPECT_TRUE(test::HasLabelledValue(text, "Первая запись", "---")) << text;
}

TEST_F(PdfWriterTest, RefusesWithoutPrintSetupOrWithADamagedFont) {
  const TextTable table = MakeData2Table();
  EXPECT_THROW(FormatOf(FormatId::kPdf).write({table, "Отчет"}), std::runtime_error);
  const ReportHeading heading;
  const std::string& font = fonts->regular;
  for (const std::string& damaged : {std::string(), std::string("not a font at all"), font.substr(0, 1000),
                                     font.substr(0, font.size() / 2)}) {
    const PrintSetup print{&heading, damaged, fonts->bold, kA4Paper, {}};
    EXPECT_THROW(FormatOf(FormatId::kPdf).write({table, "Отчет", {}, &print}), std::runtime_error) << damaged.size();
  }
}

}  // namespace
}  // namespace kd
