#include <gtest/gtest.h>

#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>

#include "app/application.h"
#include "export/writers.h"
#include "ui/report_grid.h"
#include "support/scripted_dialogs.h"
#include "support/small_tmpfs.h"
#include "support/event_image.h"
#include "support/temp_dir.h"

namespace kd {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

std::string Text(const fs::path& path) {
  const std::vector<std::uint8_t> bytes = ReadBytes(path);
  return {bytes.begin(), bytes.end()};
}

class ReportWindowTest : public ::testing::Test {
 protected:
  std::size_t FilesIn(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
  }

  test::ScriptedDialogs dialogs;
  Windows windows = CreateWindows(dialogs);
  TempDir dir;
};

// The extension is appended to whatever name was chosen, and the file holds the whole table.
TEST_F(ReportWindowTest, ExportAppendsTheExtensionAlways) {
  struct Case {
    ReportWindow* window;
    FormatId format;
    const char* chosen;
    const char* written;
    const char* title;
    const char* filter;
  };
  const Case cases[] = {
      {windows.data1Window.get(), FormatId::kHtm, "Отчет_N1.htm", "Отчет_N1.htm.htm", " Сохранение отчета 1 (HTML)",
       "Документ HTML (*.htm)"},
      {windows.data1Window.get(), FormatId::kTxt, "a.doc", "a.doc.txt", " Сохранение отчета 1 (TXT)",
       "Текстовый документ (*.txt)"},
      {windows.data2Window.get(), FormatId::kXls, "Отчет_N2", "Отчет_N2.xls", " Сохранение отчета 2 (XLS)",
       "Книга Exel (*.xls)"},
      {windows.data2Window.get(), FormatId::kDoc, "r", "r.doc", " Сохранение отчета 2 (DOC)", "Документ Word (*.doc)"},
  };
  for (const Case& c : cases) {
    dialogs.save_answers.push_back(Q(dir / c.chosen));
    c.window->Export(c.format);
    ASSERT_FALSE(dialogs.save_requests.empty());
    const FileDialogRequest& request = dialogs.save_requests.back();
    EXPECT_EQ(request.title, QString::fromUtf8(c.title));
    EXPECT_EQ(request.filter_name, QString::fromUtf8(c.filter));
    EXPECT_EQ(request.file_name, c.window == windows.data1Window.get() ? QStringLiteral("Отчет_N1") : QStringLiteral("Отчет_N2"));
    EXPECT_NE(request.folder, QCoreApplication::applicationDirPath());
    EXPECT_EQ(Text(dir / c.written),
              FormatOf(c.format).write({c.window->Table(), c.window == windows.data1Window.get() ? "Отчет N1" : "Отчет N2"}))
        << c.written;
  }
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(FilesIn(dir.path()), std::size(cases));
}

TEST_F(ReportWindowTest, CancelWritesAndShowsNothing) {
  for (FormatId format : {FormatId::kTxt, FormatId::kDoc, FormatId::kXls, FormatId::kHtm}) {
    dialogs.save_answers.push_back(std::nullopt);
    windows.data2Window->Export(format);
  }
  EXPECT_EQ(dialogs.save_requests.size(), 4u);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(FilesIn(dir.path()), 0u);
}

TEST_F(ReportWindowTest, FailedExportSaysWhyAndLeavesNoFile) {
  fs::create_directory(dir / "locked");
  fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  dialogs.save_answers.push_back(Q(dir / "locked" / "r"));
  windows.data1Window->Export(FormatId::kXls);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("Не удается создать файл !\n")));
  EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("папка только для чтения")));
  EXPECT_EQ(FilesIn(dir / "locked"), 0u);

  test::SmallTmpfs disk(dir / "disk");
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
  // Fill the disk so that not even a small report fits.
  std::vector<std::uint8_t> filler(60 * 1024, 1);
  test::WriteBytes(disk.path() / "filler", filler);
  dialogs.messages.clear();
  dialogs.save_answers.push_back(Q(disk.path() / "r"));
  windows.data1Window->Export(FormatId::kXls);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("нет места на диске")));
  EXPECT_EQ(FilesIn(disk.path()), 1u);
}

// The bars are the only way to scroll: position p brings row p (column p) to the top (left),
// the last ones too; past the end the last stays in view.
TEST_F(ReportWindowTest, Data1ScrollsByItsOwnBars) {
  Data1Window& window = *windows.data1Window;
  EXPECT_EQ(window.rowScrollBar->maximum(), 35);
  EXPECT_EQ(window.columnScrollBar->maximum(), 2);
  EXPECT_EQ(window.rowScrollBar->pageStep(), 1);
  EXPECT_EQ(window.rowScrollBar->focusPolicy(), Qt::NoFocus);
  window.show();
  const struct {
    int position, top_row;
  } vertical[] = {{0, 0}, {1, 1}, {34, 34}, {35, 34}, {0, 0}};
  for (const auto& c : vertical) {
    window.rowScrollBar->setValue(c.position);
    EXPECT_EQ(window.Grid()->rowAt(0), c.top_row) << "position " << c.position;
  }
  window.columnScrollBar->setValue(1);
  EXPECT_EQ(window.Grid()->columnAt(0), 1);
  window.columnScrollBar->setValue(2);
  EXPECT_EQ(window.Grid()->columnAt(0), 1);

  // A new show keeps the positions.
  window.rowScrollBar->setValue(20);
  window.close();
  window.show();
  EXPECT_EQ(window.rowScrollBar->value(), 20);
  EXPECT_EQ(window.Grid()->rowAt(0), 20);
  EXPECT_EQ(window.columnScrollBar->value(), 2);
}

// Under the header that stays in view, position p shows record row p + 1; column p is the leftmost.
TEST_F(ReportWindowTest, Data2ScrollsUnderItsHeader) {
  KeyImage image{};
  test::SetBlockCount(image, 10);
  windows.session->Replace(image, {});
  Data2Window& window = *windows.data2Window;
  window.show();
  EXPECT_EQ(window.rowScrollBar->maximum(), 11);
  EXPECT_EQ(window.columnScrollBar->maximum(), 11);
  const struct {
    int position, top_record_row;
  } vertical[] = {{0, 1}, {9, 10}, {10, 10}, {11, 10}};
  for (const auto& c : vertical) {
    window.rowScrollBar->setValue(c.position);
    EXPECT_EQ(window.Grid()->rowAt(0) + 1, c.top_record_row) << "position " << c.position;
    EXPECT_TRUE(window.Grid()->horizontalHeader()->isVisible());
  }
  EXPECT_EQ(window.Table().GetCellEx(0, window.Grid()->rowAt(0) + 1), "0009");
  window.rowScrollBar->setValue(5);
  window.close();
  window.show();  // the same image again: the position and the view stay
  EXPECT_EQ(window.rowScrollBar->value(), 5);
  EXPECT_EQ(window.Grid()->rowAt(0), 5);
  window.columnScrollBar->setValue(3);
  EXPECT_EQ(window.Grid()->columnAt(0), 3);
  EXPECT_EQ(window.Table().GetCellEx(3, 0), "Л1 [%]");
}

// The menus as the user sees them; "Закончить" closes like the caption bar and brings the main
// window back.
TEST_F(ReportWindowTest, MenusAndFinish) {
  const auto captions = [](QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions()) texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
  };
  QList<QMenu*> dat1 = windows.data1Window->MenuBar()->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
  QList<QMenu*> dat2 = windows.data2Window->MenuBar()->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
  // The report menus first, as they always were; the charts' menu after them.
  ASSERT_EQ(dat1.size(), 3);
  ASSERT_EQ(dat2.size(), 2);
  EXPECT_EQ(dat1[2]->title(), QStringLiteral("График"));
  EXPECT_EQ(captions(dat1[2]), (QStringList{"Спектр нагружения..."}));
  EXPECT_EQ(dat2[1]->title(), QStringLiteral("График"));
  EXPECT_EQ(captions(dat2[1]), (QStringList{"Нагрузка по блокам..."}));
  EXPECT_EQ(dat1[0]->title(), QStringLiteral("Дополнительно"));
  EXPECT_EQ(captions(dat1[0]), (QStringList{"Наименование крана, его номер", "Подпись (ФИО)", "-", "Закончить"}));
  EXPECT_EQ(dat1[1]->title(), QStringLiteral("Отчет N1"));
  EXPECT_EQ(captions(dat1[1]), (QStringList{"Текстовый документ", "Документ Word", "Книга Exel", "Документ HTML"}));
  EXPECT_EQ(dat2[0]->title(), QStringLiteral("Отчет N2"));
  EXPECT_EQ(captions(dat2[0]), (QStringList{"Текстовый документ", "Документ Word", "Книга Exel", "Документ HTML", "-",
                                            "Закончить"}));

  windows.mainWindow->show();
  windows.mainWindow->data2Button->click();
  ASSERT_TRUE(windows.data2Window->isVisible());
  windows.data2Window->finishAction->trigger();
  EXPECT_FALSE(windows.data2Window->isVisible());
  EXPECT_TRUE(windows.mainWindow->isVisible());
}

// The file holds what the cells hold at that moment: the user's edits and typed markup included.
TEST_F(ReportWindowTest, ExportTakesTheEditedTable) {
  dialogs.input_answers.push_back(QStringLiteral("<b>\"Кран\" {1}\\"));
  windows.data1Window->EditCraneName();
  dialogs.save_answers.push_back(Q(dir / "r"));
  windows.data1Window->Export(FormatId::kHtm);
  const std::string html = Text(dir / "r.htm");
  EXPECT_NE(html.find("&lt;b&gt;&quot;Кран&quot; {1}\\"), std::string::npos);
  EXPECT_EQ(html, FormatOf(FormatId::kHtm).write({windows.data1Window->Table(), "Отчет N1"}));
}

}  // namespace
}  // namespace kd
