#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <random>

#include "app/application.h"
#include "image/event_record.h"
#include "image/header.h"
#include "reports/data2.h"
#include "ui/report_grid.h"
#include "support/event_image.h"
#include "support/scripted_dialogs.h"

namespace kd {
namespace {

using test::SetWord;

// Each column as wide as its widest text plus 10, measured here on the whole table, the header
// row in the header's font.
std::vector<int> WidestTextsPlus10(const ReportGrid& grid) {
  const TextTable& table = grid.Table();
  const QFontMetrics header(grid.horizontalHeader()->font());
  const QFontMetrics body(grid.font());
  std::vector<int> widths;
  for (int column = 0; column < table.ColCount(); ++column) {
    int widest = header.horizontalAdvance(QString::fromStdString(table.GetCellEx(column, 0)));
    for (int row = 1; row < table.RowCount(); ++row) {
      widest = std::max(widest, body.horizontalAdvance(QString::fromStdString(table.GetCellEx(column, row))));
    }
    widths.push_back(widest + 10);
  }
  return widths;
}

std::vector<int> ColumnWidths(const ReportGrid& grid) {
  std::vector<int> widths;
  for (int column = 0; column < grid.Table().ColCount(); ++column) widths.push_back(grid.columnWidth(column));
  return widths;
}

class Data2WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { main.show(); }
  void TearDown() override { EXPECT_TRUE(dialogs.messages.empty()); }

  // "Данные 2" in the main window; the report is closed again first if it is open.
  void Show() {
    if (dat2.isVisible()) dat2.close();
    windows.session->Replace(image, {});
    main.data2Button->click();
    ASSERT_TRUE(dat2.isVisible());
  }
  void SetBlockCount(std::uint16_t count) { test::SetBlockCount(image, count); }
  QString Shown(int column, int record) const {
    const QAbstractItemModel* model = dat2.Grid()->model();
    return model->data(model->index(record, column)).toString();
  }
  int ShownRecords() const { return dat2.Grid()->model()->rowCount(); }

  test::ScriptedDialogs dialogs;
  Windows windows = CreateWindows(dialogs);
  MainWindow& main = *windows.mainWindow;
  Data2Window& dat2 = *windows.data2Window;
  // What the next Show() gives the session.
  KeyImage image{};
};

TEST_F(Data2WindowTest, HeaderRowIsThereFromTheStartAndAfterAnEmptyLog) {
  const QStringList headers = {"Блок", "Дата", "Время", "Л1 [%]", "Л2 [%]", "Период",
                               "Датчик", "Упр", "Блкр", "Контр.вх", "Реле"};
  const auto shown_headers = [&] {
    QStringList texts;
    for (int column = 0; column < 11; ++column) {
      texts << dat2.Grid()->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    return texts;
  };
  EXPECT_EQ(shown_headers(), headers);
  EXPECT_EQ(dat2.ClientWidth(), 658);

  Show();  // an all-zero image: no records
  EXPECT_EQ(dat2.Table().RowCount(), 1);
  EXPECT_EQ(ShownRecords(), 0);
  EXPECT_EQ(shown_headers(), headers);
  EXPECT_TRUE(dat2.Grid()->horizontalHeader()->isVisible());
  EXPECT_TRUE(dat2.Grid()->horizontalHeader()->font().bold());
  EXPECT_EQ(dat2.rowScrollBar->maximum(), 1);
  EXPECT_EQ(dat2.columnScrollBar->maximum(), 11);
  EXPECT_EQ(ColumnWidths(*dat2.Grid()), WidestTextsPlus10(*dat2.Grid()));

  // The grid keeps its size; the window fits its width to the grid and its vertical bar.
  EXPECT_EQ(dat2.Grid()->geometry(), QRect(0, 30, 641, 341));
  EXPECT_EQ(dat2.ClientWidth(), 641 + 19);
  EXPECT_EQ(dat2.rowScrollBar->geometry(), QRect(641, 30, 19, 341));
  EXPECT_EQ(dat2.columnScrollBar->geometry(), QRect(0, 390 - 19, 660, 19));
  EXPECT_EQ(dat2.MenuBar()->width(), 660);
}

// The header row draws bold on screen, as it is measured: more ink than its texts in the body's font.
TEST_F(Data2WindowTest, HeaderRowDrawsBold) {
  Show();
  QHeaderView* header = dat2.Grid()->horizontalHeader();
  const auto ink = [](const QImage& image, QRect area) {
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) dark += qGray(image.pixel(x, y)) < 128;
    }
    return dark;
  };
  const QImage shown = header->grab().toImage();
  QImage regular(shown.size(), QImage::Format_RGB32);
  regular.fill(Qt::white);
  {
    QPainter painter(&regular);
    painter.setFont(dat2.Grid()->font());
    painter.setPen(Qt::black);
    for (int column = 0; column < 11; ++column) {
      const QRect section(header->sectionViewportPosition(column), 0, header->sectionSize(column), header->height());
      painter.drawText(section.adjusted(3, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                       header->model()->headerData(column, Qt::Horizontal).toString());
    }
  }
  const QRect texts(0, 2, header->length() - 1, header->height() - 5);
  EXPECT_GT(ink(shown, texts), ink(regular, texts) * 5 / 4);
}

// No test of the image: a header the Data 1 report would refuse shows its records all the same.
TEST_F(Data2WindowTest, EveryShowRebuildsFromTheImageOfThatMoment) {
  image[0] = 0x55;
  SetBlockCount(3);
  image[event::kFirst + 2 * event::kSize + 13] = 0x20;
  Show();
  ASSERT_EQ(ShownRecords(), 3);
  EXPECT_EQ(dat2.Table().RowCount(), 4);
  EXPECT_EQ(dat2.rowScrollBar->maximum(), 4);
  for (int record = 0; record < 3; ++record) EXPECT_EQ(Shown(0, record), QString("000%1").arg(record));
  EXPECT_EQ(Shown(6, 2), QStringLiteral("Ошибка"));

  image[event::kFirst + 13] = 0x20;
  SetBlockCount(1);
  Show();
  ASSERT_EQ(ShownRecords(), 1);
  EXPECT_EQ(dat2.Table().RowCount(), 2);
  EXPECT_EQ(dat2.rowScrollBar->maximum(), 2);
  EXPECT_EQ(Shown(6, 0), QStringLiteral("Ошибка"));
  EXPECT_EQ(dat2.ClientWidth(), 660);
}

TEST_F(Data2WindowTest, AFullKeyAndAnOversizedCountShowTheRecordsThatFit) {
  for (std::uint16_t count : {4675, 65535}) {
    SetBlockCount(count);
    Show();
    EXPECT_EQ(ShownRecords(), 4675) << count;
    EXPECT_EQ(dat2.rowScrollBar->maximum(), 4676) << count;
    EXPECT_EQ(Shown(0, 4674), QStringLiteral("4674")) << count;
    EXPECT_EQ(ColumnWidths(*dat2.Grid()), WidestTextsPlus10(*dat2.Grid())) << count;
  }
}

// The show sets the maxima and leaves the positions, except where a maximum pulls one down.
TEST_F(Data2WindowTest, ShowKeepsScrollPositionsWithinTheNewMaxima) {
  SetBlockCount(200);
  Show();
  dat2.rowScrollBar->setValue(150);
  dat2.columnScrollBar->setValue(3);
  SetBlockCount(10);
  Show();
  EXPECT_EQ(dat2.rowScrollBar->maximum(), 11);
  EXPECT_EQ(dat2.rowScrollBar->value(), 11);
  EXPECT_EQ(dat2.columnScrollBar->maximum(), 11);
  EXPECT_EQ(dat2.columnScrollBar->value(), 3);
}

// Columns follow their widest text at each show: a long load widens its column, and a later
// show without it narrows the column again.
TEST_F(Data2WindowTest, ColumnsFitTheirWidestTextAtEachShow) {
  Show();
  const std::vector<int> empty_log = ColumnWidths(*dat2.Grid());

  // Capacity 2 and 625 units of load per code: code 65535 is some two billion per cent.
  SetWord(image, header::kLiftingCapacity, 2);
  SetWord(image, header::kL1Calibration + 2, 1);
  SetWord(image, header::kL1Calibration + 6, 625);
  SetWord(image, header::kL1Calibration + 8, 1);
  SetWord(image, event::kFirst + 8, 65535);
  SetBlockCount(1);
  Show();
  ASSERT_EQ(Shown(3, 0), QStringLiteral("2047968847"));
  const std::vector<int> long_load = ColumnWidths(*dat2.Grid());
  EXPECT_EQ(long_load, WidestTextsPlus10(*dat2.Grid()));
  EXPECT_GT(long_load[3], empty_log[3]);

  SetWord(image, event::kFirst + 8, 0);
  Show();
  EXPECT_EQ(ColumnWidths(*dat2.Grid()), WidestTextsPlus10(*dat2.Grid()));
  EXPECT_LT(dat2.Grid()->columnWidth(3), long_load[3]);
}

// Records of random bytes: digits in every place, loads of every length.
TEST_F(Data2WindowTest, ColumnsFitTheWidestOfVariedTexts) {
  std::mt19937 random(2024);
  for (std::size_t i = event::kFirst; i < event::kFirst + 700 * event::kSize; ++i) {
    image[i] = static_cast<std::uint8_t>(random());
  }
  SetWord(image, header::kLiftingCapacity, 40);
  SetWord(image, header::kL1Calibration + 2, 30);
  SetWord(image, header::kL1Calibration + 6, 7);
  SetWord(image, header::kL1Calibration + 8, 1);
  SetBlockCount(700);
  Show();
  EXPECT_EQ(ColumnWidths(*dat2.Grid()), WidestTextsPlus10(*dat2.Grid()));
}

// A block number of five digits cannot come from a key (at most 4,675 records fit), but the
// grid's sizing must still let it widen the block column past its bold header.
TEST(ReportGridTest, AutoSizeCountsEveryRowAndTheBoldHeader) {
  TextTable table = MakeData2Table();
  table.SetRowCount(4);
  for (int row = 1; row < 4; ++row) table.SetCellEx(0, row, "0000");
  table.SetCellEx(0, 3, "12345");
  table.SetCellEx(6, 1, "Норма ");
  table.SetCellEx(6, 2, "Норма ");
  ReportGrid grid(table, nullptr);
  grid.ensurePolished();
  grid.Reload();
  grid.AutoSizeColumns(10);
  const QFontMetrics header(grid.horizontalHeader()->font());
  const QFontMetrics body(grid.font());
  ASSERT_TRUE(grid.horizontalHeader()->font().bold());
  ASSERT_GT(body.horizontalAdvance("12345"), header.horizontalAdvance(QStringLiteral("Блок")));
  EXPECT_EQ(grid.columnWidth(0), body.horizontalAdvance("12345") + 10);
  EXPECT_EQ(grid.columnWidth(6), std::max(header.horizontalAdvance(QStringLiteral("Датчик")),
                                          body.horizontalAdvance(QStringLiteral("Норма "))) + 10);
  EXPECT_EQ(grid.columnWidth(9), header.horizontalAdvance(QStringLiteral("Контр.вх")) + 10);
}

}  // namespace
}  // namespace kd

namespace kd {
namespace {

// The program may end with the report in view: the window goes, its table and grid with it.
TEST(Data2WindowLifetimeTest, DestroyedWhileShown) {
  test::ScriptedDialogs dialogs;
  KeyImage image{};
  test::SetBlockCount(image, 3);
  KeySession session;
  session.Replace(image, {});
  auto window = std::make_unique<Data2Window>(session, dialogs);
  window->show();
  window.reset();
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace kd

namespace kd {
namespace {

// Where digits are not all alike in a font, or one kerns against a neighbour, texts differing
// only in their digits differ in width, and each is measured as it is.
TEST(ReportGridTest, AutoSizeMeasuresDigitsAsTheyAreWhereTheFontTellsThemApart) {
  struct Case {
    const char* what;
    const char* font_file;  // loaded into the application; "" for the skin's Tahoma
    const char* style;
    const char* text;
    const char* same_shape;
  };
  const Case cases[] = {
      {"proportional digits", "/usr/share/wine/fonts/small_fonts.ttf",
       "QTableView { font-family: \"Small Fonts\"; }", "1111", "0000"},
      {"digits kerning against a full stop", "", "", "7.7.7.7.7.7.7.7", "0.0.0.0.0.0.0.0"},
  };
  for (const Case& c : cases) {
    if (*c.font_file != '\0' && QFontDatabase::addApplicationFont(QString::fromUtf8(c.font_file)) < 0) {
      ADD_FAILURE() << c.what << ": cannot load " << c.font_file;
      continue;
    }
    TextTable table(2, 1);
    table.SetFixedRows(1);
    table.SetCellEx(0, 1, c.text);
    ReportGrid grid(table, nullptr);
    if (*c.style != '\0') grid.setStyleSheet(QString::fromUtf8(c.style));
    grid.ensurePolished();
    grid.AutoSizeColumns(10);
    const QFontMetrics body(grid.font());
    ASSERT_NE(body.horizontalAdvance(QString::fromUtf8(c.text)), body.horizontalAdvance(QString::fromUtf8(c.same_shape)))
        << c.what << ": the font does not tell these apart";
    EXPECT_EQ(grid.columnWidth(0), body.horizontalAdvance(QString::fromUtf8(c.text)) + 10) << c.what;
  }
}

}  // namespace
}  // namespace kd
