#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QMouseEvent>
#include <QUrl>
#include <QScreen>
#include <QTest>
#include <sys/stat.h>

#include "app/application.h"
#include "image/image_file.h"
#include "support/scripted_dialogs.h"
#include "support/small_tmpfs.h"
#include "support/temp_dir.h"
#include "ui/skin_gauge.h"

namespace kd {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const QString kCannotOpen = QStringLiteral("Файл не удается открыть !");
const QString kCannotCreate = QStringLiteral("Не удается создать файл !");

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { main.show(); }

  // Presses "Считать" with "Файл" selected and the open dialog answering `answer`.
  void Load(std::optional<QString> answer) {
    dialogs.open_answers.push_back(std::move(answer));
    main.readButton->click();
  }
  void Save(std::optional<QString> answer) {
    dialogs.save_answers.push_back(std::move(answer));
    main.saveButton->click();
  }
  KeyImage Marked() {
    KeyImage image{};
    for (std::size_t i = 0; i < image.size(); i += 97) image[i] = static_cast<std::uint8_t>(i / 97);
    return image;
  }

  test::ScriptedDialogs dialogs;
  Windows windows = CreateWindows(dialogs);
  MainWindow& main = *windows.mainWindow;
  TempDir dir;
};

TEST_F(MainWindowTest, StartsCompactWithFileSelectedAndTheReportsHidden) {
  EXPECT_EQ(main.height(), MainWindow::CompactHeight);
  EXPECT_EQ(main.frameGeometry().height(), 84);
  EXPECT_EQ(main.Caption()->Title(), QStringLiteral(" Дешифратор  v.7"));
  EXPECT_EQ(main.ClientWidth(), 290);
  EXPECT_EQ(main.sourceSelector->currentIndex(), 0);
  QStringList items;
  for (int i = 0; i < main.sourceSelector->count(); ++i) items << main.sourceSelector->itemText(i);
  EXPECT_EQ(items, (QStringList{"Файл", "COM 1", "COM 2", "COM 3"}));
  EXPECT_FALSE(main.sourceSelector->isEditable());
  EXPECT_EQ(main.sourceSelector->toolTip(), QStringLiteral("Выбор номера порта"));
  EXPECT_EQ(main.sourceLabel->text(), QStringLiteral("Источник считывания:"));
  EXPECT_EQ(windows.session->Image(), KeyImage{});

  EXPECT_FALSE(windows.data1Window->isVisible());
  EXPECT_FALSE(windows.data2Window->isVisible());
  EXPECT_EQ(windows.data1Window->Caption()->Title(), QStringLiteral(" Данные 1"));
  EXPECT_EQ(windows.data2Window->Caption()->Title(), QStringLiteral(" Данные 2"));
  EXPECT_EQ(windows.data1Window->ClientWidth(), 421);
  EXPECT_EQ(windows.data2Window->ClientWidth(), 658);
}

// Each row lies wholly within the heights that show it and wholly outside those that do not.
TEST_F(MainWindowTest, RowsFitTheirHeights) {
  const auto bottom_in_window = [&](QWidget* w) { return w->mapTo(&main, QPoint(0, w->height())).y(); };
  const auto top_in_window = [&](QWidget* w) { return w->mapTo(&main, QPoint(0, 0)).y(); };
  for (QWidget* row1 : std::initializer_list<QWidget*>{main.sourceLabel, main.sourceSelector, main.readButton}) {
    EXPECT_LE(bottom_in_window(row1), MainWindow::CompactHeight);
  }
  EXPECT_GE(top_in_window(main.progressGauge), MainWindow::CompactHeight);
  EXPECT_LE(bottom_in_window(main.progressGauge), MainWindow::ProgressHeight);
  for (QWidget* row3 : std::initializer_list<QWidget*>{main.data1Button, main.data2Button, main.saveButton}) {
    EXPECT_GE(top_in_window(row3), MainWindow::ProgressHeight);
    EXPECT_LE(bottom_in_window(row3), MainWindow::FullHeight);
  }
  EXPECT_EQ(main.sourceSelector->geometry(), QRect(128, 16, 73, 21));
  EXPECT_EQ(main.readButton->geometry(), QRect(216, 16, 65, 25));
  EXPECT_EQ(main.progressGauge->geometry(), QRect(8, 56, 273, 17));
  EXPECT_EQ(main.saveButton->geometry(), QRect(200, 88, 81, 25));
}

TEST_F(MainWindowTest, TabReachesTheCutOffButtons) {
  QApplication::setActiveWindow(&main);
  main.sourceSelector->setFocus();
  const QWidget* expected[] = {main.readButton, main.data1Button, main.data2Button, main.saveButton};
  for (const QWidget* next : expected) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next);
  }
  // "Данные 2" pressed from the keyboard while row 3 is out of view opens the report.
  main.data2Button->setFocus();
  QTest::keyClick(main.data2Button, Qt::Key_Space);
  EXPECT_TRUE(windows.data2Window->isVisible());
  EXPECT_FALSE(main.isVisible());
}

TEST_F(MainWindowTest, LoadOpensFullyWithTheGaugeFull) {
  std::vector<std::uint8_t> bytes(100, 0x1A);
  bytes[0] = 0x0D;
  bytes[1] = 0x0A;
  WriteBytes(dir / "k.512", bytes);
  Load(Q(dir / "k.512"));
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(main.height(), MainWindow::FullHeight);
  EXPECT_EQ(main.progressGauge->Text(), QStringLiteral("Считано ...100%"));
  EXPECT_EQ(windows.session->Image(), ImageFromFileBytes(bytes));
  EXPECT_EQ(windows.session->Source().kind, KeySource::Kind::kFile);
  EXPECT_EQ(windows.session->Source().path, (dir / "k.512").string());

  // A later selector choice collapses the window, even to the item already chosen.
  main.sourceSelector->activated(0);
  EXPECT_EQ(main.height(), MainWindow::CompactHeight);
}

TEST_F(MainWindowTest, CancelledOrFailedLoadKeepsTheImage) {
  windows.session->Replace(Marked(), {});
  WriteBytes(dir / "k.512", {1, 2, 3});
  Load(Q(dir / "k.512"));
  ASSERT_EQ(main.height(), MainWindow::FullHeight);
  const KeyImage loaded = windows.session->Image();

  Load(std::nullopt);
  EXPECT_EQ(main.height(), MainWindow::CompactHeight);
  EXPECT_TRUE(dialogs.messages.empty());

  WriteBytes(dir / "unreadable.512", {9});
  fs::permissions(dir / "unreadable.512", fs::perms::none);
  fs::create_directory(dir / "folder.512");
  ASSERT_EQ(::mkfifo((dir / "fifo.512").c_str(), 0644), 0);
  // The box says which file and why, under the usual text.
  const std::pair<fs::path, const char*> cases[] = {{dir / "missing.512", "нет такого файла"},
                                                     {dir / "folder.512", "это папка"},
                                                     {dir / "unreadable.512", "нет прав на чтение"},
                                                     {dir / "fifo.512", "это не обычный файл"}};
  for (const auto& [bad, reason] : cases) {
    Load(Q(bad));
    EXPECT_EQ(main.height(), MainWindow::CompactHeight) << bad;
    ASSERT_EQ(dialogs.messages.size(), 1u) << bad;
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(dialogs.messages[0].text, kCannotOpen + "\n" + Q(bad) + "\n" + QString::fromUtf8(reason));
    dialogs.messages.clear();
  }
  EXPECT_EQ(windows.session->Image(), loaded);
}

TEST_F(MainWindowTest, ReportsHideTheMainWindowUntilClosed) {
  WriteBytes(dir / "k.512", {});
  Load(Q(dir / "k.512"));
  for (ReportWindow* report : std::initializer_list<ReportWindow*>{windows.data1Window.get(), windows.data2Window.get()}) {
    (report == windows.data1Window.get() ? main.data1Button : main.data2Button)->click();
    EXPECT_TRUE(report->isVisible());
    EXPECT_FALSE(main.isVisible());
    report->close();
    EXPECT_FALSE(report->isVisible());
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(main.height(), MainWindow::FullHeight);
  }
}

TEST_F(MainWindowTest, DialogsKeepTheirTitlesAndRememberTheirLastFile) {
  WriteBytes(dir / "first.512", {});
  Load(Q(dir / "first.512"));
  Load(std::nullopt);
  Save(std::nullopt);
  ASSERT_EQ(dialogs.open_requests.size(), 2u);
  ASSERT_EQ(dialogs.save_requests.size(), 1u);
  const FileDialogRequest& first_open = dialogs.open_requests[0];
  EXPECT_EQ(first_open.title, QStringLiteral(" Открытие файла ключа"));
  EXPECT_EQ(first_open.filter_name, QStringLiteral("Образ Key"));
  EXPECT_EQ(first_open.filter_pattern, QStringLiteral("*.512"));
  EXPECT_EQ(first_open.folder, QCoreApplication::applicationDirPath());
  EXPECT_EQ(first_open.file_name, QString());
  // The open dialog comes back where its file was; the save dialog proposes that file.
  EXPECT_EQ(dialogs.open_requests[1].folder, Q(fs::canonical(dir.path())));
  EXPECT_EQ(dialogs.open_requests[1].file_name, QStringLiteral("first.512"));
  const FileDialogRequest& save = dialogs.save_requests[0];
  EXPECT_EQ(save.title, QStringLiteral(" Сохранение файла ключа"));
  EXPECT_EQ(save.filter_name, QStringLiteral("Образ Key"));
  EXPECT_EQ(save.folder, Q(fs::canonical(dir.path())));
  EXPECT_EQ(save.file_name, QStringLiteral("first.512"));
}

// Before any image, both dialogs start in the program's folder where it can be written; then
// where an image was last opened or saved. "Сохранить" proposes the file the image came from, and
// no name for an image from the reader.
TEST_F(MainWindowTest, ImageDialogsFollowTheUsersFiles) {
  const QString start = QCoreApplication::applicationDirPath();
  Save(std::nullopt);
  EXPECT_EQ(dialogs.save_requests.back().folder, start);
  EXPECT_EQ(dialogs.save_requests.back().file_name, QStringLiteral("*.512"));

  fs::create_directories(dir / "in");
  fs::create_directories(dir / "out");
  WriteBytes(dir / "in" / "k.512", {});
  Load(Q(dir / "in" / "k.512"));
  Save(Q(dir / "out" / "copy.512"));
  Load(std::nullopt);
  EXPECT_EQ(dialogs.open_requests.back().folder, Q(fs::canonical(dir / "out")));
  Save(std::nullopt);
  EXPECT_EQ(dialogs.save_requests.back().folder, Q(fs::canonical(dir / "in")));
  EXPECT_EQ(dialogs.save_requests.back().file_name, QStringLiteral("k.512"));

  windows.session->Replace(Marked(), KeySource::Port("/dev/ttyUSB0", {}));
  Save(std::nullopt);
  EXPECT_EQ(dialogs.save_requests.back().folder, Q(fs::canonical(dir / "in")));
  EXPECT_EQ(dialogs.save_requests.back().file_name, QStringLiteral("*.512"));
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST(ImageFolderTest, AFolderNobodyMayWriteGivesWayToTheDocuments) {
  TempDir dir;
  fs::create_directory(dir / "open");
  fs::create_directory(dir / "locked");
  fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                      fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  EXPECT_EQ(WritableFolderOrDocuments(Q(dir / "open")), Q(dir / "open"));
  EXPECT_EQ(WritableFolderOrDocuments(Q(dir / "locked")), DocumentsFolder());
  EXPECT_EQ(WritableFolderOrDocuments(Q(dir / "missing")), DocumentsFolder());
  EXPECT_NE(DocumentsFolder(), Q(dir / "locked"));
}

// A file named on the command line or dropped on the window opens as "Файл" and "Считать" would
// open it; several files, a folder or a file that is not there are refused.
TEST_F(MainWindowTest, FilesFromTheCommandLineOrADropOpenLikeTheDialog) {
  const std::vector<std::uint8_t> bytes(300, 0x5A);
  WriteBytes(dir / "a.512", bytes);
  WriteBytes(dir / "b.512", {1});
  fs::create_directory(dir / "folder.512");
  const struct {
    const char* what;
    QStringList files;
    bool opens;
  } cases[] = {
      {"one file", {Q(dir / "a.512")}, true},
      {"two files", {Q(dir / "a.512"), Q(dir / "b.512")}, false},
      {"a folder", {Q(dir / "folder.512")}, false},
      {"a missing file", {Q(dir / "missing.512")}, false},
  };
  const auto drop = [&](MainWindow& target, const QStringList& files) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& file : files) urls << QUrl::fromLocalFile(file);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &dropped);
    QCoreApplication::processEvents();
  };
  for (const bool dropped : {false, true}) {
    for (const auto& c : cases) {
      const std::string what = std::string(c.what) + (dropped ? " dropped" : " on the command line");
      test::ScriptedDialogs fresh_dialogs;
      Windows fresh = CreateWindows(fresh_dialogs);
      if (dropped) {
        fresh.mainWindow->show();
        drop(*fresh.mainWindow, c.files);
      } else {
        StartUp(fresh, QStringList{QStringLiteral("keydecoder")} + c.files);
      }
      EXPECT_TRUE(fresh.mainWindow->isVisible()) << what;
      EXPECT_EQ(fresh.mainWindow->height(), c.opens ? MainWindow::FullHeight : MainWindow::CompactHeight) << what;
      EXPECT_EQ(fresh.session->Image(), c.opens ? ImageFromFileBytes(bytes) : KeyImage{}) << what;
      // A refusal is the dialog's message: the text, then the file and the reason where there is one.
      const std::vector<QString> shown = fresh_dialogs.TakeTexts();
      ASSERT_EQ(shown.size(), c.opens ? 0u : 1u) << what;
      if (!c.opens) EXPECT_TRUE(shown[0].startsWith(kCannotOpen)) << what;
      if (!c.opens && c.files.size() == 1) EXPECT_TRUE(shown[0].contains(c.files[0])) << what;
    }
  }
  // Nothing named: the window as always.
  test::ScriptedDialogs fresh_dialogs;
  Windows fresh = CreateWindows(fresh_dialogs);
  StartUp(fresh, {QStringLiteral("keydecoder")});
  EXPECT_EQ(fresh.mainWindow->height(), MainWindow::CompactHeight);
  EXPECT_TRUE(fresh_dialogs.messages.empty());
}

TEST_F(MainWindowTest, SaveWritesTheImageAsItStands) {
  Save(Q(dir / "zeros"));  // no extension is added
  EXPECT_EQ(ReadBytes(dir / "zeros"), std::vector<std::uint8_t>(kKeyImageSize, 0));

  windows.session->Replace(Marked(), {});
  WriteBytes(dir / "old.512", {1, 2, 3});
  Save(Q(dir / "old.512"));  // replaced without a question
  Load(Q(dir / "old.512"));
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(windows.session->Image(), Marked());
}

TEST_F(MainWindowTest, FailedSaveSaysSoAndKeepsTheOldFile) {
  const std::vector<std::uint8_t> old{7, 7, 7};
  WriteBytes(dir / "read-only.512", old);
  fs::permissions(dir / "read-only.512", fs::perms::owner_read);
  fs::create_directory(dir / "locked");
  WriteBytes(dir / "locked" / "a.512", old);
  fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);

  for (const fs::path& target : {dir / "read-only.512", dir / "locked" / "a.512"}) {
    Save(Q(target));
    EXPECT_EQ(dialogs.TakeTexts(), std::vector<QString>{kCannotCreate}) << target;
    EXPECT_EQ(ReadBytes(target), old) << target;
  }

  test::SmallTmpfs disk(dir / "disk");
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
  WriteBytes(disk.path() / "a.512", old);
  Save(Q(disk.path() / "a.512"));
  EXPECT_EQ(dialogs.TakeTexts(), std::vector<QString>{kCannotCreate});
  EXPECT_EQ(ReadBytes(disk.path() / "a.512"), old);
}

// Saving over the file the image came from, by any of its names, is refused and leaves it as it was.
TEST_F(MainWindowTest, SaveNeverReplacesTheOpenedFile) {
  const std::vector<std::uint8_t> original{1, 2, 3};
  WriteBytes(dir / "k.512", original);
  fs::create_symlink(dir / "k.512", dir / "link.512");
  Load(Q(dir / "k.512"));
  for (const fs::path& target : {dir / "k.512", dir / "link.512", dir / "." / "k.512"}) {
    Save(Q(target));
    EXPECT_EQ(dialogs.TakeTexts(), std::vector<QString>{kCannotCreate + "\n" + Q(target) + "\nэто файл образа ключа"})
        << target;
    EXPECT_EQ(ReadBytes(dir / "k.512"), original) << target;
  }
  Save(Q(dir / "copy.512"));
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(ReadBytes(dir / "copy.512").size(), kKeyImageSize);
}

// The window moves by its caption bar and sticks to a screen edge it comes within 5 pixels of.
TEST_F(MainWindowTest, DraggedByTheCaptionBarAndSnappedToTheEdges) {
  const QRect screen = main.screen()->availableGeometry();
  CaptionBar* bar = main.Caption();
  const auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
    QMouseEvent event(type, bar->mapFromGlobal(QPointF(global)), QPointF(global), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(bar, &event);
  };
  main.move(screen.left() + 100, screen.top() + 100);
  const QPoint grab = main.frameGeometry().topLeft() + QPoint(40, 10);  // a point on the caption
  send(QEvent::MouseButtonPress, grab, Qt::LeftButton);
  send(QEvent::MouseMove, grab + QPoint(-97, 50), Qt::LeftButton);  // left edge 3 px from the screen's
  EXPECT_EQ(main.frameGeometry().topLeft(), QPoint(screen.left(), screen.top() + 150));
  send(QEvent::MouseMove, grab + QPoint(-50, 20), Qt::LeftButton);
  EXPECT_EQ(main.frameGeometry().topLeft(), QPoint(screen.left() + 50, screen.top() + 120));
  send(QEvent::MouseButtonRelease, grab + QPoint(-50, 20), Qt::NoButton);
  send(QEvent::MouseMove, grab + QPoint(200, 200), Qt::NoButton);  // no longer dragging
  EXPECT_EQ(main.frameGeometry().topLeft(), QPoint(screen.left() + 50, screen.top() + 120));
}

}  // namespace
}  // namespace kd
