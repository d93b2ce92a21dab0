#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QTimer>
#include <QPushButton>
#include <memory>

#include "app/application.h"
#include "support/key_reader_sim.h"
#include "support/port_holder.h"
#include "support/scripted_dialogs.h"
#include "ui/skin_gauge.h"

namespace kd {
namespace {

using test::KeyReaderSim;
using test::Mixture;
using test::Older;
using test::ServedKey;
using Message = test::ScriptedDialogs::Message;

const QString kError = QStringLiteral("Error");
const QString kLinkError = QStringLiteral("Ошибка связи с УСИ !");

class MainWindowReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { main.show(); }

  // Selects "COM 2", with every COM item leading to `port`, and presses "Считать".
  void ReadThrough(const QString& port) {
    main.Link().Port().PortNameOf = [this, port](int number) {
      asked.push_back(number);
      return port;
    };
    main.sourceSelector->setCurrentIndex(2);
    main.sourceSelector->activated(2);
    main.readButton->click();
  }
  bool ReadControlsEnabled() const { return main.readButton->isEnabled() && main.sourceSelector->isEnabled(); }
  bool ReadControlsDisabled() const { return !main.readButton->isEnabled() && !main.sourceSelector->isEnabled(); }

  test::ScriptedDialogs dialogs;
  Windows windows = CreateWindows(dialogs);
  MainWindow& main = *windows.mainWindow;
  test::TempDir dir;
  std::vector<int> asked;
};

TEST_F(MainWindowReaderTest, ReadAfterAFileLoadReplacesItsPagesOnlyAndOpensFully) {
  const KeyImage served = ServedKey(13);  // three pages in all
  const KeyImage file = Older(served);
  test::WriteBytes(dir / "old.512", {file.begin(), file.end()});
  dialogs.open_answers.push_back(QString::fromStdString((dir / "old.512").string()));
  main.readButton->click();
  ASSERT_EQ(windows.session->Image(), file);

  KeyReaderSim sim(served, {"--fast"});
  std::vector<bool> disabled_while_receiving;
  QObject::connect(&main.Link().Port(), &TCommPort::DataReceived,
                   [&] { disabled_while_receiving.push_back(ReadControlsDisabled()); });
  ReadThrough(sim.Path());

  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(asked, std::vector<int>{2});
  EXPECT_EQ(windows.session->Image(), Mixture(served, file, 3 * 128));
  EXPECT_EQ(windows.session->Source().kind, KeySource::Kind::kPort);
  EXPECT_EQ(windows.session->Source().path, sim.Path().toStdString());
  EXPECT_EQ(main.height(), MainWindow::FullHeight);
  EXPECT_EQ(main.progressGauge->MinValue(), 1);
  EXPECT_EQ(main.progressGauge->MaxValue(), 2);
  EXPECT_EQ(main.progressGauge->Value(), 2);
  EXPECT_EQ(main.progressGauge->Text(), QStringLiteral("Считано ...100%"));
  ASSERT_FALSE(disabled_while_receiving.empty());
  EXPECT_EQ(disabled_while_receiving, std::vector<bool>(disabled_while_receiving.size(), true));
  EXPECT_TRUE(ReadControlsEnabled());
}

struct FailureCase {
  const char* name;
  QStringList faults;
  bool port_held;  // by another program
  std::uint16_t block_count;
  std::vector<Message> messages;
  std::vector<bool> enabled_at_messages;  // "Считать" and the selector, while each box is open
  int height;
  int gauge_min, gauge_max, gauge_value;
  std::size_t replaced;
};
void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }


const FailureCase kFailures[] = {
    {"NoKey", {"--no-key"}, false, 13, {{kError, QStringLiteral("Ключ не вставлен в УСИ !")}}, {false},
     MainWindow::CompactHeight, 0, 100, 0, 0},
    // The port is still open while this message shows...
    {"FirstPageNeverComes", {"--stop-at", "0"}, false, 13, {{kError, kLinkError}}, {false},
     MainWindow::CompactHeight, 0, 100, 0, 0},
    // ...and already closed while this one does.
    {"TimeOutAtPage5Of10", {"--stop-at", "5"}, false, 90, {{kError, kLinkError}}, {true},
     MainWindow::ProgressHeight, 1, 10, 6, 5 * 128},
    {"PortHeld", {}, true, 13,
     {{QStringLiteral("COM port error"), QStringLiteral("Can't open COM port")},
      {kError, QStringLiteral("Не могу открыть выбранный порт !")}},
     {true, true}, MainWindow::CompactHeight, 0, 100, 0, 0},
};

class MainWindowReadFailureTest : public MainWindowReaderTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(MainWindowReadFailureTest, ShowsTheMessageAndKeepsTheWindowWhereTheReadStopped) {
  const FailureCase& c = GetParam();
  const KeyImage served = ServedKey(c.block_count);
  windows.session->Replace(Older(served), {});
  // Left over from an earlier read: "Считать" starts from the compact window and an empty gauge.
  main.SetOuterHeight(MainWindow::FullHeight);
  main.progressGauge->SetValue(50);

  KeyReaderSim sim(served, c.faults + QStringList{"--fast"});
  std::unique_ptr<test::PortHolder> holder;
  if (c.port_held) {
    holder = std::make_unique<test::PortHolder>(sim.Path());
    ASSERT_TRUE(holder->held());
  }
  std::vector<bool> enabled_at_messages;
  dialogs.on_message = [&](const Message&) { enabled_at_messages.push_back(ReadControlsEnabled()); };
  ReadThrough(sim.Path());

  EXPECT_EQ(dialogs.messages, c.messages);
  EXPECT_EQ(enabled_at_messages, c.enabled_at_messages);
  EXPECT_EQ(main.height(), c.height);
  EXPECT_EQ(main.progressGauge->MinValue(), c.gauge_min);
  EXPECT_EQ(main.progressGauge->MaxValue(), c.gauge_max);
  EXPECT_EQ(main.progressGauge->Value(), c.gauge_value);
  EXPECT_EQ(windows.session->Image(), Mixture(served, Older(served), c.replaced));
  EXPECT_TRUE(ReadControlsEnabled());
}

INSTANTIATE_TEST_SUITE_P(MainWindow, MainWindowReadFailureTest, ::testing::ValuesIn(kFailures),
                         [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(MainWindowReaderTest, ChangingTheSourceClosesAnOpenPort) {
  KeyReaderSim sim(ServedKey(13), {"--fast"});
  main.Link().Port().SetPortName(sim.Path());
  main.Link().Port().SetOpen(true);
  ASSERT_TRUE(main.Link().Port().IsOpen());
  EXPECT_TRUE(ReadControlsDisabled());
  main.SetOuterHeight(MainWindow::FullHeight);

  main.sourceSelector->activated(1);
  EXPECT_FALSE(main.Link().Port().IsOpen());
  EXPECT_TRUE(ReadControlsEnabled());
  EXPECT_EQ(main.height(), MainWindow::CompactHeight);
  EXPECT_TRUE(dialogs.messages.empty());
}

// "Считать" stays enabled while a read waits for a port that did not open; pressing it then must
// not start a second read inside the first one.
TEST_F(MainWindowReaderTest, ReadCannotStartAgainWhileWaitingForItsPort) {
  bool pressed = false;
  dialogs.on_message = [&](const Message&) {
    if (pressed) return;
    pressed = true;
    EXPECT_TRUE(ReadControlsEnabled());
    main.readButton->click();
  };
  ReadThrough(QStringLiteral("/nonexistent/kd-reader"));
  EXPECT_EQ(dialogs.TakeTexts(),
            (std::vector<QString>{QStringLiteral("Can't open COM port"), QStringLiteral("Не могу открыть выбранный порт !")}));
  EXPECT_EQ(asked, std::vector<int>{2});
}

// Closing the window ends the program: a read waiting for a silent reader ends at once, without
// a message, and lets the port go.
TEST_F(MainWindowReaderTest, ClosingTheWindowEndsAWaitingRead) {
  KeyReaderSim sim(ServedKey(13), {"--silent"});
  QTimer::singleShot(200, &main, [this] { main.close(); });
  QElapsedTimer clock;
  clock.start();
  ReadThrough(sim.Path());
  EXPECT_LT(clock.elapsed(), 900);  // well before the wait's own time-out
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_FALSE(main.Link().Port().IsOpen());
  EXPECT_FALSE(main.isVisible());
}

// Ports beyond COM 1 to COM 3 come from the system's list when the selector drops down, and
// read exactly as COM 1 to COM 3 do; a pseudo-terminal stands in for a USB adapter.
TEST_F(MainWindowReaderTest, ReadsThroughAPortFromTheSystemsList) {
  const KeyImage served = ServedKey(13);
  KeyReaderSim sim(served, {"--fast"});
  std::vector<SerialPortEntry> system = {{QStringLiteral("ttyS0"), QStringLiteral("/dev/ttyS0"), QString()},
                                         {QStringLiteral("ttyUSB0"), sim.Path(), QStringLiteral("USB-Serial")}};
  main.listSerialPorts = [&] { return system; };
  const auto items = [&] {
    QStringList texts;
    for (int i = 0; i < main.sourceSelector->count(); ++i) texts << main.sourceSelector->itemText(i);
    return texts;
  };
  EXPECT_EQ(items(), (QStringList{"Файл", "COM 1", "COM 2", "COM 3"}));
  main.sourceSelector->showPopup();
  main.sourceSelector->hidePopup();
  // /dev/ttyS0 is COM 1 already.
  ASSERT_EQ(items(), (QStringList{"Файл", "COM 1", "COM 2", "COM 3", "ttyUSB0", "Другой порт..."}));
  EXPECT_EQ(main.sourceSelector->itemData(4, Qt::ToolTipRole).toString(), QStringLiteral("USB-Serial\n") + sim.Path());

  main.sourceSelector->setCurrentIndex(4);
  main.sourceSelector->activated(4);
  main.readButton->click();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(windows.session->Image(), Mixture(served, KeyImage{}, 3 * 128));
  EXPECT_EQ(windows.session->Source().path, sim.Path().toStdString());
  EXPECT_EQ(main.height(), MainWindow::FullHeight);

  // Gone from the system's list, the chosen port stays chosen, and is refused at open.
  sim.Close();
  system.pop_back();
  main.sourceSelector->showPopup();
  main.sourceSelector->hidePopup();
  EXPECT_EQ(items(), (QStringList{"Файл", "COM 1", "COM 2", "COM 3", "ttyUSB0", "Другой порт..."}));
  EXPECT_EQ(main.sourceSelector->currentIndex(), 4);
  main.readButton->click();
  EXPECT_EQ(dialogs.TakeTexts(),
            (std::vector<QString>{QStringLiteral("Can't open COM port"), QStringLiteral("Не могу открыть выбранный порт !")}));
  // Once another source is chosen, it goes from the list.
  main.sourceSelector->setCurrentIndex(0);
  main.sourceSelector->showPopup();
  main.sourceSelector->hidePopup();
  EXPECT_EQ(items(), (QStringList{"Файл", "COM 1", "COM 2", "COM 3", "Другой порт..."}));
}

// "Другой порт..." takes any port name, which stays in the list; Cancel goes back to the
// source chosen before.
TEST_F(MainWindowReaderTest, ReadsThroughAPortTheUserNames) {
  const KeyImage served = ServedKey(13);
  KeyReaderSim sim(served, {"--fast"});
  main.listSerialPorts = [] { return std::vector<SerialPortEntry>{}; };
  main.sourceSelector->showPopup();
  main.sourceSelector->hidePopup();
  const int other = main.sourceSelector->count() - 1;
  ASSERT_EQ(main.sourceSelector->itemText(other), QStringLiteral("Другой порт..."));

  main.sourceSelector->setCurrentIndex(2);
  dialogs.input_answers.push_back(std::nullopt);
  main.sourceSelector->setCurrentIndex(other);
  main.sourceSelector->activated(other);
  EXPECT_EQ(main.sourceSelector->currentIndex(), 2);
  EXPECT_EQ(dialogs.input_requests.back().caption, QStringLiteral("Другой порт"));

  dialogs.input_answers.push_back(sim.Path());
  main.sourceSelector->setCurrentIndex(other);
  main.sourceSelector->activated(other);
  EXPECT_EQ(main.sourceSelector->currentText(), sim.Path());
  main.readButton->click();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(windows.session->Image(), Mixture(served, KeyImage{}, 3 * 128));
  EXPECT_EQ(main.height(), MainWindow::FullHeight);

  main.sourceSelector->setCurrentIndex(0);
  main.sourceSelector->showPopup();
  main.sourceSelector->hidePopup();
  EXPECT_EQ(main.sourceSelector->itemText(4), sim.Path());
  EXPECT_EQ(main.sourceSelector->itemText(5), QStringLiteral("Другой порт..."));
}

}  // namespace
}  // namespace kd
