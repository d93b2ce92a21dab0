// The printed report from the windows: "Документ PDF" and "Печать..." in both report menus.
#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>

#include "app/application.h"
#include "reports/data1.h"
#include "reports/summary.h"
#include "ui/report_printing.h"
#include "support/pdf_read_back.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <regex>

namespace kd {
namespace {

namespace fs = std::filesystem;
using test::RunCommand;
using test::ShellQuote;

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }
const fs::path kFullLog = fs::path(KD_SAMPLES) / "full-4675.512";

class ReportPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HavePdfTools()) GTEST_SKIP() << "poppler-utils or qpdf is not installed";
    dialogs.open_answers.push_back(Q(kFullLog));
    windows.mainWindow->readButton->click();
    ASSERT_TRUE(dialogs.messages.empty());
  }
  void TearDown() override { EXPECT_TRUE(dialogs.messages.empty()); }

  // "Отчет N1" or "Отчет N2", by its title.
  static QMenu* ReportMenu(ReportWindow& window) {
    for (QMenu* menu : window.MenuBar()->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly)) {
      if (menu->title().startsWith(QStringLiteral("Отчет"))) return menu;
    }
    ADD_FAILURE() << "no report menu";
    return nullptr;
  }

  test::ScriptedDialogs dialogs;
  Windows windows = CreateWindows(dialogs);
  test::TempDir dir;
};

// The new items come after the old ones, which keep their names (the menus' texts are checked
// with the other menus).
TEST_F(ReportPrintTest, OldItemsKeepTheirNames) {
  const struct {
    ReportWindow* window;
    QStringList names;
  } cases[] = {
      {windows.data1Window.get(), {"N5", "Word1", "Exel1", "HTML1", "", "printAction"}},
      {windows.data2Window.get(), {"N4", "Word1", "Exel1", "HTML1", "", "printAction", "goToBlockAction", "N3", "N2"}},
  };
  for (const auto& c : cases) {
    QStringList names;
    for (const QAction* item : ReportMenu(*c.window)->actions()) names << item->objectName();
    EXPECT_EQ(names, c.names);
  }
}

// From the window, as from the command line: the whole log, the crane typed in Data 1 on every
// page, the fingerprint of the file opened, the page count at the foot of the last page; printing
// gives the same pages.
TEST_F(ReportPrintTest, PdfOfTheEventLogFromTheMenu) {
  dialogs.input_answers.push_back(QStringLiteral("КС-45717 № 8"));
  windows.data1Window->editCraneNameAction->trigger();
  windows.mainWindow->data2Button->click();
  Data2Window& window = *windows.data2Window;

  dialogs.save_answers.push_back(Q(dir / "журнал"));
  ReportMenu(window)->actions()[4]->trigger();
  ASSERT_EQ(dialogs.save_requests.size(), 1u);
  const FileDialogRequest& request = dialogs.save_requests[0];
  EXPECT_EQ(request.title, QStringLiteral(" Сохранение отчета 2 (PDF)"));
  EXPECT_EQ(request.filter_name, QStringLiteral("Документ PDF (*.pdf)"));
  EXPECT_EQ(request.filter_pattern, QStringLiteral("*.pdf"));
  EXPECT_EQ(request.file_name, QStringLiteral("Отчет_N2"));

  const fs::path pdf = dir / "журнал.pdf";
  ASSERT_TRUE(fs::exists(pdf));
  const std::vector<std::string> pages = test::PdfPages(pdf);
  ASSERT_GT(pages.size(), 60u);
  EXPECT_EQ(test::MissingCell(test::PdfText(pdf), window.Table()), std::nullopt);
  for (const std::string& page : pages) EXPECT_NE(page.find("Кран: КС-45717 № 8"), std::string::npos);
  const std::string sha = RunCommand("sha256sum " + ShellQuote(kFullLog.string())).output.substr(0, 64);
  EXPECT_NE(pages.front().find(sha), std::string::npos);
  const std::string last = "Стр. " + std::to_string(pages.size()) + " из " + std::to_string(pages.size());
  EXPECT_NE(pages.back().find(last), std::string::npos) << last;

  // Printed, it is the same document: as many pages, the summary and the chart on the first.
  dialogs.print_answers.push_back(Q(dir / "printed.pdf"));
  window.printAction->trigger();
  const std::vector<std::string> printed = test::PdfPages(dir / "printed.pdf");
  EXPECT_EQ(printed.size(), pages.size());
  for (const fs::path& file : {pdf, dir / "printed.pdf"}) {
    const std::vector<test::PdfImage> images = test::PdfImages(file);
    ASSERT_EQ(images.size(), 1u) << file;
    EXPECT_EQ(images[0].page, 1) << file;
  }
  for (const auto& [label, value] : SummaryLines(Summarize(EventPoints(window.Table())))) {
    EXPECT_TRUE(test::HasLabelledValue(pages.front(), label, value)) << label;
    EXPECT_TRUE(test::HasLabelledValue(printed.front(), label, value)) << label;
  }
}

// Printing draws the PDF's pages: as many, with the same texts, on the printer's paper. Cancel
// in the print dialog prints nothing.
TEST_F(ReportPrintTest, PrintIsTheSameDocumentAsThePdf) {
  windows.mainWindow->data1Button->click();
  Data1Window& window = *windows.data1Window;
  dialogs.save_answers.push_back(Q(dir / "file"));
  window.Export(FormatId::kPdf);

  dialogs.print_answers.push_back(std::nullopt);
  window.printAction->trigger();
  EXPECT_EQ(dialogs.print_requests, 1);
  dialogs.print_answers.push_back(Q(dir / "printed.pdf"));
  window.printAction->trigger();
  ASSERT_TRUE(fs::exists(dir / "printed.pdf"));
  EXPECT_EQ(fs::directory_iterator(dir.path())->path().extension(), ".pdf");

  const std::vector<std::string> printed = test::PdfPages(dir / "printed.pdf");
  const std::vector<std::string> file = test::PdfPages(dir / "file.pdf");
  ASSERT_EQ(printed.size(), file.size());
  EXPECT_EQ(test::MissingCell(test::PdfText(dir / "printed.pdf"), window.Table()), std::nullopt);
  for (const char* text : {"Паспорт и статистика нагружения", "Подпись (ФИО):", "Стр. 1 из 1"}) {
    EXPECT_NE(printed.front().find(text), std::string::npos) << text;
  }
  // The same lines in the same places, bar the minute of printing.
  const auto without_time = [](std::string page) {
    return std::regex_replace(page, std::regex("\\d\\d\\d\\d-\\d\\d-\\d\\d \\d\\d:\\d\\d"), "");
  };
  EXPECT_EQ(without_time(printed.front()), without_time(file.front()));
  EXPECT_NE(RunCommand("pdfinfo " + ShellQuote((dir / "printed.pdf").string())).output.find("A4"), std::string::npos);
}

// Pages asked for in the print dialog keep their numbers.
TEST_F(ReportPrintTest, PrintsThePagesAskedFor) {
  windows.mainWindow->data2Button->click();
  dialogs.print_answers.push_back(Q(dir / "pages.pdf"));
  dialogs.print_pages = {2, 3};
  windows.data2Window->printAction->trigger();
  const std::vector<std::string> pages = test::PdfPages(dir / "pages.pdf");
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_NE(pages[0].find("Стр. 2 из "), std::string::npos);
  EXPECT_NE(pages[1].find("Стр. 3 из "), std::string::npos);
  EXPECT_NE(pages[1].find("Блок"), std::string::npos) << "the header on every page";
}

// The progress box appears only for a write that takes over half a second.
TEST_F(ReportPrintTest, ProgressShowsOnlyForALongWrite) {
  for (const int pause_ms : {0, 100}) {
    WriteProgress progress(windows.mainWindow.get(), QStringLiteral("Сохранение отчета..."));
    const auto report = progress.Callback();
    for (int page = 1; page <= 8; ++page) {
      QThread::msleep(static_cast<unsigned long>(pause_ms));
      report(page, 8);
    }
    const auto* box = windows.mainWindow->findChild<QProgressDialog*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->isVisible(), pause_ms > 0) << pause_ms << " ms a page";
  }
}

}  // namespace
}  // namespace kd
