#include <gtest/gtest.h>

#include <QBarSet>
#include <QBarSeries>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTest>
#include <QValueAxis>
#include <filesystem>

#include "app/application.h"
#include "image/image_file.h"
#include "reports/data2.h"
#include "support/event_image.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "ui/event_chart_view.h"
#include "ui/report_grid.h"

namespace kd {
namespace {

using test::SetWord;

KeyImage Sample(const char* name) {
  const Result<KeyImage> image = ReadImageFile(std::filesystem::path(KD_SAMPLES) / name);
  EXPECT_TRUE(image) << name;
  return image ? *image : KeyImage{};
}

int PointCount(const QChart* chart, const char* channel) {
  int count = 0;
  for (const QLineSeries* series : ChannelSeries(chart, channel)) count += series->count();
  return count;
}

// The number of the Data 2 table's records whose cell in `column` passes `test`.
template <typename Test>
int CountCells(const TextTable& table, Data2Column column, Test test) {
  int count = 0;
  for (int record = 0; record + 1 < table.RowCount(); ++record) count += test(Data2Cell(table, record, column)) ? 1 : 0;
  return count;
}

class ChartWindowTest : public ::testing::Test {
 protected:
  // The Data 2 window shown on the image, then "График" / "Нагрузка по блокам...".
  void OpenEventChart(const KeyImage& image) {
    if (data2.isVisible()) data2.close();
    windows.session->Replace(image, {});
    main.data2Button->click();
    ASSERT_TRUE(data2.isVisible());
    data2.loadChartAction->trigger();
    ASSERT_TRUE(chart.isVisible());
  }
  QChart* Chart() const { return chart.View()->chart(); }
  QValueAxis* Blocks() const { return chart.View()->BlockAxis(); }
  // Where a value of the chart lies in the view's viewport.
  QPoint At(double block, double load) const {
    const QPointF scene = Chart()->mapToScene(Chart()->mapToPosition(QPointF(block, load)));
    return chart.View()->mapFromScene(scene);
  }

  test::ScriptedDialogs dialogs;
  Windows windows = CreateWindows(dialogs);
  MainWindow& main = *windows.mainWindow;
  Data2Window& data2 = *windows.data2Window;
  EventChartWindow& chart = *windows.eventChartWindow;
};

// The full sample: each channel and each kind of mark has exactly the records the Data 2 cells give.
TEST_F(ChartWindowTest, PointsAndMarksAreTheRecordsOfTheData2Cells) {
  OpenEventChart(Sample("full-4675.512"));
  EXPECT_EQ(data2.chartMenu->title(), QStringLiteral("График"));
  EXPECT_EQ(data2.MenuBar()->actions().indexOf(data2.chartMenu->menuAction()), 1);  // after "Отчет N2"
  const TextTable& table = data2.Table();
  ASSERT_EQ(table.RowCount(), 4676);
  const auto has_load = [](const std::string& cell) { return cell != "---"; };
  EXPECT_EQ(PointCount(Chart(), chart_names::kL1), CountCells(table, Data2Column::kL1, has_load));
  EXPECT_EQ(PointCount(Chart(), chart_names::kL2), CountCells(table, Data2Column::kL2, has_load));
  EXPECT_GT(PointCount(Chart(), chart_names::kL1), 4000);

  const auto is = [](const char* text) { return [text](const std::string& cell) { return cell == text; }; };
  const struct {
    const char* marks;
    Data2Column column;
    const char* text;
  } kinds[] = {
      {chart_names::kProtectionMarks, Data2Column::kRelay, data2::kRelayProtection},
      {chart_names::kSensorFaultMarks, Data2Column::kSensor, data2::kSensorFault},
      {chart_names::kUprMarks, Data2Column::kUpr, data2::kFlagSet},
      {chart_names::kBlockingMarks, Data2Column::kBlocking, data2::kFlagSet},
  };
  for (const auto& kind : kinds) {
    const QScatterSeries* marks = MarkSeries(Chart(), kind.marks);
    ASSERT_NE(marks, nullptr) << kind.marks;
    const int expected = CountCells(table, kind.column, is(kind.text));
    EXPECT_GT(expected, 0) << kind.marks;
    ASSERT_EQ(marks->count(), expected) << kind.marks;
    // Each mark stands over a record with that cell.
    for (const QPointF& point : marks->points()) {
      EXPECT_EQ(Data2Cell(table, static_cast<int>(point.x()), kind.column), kind.text) << kind.marks << point.x();
    }
  }
  for (const char* line : {chart_names::kNearLimitLine, chart_names::kOverloadLine}) {
    EXPECT_EQ(ChannelSeries(Chart(), line).size(), 1u) << line;
  }
  EXPECT_EQ(ChannelSeries(Chart(), chart_names::kNearLimitLine)[0]->at(0).y(), 90);
  EXPECT_EQ(ChannelSeries(Chart(), chart_names::kOverloadLine)[0]->at(1).y(), 100);

  // The summary as counted here from the cells.
  const auto over = [](int bound, bool inclusive) {
    return [=](const std::string& cell) { return cell != "---" && (inclusive ? std::stoi(cell) >= bound : std::stoi(cell) > bound); };
  };
  const EventSummary& s = chart.Summary();
  EXPECT_EQ(s.records, 4675);
  EXPECT_EQ(s.l1.near_limit, CountCells(table, Data2Column::kL1, over(90, true)));
  EXPECT_EQ(s.l1.overloads, CountCells(table, Data2Column::kL1, over(100, false)));
  EXPECT_EQ(s.l2.near_limit, CountCells(table, Data2Column::kL2, over(90, true)));
  EXPECT_EQ(s.l2.overloads, CountCells(table, Data2Column::kL2, over(100, false)));
  EXPECT_EQ(s.protection, CountCells(table, Data2Column::kRelay, is(data2::kRelayProtection)));
  EXPECT_EQ(chart.SummaryValues()[0]->text(), QStringLiteral("4675"));
  EXPECT_EQ(chart.SummaryValues()[7]->text(), QString::number(s.protection));
}

// "---" breaks a line instead of dropping to zero; a negative load is drawn as it is.
TEST_F(ChartWindowTest, GapsAndNegativeLoads) {
  KeyImage image{};
  SetWord(image, header::kLiftingCapacity, 2);
  // L1: zero 1000, one code per unit of load; the unit is 0.02, so 1 code = 50 %. L2: no slope.
  SetWord(image, header::kL1Calibration, 1000);
  SetWord(image, header::kL1Calibration + 2, 1001);
  SetWord(image, header::kL1Calibration + 6, 1);
  SetWord(image, header::kL1Calibration + 8, 1);
  test::SetBlockCount(image, 5);
  const std::uint16_t codes[] = {1002, 999, 1001, 1000, 1003};  // 100, -50, 50, 0, 150
  for (std::size_t i = 0; i < 5; ++i) {
    test::RecordBytes bytes{};
    bytes[8] = static_cast<std::uint8_t>(codes[i]);
    bytes[9] = static_cast<std::uint8_t>(codes[i] >> 8);
    test::SetRecord(image, i, bytes);
  }
  OpenEventChart(image);
  ASSERT_EQ(Data2Cell(data2.Table(), 1, Data2Column::kL1), "-050");
  ASSERT_EQ(Data2Cell(data2.Table(), 0, Data2Column::kL2), "---");
  const std::vector<QLineSeries*> l1 = ChannelSeries(Chart(), chart_names::kL1);
  ASSERT_EQ(l1.size(), 1u);
  EXPECT_EQ(l1[0]->points(), (QList<QPointF>{{0, 100}, {1, -50}, {2, 50}, {3, 0}, {4, 150}}));
  EXPECT_EQ(PointCount(Chart(), chart_names::kL2), 0);
  EXPECT_LE(chart.View()->chart()->axes(Qt::Vertical)[0]->property("min").toDouble(), -50);

  // A load beyond 32 bits in the middle of L1: two runs, one legend entry.
  SetWord(image, header::kL1Calibration + 6, 65535);
  SetWord(image, header::kL1Calibration + 8, 65535);
  SetWord(image, header::kL1Calibration, 0);
  SetWord(image, header::kL1Calibration + 2, 1);
  for (std::size_t i = 0; i < 5; ++i) SetWord(image, event::kFirst + i * event::kSize + 8, i == 2 ? 65535 : 0);
  OpenEventChart(image);
  ASSERT_EQ(Data2Cell(data2.Table(), 2, Data2Column::kL1), "---");
  const std::vector<QLineSeries*> runs = ChannelSeries(Chart(), chart_names::kL1);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0]->points(), (QList<QPointF>{{0, 0}, {1, 0}}));
  EXPECT_EQ(runs[1]->points(), (QList<QPointF>{{3, 0}, {4, 0}}));
  int visible_markers = 0;
  for (QLineSeries* run : runs) {
    for (QLegendMarker* marker : Chart()->legend()->markers(run)) visible_markers += marker->isVisible() ? 1 : 0;
  }
  EXPECT_EQ(visible_markers, 1);
}

// A click on a point, or the series' own click, brings that record to the top of Data 2.
TEST_F(ChartWindowTest, ClickingAPointScrollsData2ToItsRecord) {
  OpenEventChart(Sample("crane-200.512"));
  chart.resize(chart.size());
  QApplication::processEvents();
  QSignalSpy chosen(&chart, &EventChartWindow::RecordChosen);
  for (int block : {0, 57, 199}) {
    const EventPoint& point = chart.View()->Points()[static_cast<std::size_t>(block)];
    ASSERT_TRUE(point.l1);
    QTest::mouseClick(chart.View()->viewport(), Qt::LeftButton, {}, At(block, *point.l1));
    EXPECT_EQ(data2.rowScrollBar->value(), block);
    EXPECT_EQ(data2.Grid()->TopRow(), block);
  }
  // A click was no zoom.
  EXPECT_EQ(Blocks()->min(), -0.5);
  EXPECT_EQ(Blocks()->max(), 199.5);
  // Nowhere near a point, or outside the chart: nothing.
  QTest::mouseClick(chart.View()->viewport(), Qt::LeftButton, {}, At(100, 131));
  QTest::mouseClick(chart.View()->viewport(), Qt::LeftButton, {}, At(100, 1000));
  EXPECT_EQ(chosen.count(), 3);

  ChannelSeries(Chart(), chart_names::kL2)[0]->clicked(QPointF(12.4, 40));
  EXPECT_EQ(data2.rowScrollBar->value(), 12);
  data2.GoToBlock(5000);
  EXPECT_EQ(data2.rowScrollBar->value(), 199);
}

TEST_F(ChartWindowTest, HoveringAPointNamesItsRecordRow) {
  OpenEventChart(Sample("crane-200.512"));
  QSignalSpy hovered(chart.View(), &EventChartView::RecordHovered);
  const EventPoint& point = chart.View()->Points()[9];
  // Straight to the view: a tooltip in the way would take a move that goes through the screen.
  const auto move_to = [&](QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, chart.View()->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(chart.View()->viewport(), &move);
  };
  move_to(At(9, *point.l2));
  ASSERT_GE(hovered.count(), 1);
  EXPECT_EQ(hovered.last().at(0).toInt(), 9);
  EXPECT_TRUE(chart.RecordLine()->text().startsWith(QStringLiteral("Блок: 0009    Дата: "))) << chart.RecordLine()->text().toStdString();
  const QString text = chart.RecordText(9);
  for (int column = 0; column < data2::kColumns; ++column) {
    const QString cell = QString::fromStdString(data2.Table().GetCellEx(column, RecordRow(9))).trimmed();
    EXPECT_TRUE(text.contains(QString::fromUtf8(kData2Columns[static_cast<std::size_t>(column)].header) + ": " + cell))
        << text.toStdString();
  }
  EXPECT_EQ(chart.View()->RecordAt(At(100, 131)), -1);
  move_to(At(100, 131));
  EXPECT_EQ(hovered.last().at(0).toInt(), -1);
}

TEST_F(ChartWindowTest, WheelBandDoubleClickAndHome) {
  OpenEventChart(Sample("crane-200.512"));
  EventChartView* view = chart.View();
  const auto span = [&] { return Blocks()->max() - Blocks()->min(); };
  ASSERT_EQ(span(), 200);

  QWheelEvent wheel(At(50, 50), view->viewport()->mapToGlobal(At(50, 50)), {}, {0, 120}, Qt::NoButton, {},
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(view->viewport(), &wheel);
  EXPECT_NEAR(span(), 160, 1e-6);
  EXPECT_NEAR((50 - Blocks()->min()) / span(), (50 + 0.5) / 200, 1e-3);  // the block under the wheel stays put
  view->ResetZoom();

  // A band from block 40 to block 80.
  QTest::mousePress(view->viewport(), Qt::LeftButton, {}, At(40, 50));
  QTest::mouseMove(view->viewport(), At(60, 50));
  QTest::mouseMove(view->viewport(), At(80, 50));
  QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, At(80, 50));
  EXPECT_NEAR(Blocks()->min(), 40, 1);
  EXPECT_NEAR(Blocks()->max(), 80, 1);

  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, At(60, 50));
  EXPECT_EQ(span(), 200);

  view->ZoomBlocks(1000, 100);  // never narrower than ten blocks
  EXPECT_NEAR(span(), 10, 1e-6);
  view->ZoomBlocks(0.001, 100);  // never wider than the log
  EXPECT_EQ(Blocks()->min(), -0.5);
  view->ZoomBlocks(4, 190);
  QTest::keyClick(view, Qt::Key_Home);
  EXPECT_EQ(span(), 200);
}

TEST_F(ChartWindowTest, OneWindowRedrawnAtEachShowAndClosedByEscape) {
  OpenEventChart(Sample("crane-200.512"));
  EXPECT_EQ(chart.Summary().records, 200);
  QTest::keyClick(&chart, Qt::Key_Escape);
  EXPECT_FALSE(chart.isVisible());
  OpenEventChart(Sample("empty-log.512"));
  EXPECT_EQ(chart.Summary().records, 0);
  EXPECT_EQ(PointCount(Chart(), chart_names::kL1), 0);
  EXPECT_EQ(chart.SummaryValues()[1]->text(), QStringLiteral("---"));
  EXPECT_EQ(QApplication::topLevelWidgets().count(&chart), 1);
  // The user can make it bigger, and the chart follows.
  EXPECT_TRUE(chart.IsResizable());
  const QSize before = chart.View()->size();
  chart.resize(chart.size() + QSize(200, 100));
  QApplication::processEvents();
  EXPECT_EQ(chart.Panel()->width(), chart.Client()->width());
  EXPECT_EQ(chart.View()->size(), before + QSize(200, 100));
}

TEST_F(ChartWindowTest, SavesThePictureAsPngAndSvg) {
  test::TempDir dir;
  OpenEventChart(Sample("crane-200.512"));
  dialogs.save_answers = {QString::fromStdString((dir / "load").string()),
                          QString::fromStdString((dir / "load.svg").string())};
  chart.SavePictureAs(PictureFormat::kPng);
  chart.SavePictureAs(PictureFormat::kSvg);
  ASSERT_EQ(dialogs.save_requests.size(), 2u);
  EXPECT_EQ(dialogs.save_requests[0].filter_pattern, QStringLiteral("*.png"));
  const QImage png(QString::fromStdString((dir / "load.png").string()));
  EXPECT_EQ(png.size(), chart.Panel()->size());
  QSvgRenderer svg(QString::fromStdString((dir / "load.svg").string()));
  EXPECT_TRUE(svg.isValid());
  EXPECT_EQ(svg.viewBox().size(), chart.Panel()->size());

  dialogs.save_answers = {QStringLiteral("/nonexistent-folder/x.png")};
  chart.SavePictureAs(PictureFormat::kPng);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("Не удается создать файл !")));
}

// A picture saved under the name of the file the key came from would destroy the key.
TEST_F(ChartWindowTest, NeverSavesOverTheKeyImageFile) {
  test::TempDir dir;
  OpenEventChart(Sample("crane-200.512"));
  const std::filesystem::path key = dir / "key.png";
  const KeyImage image = Sample("crane-200.512");
  test::WriteBytes(key, {image.begin(), image.end()});
  windows.session->Replace(image, KeySource::File(key.string()));
  dialogs.save_answers = {QString::fromStdString(key.string())};
  chart.SavePictureAs(PictureFormat::kPng);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("Не удается создать файл !")));
  EXPECT_EQ(*ReadImageFile(key), image);
}

class SpectrumWindowTest : public ChartWindowTest {
 protected:
  SpectrumChartWindow& spectrum = *windows.spectrumChartWindow;
  Data1Window& data1 = *windows.data1Window;
};

std::vector<double> BarValues(QChartView* view) {
  auto* series = qobject_cast<QBarSeries*>(view->chart()->series().at(0));
  std::vector<double> values;
  for (int i = 0; i < series->barSets()[0]->count(); ++i) values.push_back(series->barSets()[0]->at(i));
  return values;
}

TEST_F(SpectrumWindowTest, BarsAndCaptionAreTheData1Cells) {
  windows.session->Replace(Sample("crane-200.512"), {});
  main.data1Button->click();
  EXPECT_EQ(data1.chartMenu->title(), QStringLiteral("График"));
  data1.spectrumChartAction->trigger();
  ASSERT_TRUE(spectrum.isVisible());
  const TextTable& table = data1.Table();
  const Data1Row cycles[] = {Data1Row::kCyclesQ1, Data1Row::kCyclesQ2, Data1Row::kCyclesQ3, Data1Row::kCyclesQ4,
                             Data1Row::kCyclesQ5};
  const Data1Row times[] = {Data1Row::kLoadTimeQ1, Data1Row::kLoadTimeQ2, Data1Row::kLoadTimeQ3,
                            Data1Row::kLoadTimeQ4, Data1Row::kLoadTimeQ5};
  const std::vector<double> cycle_bars = BarValues(spectrum.CyclesView());
  const std::vector<double> time_bars = BarValues(spectrum.LoadTimeView());
  ASSERT_EQ(cycle_bars.size(), 5u);
  ASSERT_EQ(time_bars.size(), 5u);
  for (int q = 0; q < 5; ++q) {
    EXPECT_EQ(cycle_bars[q], std::stoi(Data1Value(table, cycles[q]))) << q;
    const std::string time = Data1Value(table, times[q]);  // "HHHHH:MM"
    const double hours = std::stoi(time.substr(0, 5)) + std::stoi(time.substr(6)) / 60.0;
    EXPECT_NEAR(time_bars[q], hours, 1e-9) << q;
  }
  const QString caption = spectrum.Caption()->text();
  for (Data1Row row : {Data1Row::kCraneClass, Data1Row::kCraneMode, Data1Row::kCraneGroup, Data1Row::kMechanismClass,
                       Data1Row::kMechanismMode, Data1Row::kMechanismGroup}) {
    EXPECT_TRUE(caption.contains(QString::fromStdString(Data1Value(table, row)))) << caption.toStdString();
  }
  EXPECT_TRUE(caption.contains(QStringLiteral("класс использования C1")));
}

TEST_F(SpectrumWindowTest, ARefusedImageGetsTheMessageAndNoWindow) {
  windows.session->Replace(Sample("format-6.512"), {});
  data1.spectrumChartAction->trigger();
  EXPECT_FALSE(spectrum.isVisible());
  EXPECT_EQ(dialogs.TakeTexts(), std::vector<QString>{QStringLiteral("Файл не верный !")});
}

}  // namespace
}  // namespace kd
