#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "ui/dialogs.h"
#include "ui/input_box.h"
#include "ui/skin_gauge.h"
#include "ui/skinned_window.h"
#include "ui/snap.h"

namespace kd {
namespace {

struct PercentCase {
  int min, max, value, percent;
};

TEST(SkinGaugeTest, PercentRoundsHalfToEven) {
  const PercentCase cases[] = {
      {0, 100, 0, 0},   {0, 100, 100, 100}, {1, 10, 1, 0},   {1, 10, 10, 100},
      {0, 8, 1, 12},    // 12.5 -> 12
      {0, 8, 3, 38},    // 37.5 -> 38
      {0, 200, 1, 0},   // 0.5 -> 0
      {0, 200, 3, 2},   // 1.5 -> 2
      {0, 3, 1, 33},    {0, 3, 2, 67},  {1, 511, 256, 50},
      {5, 5, 5, 100},   // a range of one point reads full
  };
  for (const PercentCase& c : cases) {
    SkinGauge gauge;
    gauge.SetMaxValue(c.max);
    gauge.SetMinValue(c.min);
    gauge.SetValue(c.value);
    EXPECT_EQ(gauge.Percent(), c.percent) << c.min << ".." << c.max << " at " << c.value;
  }
  SkinGauge gauge;
  gauge.SetValue(50);
  EXPECT_EQ(gauge.Text(), QStringLiteral("Считано ...50%"));
}

TEST(SkinGaugeTest, ValueStaysWithinTheRange) {
  SkinGauge gauge;
  EXPECT_EQ(gauge.MinValue(), 0);
  EXPECT_EQ(gauge.MaxValue(), 100);
  gauge.SetValue(150);
  EXPECT_EQ(gauge.Value(), 100);
  gauge.SetValue(-3);
  EXPECT_EQ(gauge.Value(), 0);

  gauge.SetMinValue(1);  // the bound carries the value with it
  EXPECT_EQ(gauge.Value(), 1);
  gauge.SetValue(90);
  gauge.SetMaxValue(10);
  EXPECT_EQ(gauge.Value(), 10);
  gauge.SetMinValue(20);  // a minimum above the maximum moves both
  EXPECT_EQ(gauge.MaxValue(), 20);
  EXPECT_EQ(gauge.Value(), 20);
  gauge.SetMaxValue(5);
  EXPECT_EQ(gauge.MinValue(), 5);
  EXPECT_EQ(gauge.Value(), 5);
}

TEST(SnapTest, EdgesWithinFivePixelsStick) {
  const QRect screen(0, 0, 1000, 800);
  struct Case {
    QPoint wanted, expected;
  } cases[] = {
      {{5, 5}, {0, 0}},        {{6, 6}, {6, 6}},        {{-5, -4}, {0, 0}},     {{-6, 100}, {-6, 100}},
      {{705, 300}, {700, 300}}, {{694, 300}, {694, 300}}, {{300, 695}, {300, 700}}, {{300, 706}, {300, 706}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SnapToEdges(QRect(c.wanted, QSize(300, 100)), screen, 5), c.expected) << c.wanted.x() << "," << c.wanted.y();
  }
}

// Windows show their edge on a light desktop too, and an empty gauge shows its sunken trough.
TEST(SkinTest, WindowFrameAndGaugeTrough) {
  SkinnedWindow window(QStringLiteral("t"), QSize(100, 50));
  const QImage frame = window.grab().toImage();
  const QColor edge(0x3d, 0x5a, 0x80);
  const int w = frame.width(), h = frame.height();
  for (const QPoint point : {QPoint(w / 2, 0), QPoint(0, h / 2), QPoint(w - 1, h / 2), QPoint(w / 2, h - 1)}) {
    EXPECT_EQ(frame.pixelColor(point), edge) << point.x() << "," << point.y();
  }
  EXPECT_NE(frame.pixelColor(2, h / 2), edge);

  SkinGauge gauge;
  gauge.resize(100, 17);
  const QImage trough = gauge.grab().toImage();
  const int top_left = qGray(trough.pixel(50, 0));
  const int inside = qGray(trough.pixel(3, 8));
  const int bottom_right = qGray(trough.pixel(50, 16));
  EXPECT_LT(top_left, inside);
  EXPECT_LT(top_left, bottom_right);
  EXPECT_EQ(trough.pixelColor(3, 8), gauge.palette().base().color());
}

// What a dialog's labels and buttons say, the shortcut marks taken out.
QStringList Texts(const QWidget* dialog) {
  QStringList texts;
  for (const QLabel* label : dialog->findChildren<QLabel*>()) texts << label->text().remove(QLatin1Char('&'));
  for (const QPushButton* button : dialog->findChildren<QPushButton*>()) {
    texts << button->text().remove(QLatin1Char('&'));
  }
  return texts;
}

// Qt's own dialogs speak Russian like the rest of the program.
TEST(QtDialogsTest, SpeakRussian) {
  QStringList open_dialog;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(qobject_cast<QFileDialog*>(dialog), nullptr);
    open_dialog = Texts(dialog);
    static_cast<QDialog*>(dialog)->reject();
  });
  QtDialogs dialogs;
  EXPECT_EQ(dialogs.OpenFileName(nullptr, {QStringLiteral("t"), QStringLiteral("Образ Key"), QStringLiteral("*.512"),
                                            QDir::tempPath(), QString()}),
            std::nullopt);
  for (const char* text : {"Папка:", "Имя файла:", "Открыть", "Отмена"}) {
    EXPECT_TRUE(open_dialog.contains(QString::fromUtf8(text))) << text << " in " << open_dialog.join('|').toStdString();
  }
  InputBox box(nullptr, QStringLiteral("c"), QString(), QString());
  const QStringList input = Texts(&box);
  for (const char* text : {"ОК", "Отмена"}) {
    EXPECT_TRUE(input.contains(QString::fromUtf8(text))) << text << " in " << input.join('|').toStdString();
  }
}

}  // namespace
}  // namespace kd
