#include <gtest/gtest.h>

#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QScreen>
#include <QTest>
#include <QToolButton>

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

// A report never replaces the file the image was opened from, whatever name leads to it.
TEST_F(ReportWindowTest, ExportNeverReplacesTheOpenedImage) {
  KeyImage key{};
  key[0] = 0xAA;
  const std::vector<std::uint8_t> bytes(key.begin(), key.end());
  test::WriteBytes(dir / "k.htm", bytes);
  fs::create_hard_link(dir / "k.htm", dir / "hard.xls");
  windows.session->Replace(key, KeySource::File((dir / "k.htm").string()));
  const struct {
    ReportWindow* window;
    FormatId format;
    const char* chosen;
    const char* written;
  } cases[] = {{windows.data1Window.get(), FormatId::kHtm, "k", "k.htm"},
               {windows.data2Window.get(), FormatId::kXls, "hard", "hard.xls"}};
  for (const auto& c : cases) {
    dialogs.save_answers.push_back(Q(dir / c.chosen));
    c.window->Export(c.format);
    EXPECT_EQ(dialogs.TakeTexts(),
              std::vector<QString>{QStringLiteral("Не удается создать файл !\n%1\nэто файл образа ключа").arg(Q(dir / c.written))});
    EXPECT_EQ(ReadBytes(dir / "k.htm"), bytes) << c.written;
  }
  EXPECT_EQ(FilesIn(dir.path()), 2u);
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
  EXPECT_EQ(captions(dat1[1]), (QStringList{"Текстовый документ", "Документ Word", "Книга Exel", "Документ HTML",
                                            "Документ PDF", "Печать..."}));
  EXPECT_EQ(dat2[0]->title(), QStringLiteral("Отчет N2"));
  EXPECT_EQ(captions(dat2[0]), (QStringList{"Текстовый документ", "Документ Word", "Книга Exel", "Документ HTML",
                                            "Документ PDF", "Печать...", "Перейти к блоку...", "-",
                                            "Закончить"}));
  EXPECT_EQ(windows.data2Window->goToBlockAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+G")));

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

// A report with 200 records, shown.
class ReportNavigationTest : public ReportWindowTest {
 protected:
  void SetUp() override {
    KeyImage image{};
    test::SetBlockCount(image, 200);
    windows.session->Replace(image, {});
    dat2.show();
  }
  // The block number of the record at the top of the view.
  std::string TopBlock() const { return dat2.Table().GetCellEx(0, dat2.Grid()->rowAt(0) + 1); }
  void Wheel(QWidget* target, QPoint angle) {
    QWheelEvent event(QPointF(10, 10), QPointF(target->mapToGlobal(QPoint(10, 10))), QPoint(), angle, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
  }

  Data2Window& dat2 = *windows.data2Window;
};

// Opens at the designed size, which is also the smallest; maximized, the grid and the bars fill
// the screen, and a new show keeps the size the user gave it.
TEST_F(ReportNavigationTest, ResizesAndMaximizesFromTheDesignedSize) {
  const QSize designed = dat2.size();
  EXPECT_EQ(designed, QSize(660 + 6, 30 + 390 + 3));
  EXPECT_EQ(dat2.minimumSize(), designed);
  const QRect normal = dat2.geometry();

  QToolButton* maximize = dat2.Caption()->MaximizeButton();
  ASSERT_TRUE(maximize->isVisibleTo(&dat2));
  maximize->click();
  const QRect screen = dat2.screen()->availableGeometry();
  EXPECT_EQ(dat2.geometry(), screen);
  const QRect client(dat2.Client()->mapTo(&dat2, QPoint()), dat2.Client()->size());
  EXPECT_EQ(client.right(), screen.width() - 1 - SkinnedWindow::kBorder);
  EXPECT_EQ(dat2.Grid()->geometry(), QRect(0, 30, client.width() - 19, client.height() - 49));
  EXPECT_EQ(dat2.rowScrollBar->geometry(), QRect(client.width() - 19, 30, 19, client.height() - 49));
  EXPECT_EQ(dat2.columnScrollBar->geometry(), QRect(0, client.height() - 19, client.width(), 19));
  EXPECT_EQ(dat2.MenuBar()->width(), client.width());
  EXPECT_EQ(dat2.VisibleRows(), (client.height() - 49 - 21) / 21);
  // Every row can still come to the top.
  dat2.rowScrollBar->setValue(199);
  EXPECT_EQ(TopBlock(), "0199");

  // A double click on the caption bar restores the window.
  QTest::mouseDClick(dat2.Caption(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 10));
  EXPECT_EQ(dat2.geometry(), normal);
  EXPECT_EQ(dat2.Grid()->geometry(), QRect(0, 30, 641, 341));

  // Dragging the bottom right corner grows the window, never below its designed size.
  const auto drag = [&](QPoint from, QPoint by) {
    const QPoint global = dat2.mapToGlobal(from);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(from), QPointF(global), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&dat2, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(from + by), QPointF(global + by), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&dat2, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(from + by), QPointF(global + by), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&dat2, &release);
  };
  const QPoint corner(designed.width() - 1, designed.height() - 1);
  drag(corner, QPoint(100, 50));
  EXPECT_EQ(dat2.size(), designed + QSize(100, 50));
  EXPECT_EQ(dat2.Grid()->geometry(), QRect(0, 30, 741, 391));
  drag(corner + QPoint(100, 50), QPoint(-300, -300));
  EXPECT_EQ(dat2.size(), designed);
  drag(QPoint(0, 200), QPoint(40, 0));  // the left edge
  EXPECT_EQ(dat2.geometry(), normal);
  drag(QPoint(0, 200), QPoint(-40, 0));
  EXPECT_EQ(dat2.geometry(), normal.adjusted(-40, 0, 0, 0));

  dat2.close();
  dat2.show();
  EXPECT_EQ(dat2.geometry(), normal.adjusted(-40, 0, 0, 0));
  EXPECT_EQ(dat2.Grid()->width(), 641 + 40);
}

// The wheel over the grid and the keys move the bars; position p still shows block p at the top.
TEST_F(ReportNavigationTest, WheelAndKeysMoveTheBars) {
  const int page = dat2.VisibleRows();
  ASSERT_EQ(page, (341 - 21) / 21);
  const int last_page = 200 - page;
  const struct {
    const char* what;
    std::function<void()> act;
    int row, column;
  } steps[] = {
      {"wheel down", [&] { Wheel(dat2.Grid()->viewport(), {0, -120}); }, 3, 0},
      {"two half notches", [&] { Wheel(dat2.Grid()->viewport(), {0, -60}), Wheel(dat2.Grid()->viewport(), {0, -60}); }, 6, 0},
      {"wheel up", [&] { Wheel(dat2.Grid()->viewport(), {0, 120}); }, 3, 0},
      {"Down", [&] { QTest::keyClick(&dat2, Qt::Key_Down); }, 4, 0},
      {"PgDn", [&] { QTest::keyClick(&dat2, Qt::Key_PageDown); }, 4 + page, 0},
      {"PgUp", [&] { QTest::keyClick(&dat2, Qt::Key_PageUp); }, 4, 0},
      {"Up", [&] { QTest::keyClick(&dat2, Qt::Key_Up); }, 3, 0},
      {"Right", [&] { QTest::keyClick(&dat2, Qt::Key_Right); }, 3, 1},
      {"End", [&] { QTest::keyClick(&dat2, Qt::Key_End); }, last_page, 1},
      {"PgDn at the end", [&] { QTest::keyClick(&dat2, Qt::Key_PageDown); }, last_page, 1},
      {"Home", [&] { QTest::keyClick(&dat2, Qt::Key_Home); }, 0, 1},
      {"Left", [&] { QTest::keyClick(&dat2, Qt::Key_Left); }, 0, 0},
      {"Up at the top", [&] { QTest::keyClick(&dat2, Qt::Key_Up); }, 0, 0},
      {"Ctrl+End", [&] { QTest::keyClick(&dat2, Qt::Key_End, Qt::ControlModifier); }, last_page, dat2.LastPageColumn()},
      {"Ctrl+Home", [&] { QTest::keyClick(&dat2, Qt::Key_Home, Qt::ControlModifier); }, 0, 0},
  };
  for (const auto& step : steps) {
    step.act();
    EXPECT_EQ(dat2.rowScrollBar->value(), step.row) << step.what;
    EXPECT_EQ(dat2.columnScrollBar->value(), step.column) << step.what;
    EXPECT_EQ(dat2.Grid()->rowAt(0), step.row) << step.what;
  }
  // With Ctrl+End the last column is in view.
  QTest::keyClick(&dat2, Qt::Key_End, Qt::ControlModifier);
  EXPECT_LE(dat2.Grid()->columnViewportPosition(10) + dat2.Grid()->columnWidth(10) - 1,
            dat2.Grid()->viewport()->width());

  // Data 1 takes the same keys; clicking a cell still selects nothing.
  Data1Window& dat1 = *windows.data1Window;
  dat1.show();
  QTest::keyClick(&dat1, Qt::Key_PageDown);
  EXPECT_EQ(dat1.rowScrollBar->value(), dat1.VisibleRows());
  QTest::mouseClick(dat1.Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
  EXPECT_FALSE(dat1.Grid()->selectionModel()->hasSelection());
}

// Ctrl+G asks for a block and brings it to the top; a block past the last brings the last one.
TEST_F(ReportNavigationTest, GoToBlockAndEscape) {
  QApplication::setActiveWindow(&dat2);
  const struct {
    std::optional<QString> answer;
    int position;
  } cases[] = {{QStringLiteral("150"), 150}, {std::nullopt, 150}, {QStringLiteral("x"), 150},
               {QStringLiteral(" 4000 "), 199}, {QStringLiteral("0"), 0}};
  for (const auto& c : cases) {
    dialogs.input_answers.push_back(c.answer);
    QTest::keyClick(&dat2, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(dat2.rowScrollBar->value(), c.position) << c.answer.value_or("Cancel").toStdString();
  }
  ASSERT_EQ(dialogs.input_requests.size(), std::size(cases));
  EXPECT_EQ(dialogs.input_requests[0].caption, QStringLiteral("Перейти к блоку"));
  dat2.GoToBlock(42);
  EXPECT_EQ(TopBlock(), "0042");

  windows.mainWindow->show();
  windows.mainWindow->data2Button->click();
  QTest::keyClick(&dat2, Qt::Key_Escape);
  EXPECT_FALSE(dat2.isVisible());
  EXPECT_TRUE(windows.mainWindow->isVisible());
}

}  // namespace
}  // namespace kd
