#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "app/application.h"
#include "ui/report_grid.h"
#include "support/header_image.h"
#include "support/scripted_dialogs.h"
#include "ui/input_box.h"

namespace kd {
namespace {

const QString kRefused = QStringLiteral("Файл не верный !");

class Data1WindowTest : public ::testing::Test {
 protected:
  // What the grid shows in column 1 of a row.
  QString Shown(Data1Row row) const { return form.Grid()->model()->index(RowOf(row), 1).data().toString(); }
  std::string Value(Data1Row row) const { return Data1Value(form.Table(), row); }

  // Shows the window the way the main window's "Данные 1" does, then closes it again.
  void ShowAndClose(const KeyImage& image) {
    windows.session->Replace(image, {});
    main.data1Button->click();
    ASSERT_TRUE(form.isVisible());
    form.close();
  }

  KeyImage Accepted() const {
    test::Counters counters;
    counters.cycles = {0, 0, 300, 0, 0};
    counters.times = {Duration{}, Duration{}, Duration{300, 0}, Duration{}, Duration{}};
    KeyImage image = test::WithCounters(counters);
    test::SetWord(image, header::kLimiterId, 12345);
    return image;
  }

  test::ScriptedDialogs dialogs;
  Windows windows = CreateWindows(dialogs, QDate(2024, 3, 7));
  MainWindow& main = *windows.mainWindow;
  Data1Window& form = *windows.data1Window;
};

TEST_F(Data1WindowTest, LaidOutAsDesigned) {
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.ClientWidth(), 421);
  EXPECT_EQ(form.Grid()->geometry(), QRect(0, 30, 402, 341));
  EXPECT_EQ(form.Grid()->columnWidth(0), 256);
  EXPECT_EQ(form.Grid()->columnWidth(1), 142);
  EXPECT_EQ(form.Grid()->model()->rowCount(), 35);
  EXPECT_FALSE(form.Grid()->isEnabled());

  const QList<QAction*> menus = form.MenuBar()->actions();
  ASSERT_GE(menus.size(), 1);
  EXPECT_EQ(menus[0]->text(), QStringLiteral("Дополнительно"));
  const QList<QAction*> items = menus[0]->menu()->actions();
  ASSERT_EQ(items.size(), 4);
  EXPECT_EQ(items[0], form.editCraneNameAction);
  EXPECT_EQ(items[1], form.editSignatureAction);
  EXPECT_EQ(items[2], form.finishSeparator);
  EXPECT_EQ(items[3], form.finishAction);
  EXPECT_EQ(form.editCraneNameAction->text(), QStringLiteral("Наименование крана, его номер"));
  EXPECT_EQ(form.editSignatureAction->text(), QStringLiteral("Подпись (ФИО)"));
  EXPECT_TRUE(form.finishSeparator->isSeparator());
  EXPECT_EQ(form.finishAction->text(), QStringLiteral("Закончить"));
}

TEST_F(Data1WindowTest, ARefusedFirstShowStillOpensWithTheCreationValues) {
  windows.session->Replace(KeyImage{}, {});
  main.data1Button->click();
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(dialogs.TakeTexts(), std::vector<QString>{kRefused});
  for (const Data1RowSpec& row : kData1Rows) {
    if (row.value) EXPECT_EQ(Shown(row.id), QString()) << row.label;
  }
  EXPECT_EQ(Shown(Data1Row::kCraneName), QStringLiteral("0289"));
  EXPECT_EQ(Shown(Data1Row::kSignature), QStringLiteral("Фамилия И.О."));
  EXPECT_EQ(Shown(Data1Row::kDate), QStringLiteral("2024-03-07"));
  EXPECT_EQ(form.ClientWidth(), 421);
}

TEST_F(Data1WindowTest, EachShowFillsFromTheImageOfThatMoment) {
  ShowAndClose(Accepted());
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(Shown(Data1Row::kLimiterId), QStringLiteral("12345"));
  EXPECT_EQ(Shown(Data1Row::kCyclesQ3), QStringLiteral("00300"));
  // The reals carry the user's decimal separator.
  EXPECT_EQ(Shown(Data1Row::kKm), QStringLiteral("0") + QLocale::system().decimalPoint() + QStringLiteral("4218"));
  EXPECT_EQ(Shown(Data1Row::kMechanismGroup), QStringLiteral("M2"));
  EXPECT_EQ(form.Grid()->columnWidth(0), 256);
  EXPECT_EQ(form.ClientWidth(), 421);

  // A refused image afterwards: the message, and the accepted image's values stay.
  ShowAndClose(KeyImage{});
  EXPECT_EQ(dialogs.TakeTexts(), std::vector<QString>{kRefused});
  EXPECT_EQ(Shown(Data1Row::kLimiterId), QStringLiteral("12345"));

  KeyImage other = test::Data1Image();
  test::SetWord(other, header::kLimiterId, 7);
  ShowAndClose(other);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(Shown(Data1Row::kLimiterId), QStringLiteral("00007"));
  EXPECT_EQ(Shown(Data1Row::kCyclesQ3), QStringLiteral("00000"));
}

TEST_F(Data1WindowTest, EditingTheCraneNameAndTheSignature) {
  ShowAndClose(Accepted());
  main.data1Button->click();

  dialogs.input_answers = {QStringLiteral("КС-45717, № 12"), std::nullopt};
  form.editCraneNameAction->trigger();
  form.editSignatureAction->trigger();
  ASSERT_EQ(dialogs.input_requests.size(), 2u);
  EXPECT_EQ(dialogs.input_requests[0].caption, QStringLiteral(" Наименование крана, его номер:"));
  EXPECT_EQ(dialogs.input_requests[0].prompt, QString());
  EXPECT_EQ(dialogs.input_requests[0].text, QStringLiteral("0289"));
  EXPECT_EQ(dialogs.input_requests[1].caption, QStringLiteral(" Подпись (ФИО):"));
  EXPECT_EQ(dialogs.input_requests[1].text, QStringLiteral("Фамилия И.О."));
  EXPECT_EQ(Shown(Data1Row::kCraneName), QStringLiteral("КС-45717, № 12"));
  EXPECT_EQ(Shown(Data1Row::kSignature), QStringLiteral("Фамилия И.О."));  // cancelled

  dialogs.input_answers = {QString()};
  form.editSignatureAction->trigger();
  EXPECT_EQ(dialogs.input_requests.back().text, QStringLiteral("Фамилия И.О."));
  EXPECT_EQ(Value(Data1Row::kSignature), "");

  // The edits outlive later shows, of a refused image and of a new one.
  form.close();
  ShowAndClose(KeyImage{});
  ShowAndClose(test::Data1Image());
  EXPECT_EQ(Value(Data1Row::kCraneName), "КС-45717, № 12");
  EXPECT_EQ(Value(Data1Row::kSignature), "");
  EXPECT_EQ(Value(Data1Row::kDate), "2024-03-07");
}

TEST_F(Data1WindowTest, FinishClosesLikeTheCaptionBar) {
  ShowAndClose(Accepted());
  main.data1Button->click();
  ASSERT_FALSE(main.isVisible());
  form.finishAction->trigger();
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(main.isVisible());
  EXPECT_EQ(Shown(Data1Row::kLimiterId), QStringLiteral("12345"));  // hidden, not emptied
}

TEST(InputBoxTest, OpensWithTheDefaultSelectedAndTakesAtMost255Characters) {
  InputBox box(nullptr, QStringLiteral(" Подпись (ФИО):"), QString(), QStringLiteral("Фамилия И.О."));
  EXPECT_EQ(box.windowTitle(), QStringLiteral(" Подпись (ФИО):"));
  EXPECT_TRUE(box.isModal());
  EXPECT_EQ(box.Edit()->selectedText(), QStringLiteral("Фамилия И.О."));
  EXPECT_EQ(box.Edit()->maxLength(), 255);
  QTest::keyClicks(box.Edit(), QStringLiteral("Ivanov"));
  EXPECT_EQ(box.Text(), QStringLiteral("Ivanov"));  // typing replaces the selection
  box.Edit()->setText(QString(300, QLatin1Char('x')));
  EXPECT_EQ(box.Text().size(), 255);
}

// The real box opens with the default still selected, and answers the text on OK and nothing on
// Cancel.
TEST(InputBoxTest, QtDialogsAnswerOkAndCancel) {
  QtDialogs dialogs;
  const auto answer_next_box = [](bool ok) {
    QTimer::singleShot(0, [ok] {
      auto* box = qobject_cast<InputBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->Edit()->selectedText(), QStringLiteral("old"));
      box->Edit()->setText(QStringLiteral("новое"));
      ok ? box->accept() : box->reject();
    });
  };
  answer_next_box(true);
  EXPECT_EQ(dialogs.InputBox(nullptr, QStringLiteral("c"), QString(), QStringLiteral("old")), QStringLiteral("новое"));
  answer_next_box(false);
  EXPECT_EQ(dialogs.InputBox(nullptr, QStringLiteral("c"), QString(), QStringLiteral("old")), std::nullopt);
}

}  // namespace
}  // namespace kd
