#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "reader/reader_link.h"
#include "reader/serial_ports.h"
#include "support/key_reader_sim.h"
#include "support/port_holder.h"
#include "support/stopwatch.h"

namespace kd {
namespace {

using test::KeyReaderSim;
using test::Mixture;
using test::Older;
using test::ServedKey;
using Events = std::vector<std::string>;

const std::string kCannotOpenPort = "Не могу открыть выбранный порт !";
const std::string kNoLink = "Нет связи с УСИ !";
const std::string kNoKey = "Ключ не вставлен в УСИ !";
const std::string kLinkError = "Ошибка связи с УСИ !";
const std::string kNotIdentified = "Ключ не идентифицирован !";
const std::string kWrongLength = "Неправильная длина данных !";
const QString kMissingPort = QStringLiteral("/nonexistent/kd-reader");

// Writes down everything the link shows, in order.
class RecordingHost : public ReaderLinkHost {
 public:
  Events events;
  std::function<void(int)> on_gauge;

  void ShowMessage(const QString& text) override { events.push_back("message " + text.toStdString()); }
  void ShowPortError(const QString& text, const QString& caption) override {
    events.push_back("box " + caption.toStdString() + ": " + text.toStdString());
  }
  void ShowStage(Stage stage) override { events.push_back(stage == Stage::kPaging ? "stage paging" : "stage complete"); }
  void SetGaugeRange(int min, int max) override {
    events.push_back("range " + std::to_string(min) + ".." + std::to_string(max));
  }
  void SetGaugeValue(int value) override {
    events.push_back("gauge " + std::to_string(value));
    if (on_gauge) on_gauge(value);
  }
  void SetReadControlsEnabled(bool enabled) override { events.push_back(enabled ? "controls on" : "controls off"); }
};

// A read refused before the paging: message first, then the port closed.
Events Refused(const std::string& message) { return {"controls off", "message " + message, "controls on"}; }

// A read that got to the further pages, the gauge having reached `last`.
Events Paging(int extra_pages, int last, const Events& end) {
  Events events{"controls off", "range 1.." + std::to_string(extra_pages), "gauge 1", "stage paging"};
  for (int value = 2; value <= last; ++value) events.push_back("gauge " + std::to_string(value));
  events.insert(events.end(), end.begin(), end.end());
  return events;
}
Events Complete(int extra_pages) { return Paging(extra_pages, extra_pages + 1, {"controls on", "stage complete"}); }
// A further page did not come: the port closed first, then the message.
Events LostAt(int extra_pages, int page) { return Paging(extra_pages, page + 1, {"controls on", "message " + kLinkError}); }

struct ReadCase {
  const char* name;
  QStringList faults;  // keyreader-sim's options; no simulator at all for "PortDoesNotOpen"
  std::uint16_t block_count;
  Events events;
  std::size_t replaced;  // bytes of the key in the image afterwards, in front of the older ones
  bool times_out;
};
void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }


const ReadCase kReads[] = {
    {"PortDoesNotOpen", {}, 13,
     {"box COM port error: Can't open COM port", "message " + kCannotOpenPort}, 0, true},
    {"ReaderSilent", {"--silent"}, 13, Refused(kNoLink), 0, true},
    {"NoKey", {"--no-key"}, 13, Refused(kNoKey), 0, false},
    {"FirstPageNeverComes", {"--stop-at", "0"}, 13, Refused(kLinkError), 0, true},
    {"WrongSignature", {"--wrong-signature"}, 13, Refused(kNotIdentified), 128, false},
    {"BlockCountZero", {}, 0, Refused(kWrongLength), 128, false},
    {"BlockCountThree", {}, 3, Refused(kWrongLength), 128, false},
    {"PageWithOneByteTooMany", {"--long-page", "3"}, 90, LostAt(10, 3), 3 * 128, true},
    {"TimeOutAtPage5Of10", {"--stop-at", "5"}, 90, LostAt(10, 5), 5 * 128, true},
    {"ProbeAnsweredWithSeveralBytes", {"--probe-extra", "3"}, 13, Complete(2), 3 * 128, false},
    {"FirstPageInTwoPieces", {"--split-page", "0"}, 13, Complete(2), 3 * 128, false},
    {"FurtherPageInTwoPieces", {"--split-page", "2"}, 13, Complete(2), 3 * 128, false},
    {"BlockCount4", {}, 4, Complete(1), 2 * 128, false},
    {"BlockCount13", {}, 13, Complete(2), 3 * 128, false},
    {"BlockCount22", {}, 22, Complete(3), 4 * 128, false},
    {"BlockCount4674", {}, 4674, Complete(511), kKeyImageSize, false},
    {"BlockCount60000", {}, 60000, Complete(511), kKeyImageSize, false},
};

class ReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadTest, ShowsWhatHappenedAndLeavesTheNewPagesBeforeTheOlderBytes) {
  const ReadCase& c = GetParam();
  const KeyImage served = ServedKey(c.block_count);
  const KeyImage older = Older(served);
  std::unique_ptr<KeyReaderSim> sim;
  QString port = kMissingPort;
  if (std::string_view(c.name) != "PortDoesNotOpen") {
    sim = std::make_unique<KeyReaderSim>(served, c.faults + QStringList{"--fast"});
    port = sim->Path();
  }
  RecordingHost host;
  ReaderLink link(host);
  KeyImage image = older;

  const test::Stopwatch clock;
  const bool complete = link.ReadFromReader(image, port);
  const double wall = clock.Wall();

  EXPECT_EQ(host.events, c.events);
  EXPECT_EQ(complete, c.events.back() == "stage complete");
  KeyImage expected = Mixture(served, older, c.replaced);
  if (c.faults.contains("--wrong-signature")) expected[1] ^= 0x01;  // as the simulator sent it
  EXPECT_EQ(image, expected);
  EXPECT_FALSE(link.Port().IsOpen());
  if (c.times_out) {
    // 11 ticks of 100 ms, waited for without spinning.
    EXPECT_GE(wall, 1.05);
    EXPECT_LT(clock.Cpu(), 0.3 * wall);
  }
}

// At the line's own pace the extra byte of a long page arrives after the page is complete and
// would slide into the next one; the read must not end as if it were complete.
TEST(ReaderLinkTest, PageWithOneByteTooManyAtLineSpeedIsNoCompleteRead) {
  const KeyImage served = ServedKey(13);
  KeyReaderSim sim(served, {"--long-page", "1"});
  RecordingHost host;
  ReaderLink link(host);
  KeyImage image = Older(served);
  EXPECT_FALSE(link.ReadFromReader(image, sim.Path()));
  EXPECT_EQ(host.events, LostAt(2, 2));
  EXPECT_FALSE(link.Port().IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Reader, ReadTest, ::testing::ValuesIn(kReads),
                         [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(ReaderLinkTest, PortHeldByAnotherProgramShowsBothBoxesAndNeverDisablesTheControls) {
  const KeyImage served = ServedKey(13);
  KeyReaderSim sim(served, {"--fast"});
  test::PortHolder holder(sim.Path());
  ASSERT_TRUE(holder.held());
  RecordingHost host;
  ReaderLink link(host);
  KeyImage image = Older(served);

  const test::Stopwatch clock;
  EXPECT_FALSE(link.ReadFromReader(image, sim.Path()));
  EXPECT_GE(clock.Wall(), 1.05);
  EXPECT_EQ(host.events, (Events{"box COM port error: Can't open COM port", "message " + kCannotOpenPort}));
  EXPECT_EQ(image, Older(served));
}

// A pulled adapter: the port reports errors for as long as it stays open, so the link closes it
// and the wait ends by its time-out without spinning.
TEST(ReaderLinkTest, FarEndGoneMidTransferClosesThePortAndTimesOut) {
  const KeyImage served = ServedKey(90);
  KeyReaderSim sim(served, {"--fast"});
  RecordingHost host;
  ReaderLink link(host);
  host.on_gauge = [&](int value) {
    if (value == 3) sim.Close();
  };
  KeyImage image = Older(served);

  const test::Stopwatch clock;
  EXPECT_FALSE(link.ReadFromReader(image, sim.Path()));
  const double wall = clock.Wall();

  EXPECT_EQ(host.events, Paging(10, 3, {"controls on", "gauge 4", "message " + kLinkError}));
  EXPECT_FALSE(link.Port().IsOpen());
  EXPECT_EQ(image, Mixture(served, Older(served), 3 * 128));
  EXPECT_GE(wall, 1.05);
  EXPECT_LT(wall, 3.0);
  EXPECT_LT(clock.Cpu(), 0.3 * wall);
}

TEST(ReaderLinkTest, ComNumbersGoThroughTheNameLookup) {
  EXPECT_EQ(ComPortName(1), QStringLiteral("/dev/ttyS0"));
  EXPECT_EQ(ComPortName(3), QStringLiteral("/dev/ttyS2"));

  const KeyImage served = ServedKey(4);
  KeyReaderSim sim(served, {"--fast"});
  RecordingHost host;
  ReaderLink link(host);
  std::vector<int> asked;
  link.Port().PortNameOf = [&](int number) {
    asked.push_back(number);
    return sim.Path();
  };
  KeyImage image{};
  EXPECT_TRUE(link.ReadFromReader(image, 2));
  EXPECT_EQ(asked, std::vector<int>{2});
  EXPECT_EQ(image, Mixture(served, KeyImage{}, 2 * 128));
}

// The selector shows Windows' ports like "COM 1", others by their name; the ports COM 1 to COM 3
// open are known by their system name.
TEST(SerialPortsTest, TextsAndTheFirstThreeComPorts) {
  const struct {
    const char* name;
    const char* text;
  } texts[] = {{"COM7", "COM 7"}, {"COM12", "COM 12"}, {"ttyUSB0", "ttyUSB0"}, {"/dev/pts/3", "/dev/pts/3"},
               {"COMX", "COMX"}};
  for (const auto& c : texts) EXPECT_EQ(PortText(QString::fromUtf8(c.name)), QString::fromUtf8(c.text)) << c.name;
  for (int number = 1; number <= 3; ++number) EXPECT_EQ(ComNumberOf(ComPortName(number)), number);
  EXPECT_EQ(ComNumberOf(ComPortName(4)), 0);
  EXPECT_EQ(ComNumberOf(QStringLiteral("/dev/ttyUSB0")), 0);
}

}  // namespace
}  // namespace kd
