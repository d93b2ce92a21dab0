#include "reader_link.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <array>

#include "page_transfer.h"
#include "protocol.h"

namespace kd {

namespace {

const QString kCannotOpenPort = QStringLiteral("Не могу открыть выбранный порт !");
const QString kNoLink = QStringLiteral("Нет связи с УСИ !");
const QString kNoKey = QStringLiteral("Ключ не вставлен в УСИ !");
const QString kLinkError = QStringLiteral("Ошибка связи с УСИ !");
const QString kNotIdentified = QStringLiteral("Ключ не идентифицирован !");
const QString kWrongLength = QStringLiteral("Неправильная длина данных !");

}  // namespace

ReaderLink::ReaderLink(ReaderLinkHost& host, QObject* parent)
    : QObject(parent),
      CommPort1([this](const QString& text, const QString& caption) { host_.ShowPortError(text, caption); }),
      host_(host) {
  Timer_TO.setInterval(kTickMs);
  Timer_TO.setTimerType(Qt::PreciseTimer);
  connect(&Timer_TO, &QTimer::timeout, this, &ReaderLink::Timer_TOTimer);
  connect(&CommPort1, &TCommPort::DataReceived, this, &ReaderLink::CommPort1DataReceived);
  connect(&CommPort1, &TCommPort::Opened, this, &ReaderLink::CommPort1Open);
  connect(&CommPort1, &TCommPort::Closed, this, &ReaderLink::CommPort1Close);
}

bool ReaderLink::ReadFromReader(KeyImage& image, int port_number) {
  return Read(image, [&] { CommPort1.SetComNumber(port_number); });
}

bool ReaderLink::ReadFromReader(KeyImage& image, const QString& port_name) {
  return Read(image, [&] { CommPort1.SetPortName(port_name); });
}

template <typename ChoosePort>
bool ReaderLink::Read(KeyImage& image, ChoosePort choose_port) {
  // A nested read would leave this one waiting with the timer stopped, for good.
  if (busy_) return false;
  busy_ = true;
  cancelled_ = false;
  struct Idle {
    bool& busy;
    ~Idle() { busy = false; }
  } idle{busy_};

  WaitPortOpen = 1;
  ArmTimeout();
  choose_port();
  CommPort1.SetOpen(true);
  LinkWait(WaitPortOpen);
  if (TimedOut()) return Fail(kCannotOpenPort);

  Request(WaitReply, std::span(&reader::kProbeRequest, 1));
  if (TimedOut()) return Fail(kNoLink);
  if (CommPort1.GetChar() != reader::kKeyPresent) return Fail(kNoKey);

  const auto received_page = [this] {
    std::array<std::uint8_t, kImagePageSize> page;
    for (std::uint8_t& byte : page) byte = CommPort1.GetChar();
    return page;
  };

  Request(WaitPage, reader::kFirstPageRequest);
  if (TimedOut()) return Fail(kLinkError);
  reader::PageTransfer transfer(image);
  switch (transfer.TakeFirstPage(received_page())) {
    case reader::PageTransfer::FirstPage::kNotIdentified:
      return Fail(kNotIdentified);
    case reader::PageTransfer::FirstPage::kWrongLength:
      return Fail(kWrongLength);
    case reader::PageTransfer::FirstPage::kAccepted:
      break;
  }

  host_.SetGaugeRange(1, static_cast<int>(transfer.ExtraPages()));
  host_.SetGaugeValue(1);
  host_.ShowStage(ReaderLinkHost::Stage::kPaging);
  do {
    Request(WaitPage, std::span(&reader::kNextPageRequest, 1));
    if (TimedOut()) {
      transfer.SkipNextPage();
    } else {
      transfer.TakeNextPage(received_page());
    }
    host_.SetGaugeValue(static_cast<int>(transfer.PageNumber()));
  } while (!transfer.Done() && !TimedOut());
  // A reader that sent more than a page lets the extra bytes slip into the next page, shifting
  // every page after it; such a read would look complete. The leftovers after the last page give
  // it away.
  const bool overrun = !TimedOut() && !LineStaysQuiet();

  // Here the port closes before the message, unlike every other failure.
  CommPort1.SetOpen(false);
  if (TimedOut() || overrun) {
    if (!cancelled_) host_.ShowMessage(kLinkError);
    return false;
  }
  host_.ShowStage(ReaderLinkHost::Stage::kComplete);
  return true;
}

void ReaderLink::Timer_TOTimer() {
  if (LinkAlive == 0) return;
  if (TimeoutTicks > 0) {
    --TimeoutTicks;
  } else {
    LinkAlive = 0;
  }
}

void ReaderLink::CommPort1DataReceived(int /*count*/) {
  WaitReply = 0;
  // A page is complete only when a notification finds exactly its size: more than that at once
  // means the reply was not a page.
  if (CommPort1.GetInBuffUsed() == static_cast<int>(kImagePageSize)) WaitPage = 0;
}

void ReaderLink::CommPort1Open() {
  WaitPortOpen = 0;
  host_.SetReadControlsEnabled(false);
}

void ReaderLink::CommPort1Close() {
  WaitPortOpen = 1;
  host_.SetReadControlsEnabled(true);
}

void ReaderLink::ArmTimeout() {
  TimeoutTicks = kTimeoutTicks;
  LinkAlive = cancelled_ ? 0 : 1;  // a cancelled read waits for nothing more
}

void ReaderLink::LinkWait(const std::uint32_t& flag) {
  Timer_TO.start();  // a fresh 100 ms period
  while (LinkAlive != 0 && flag != 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  Timer_TO.stop();
}

void ReaderLink::Request(std::uint32_t& flag, std::span<const std::uint8_t> bytes) {
  CommPort1.FlushInBuffer();
  flag = 1;
  ArmTimeout();
  for (const std::uint8_t byte : bytes) CommPort1.PutChar(byte);
  LinkWait(flag);
}

bool ReaderLink::LineStaysQuiet() {
  QTimer quiet;
  quiet.setSingleShot(true);
  bool over = false;
  connect(&quiet, &QTimer::timeout, this, [&over] { over = true; });
  quiet.start(kQuietMs);
  while (!over && CommPort1.GetInBuffUsed() == 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return CommPort1.GetInBuffUsed() == 0;
}

void ReaderLink::Cancel() {
  if (!busy_) return;
  cancelled_ = true;
  LinkAlive = 0;  // the wait ends as if it had timed out
}

bool ReaderLink::Fail(const QString& text) {
  if (!cancelled_) host_.ShowMessage(text);
  CommPort1.SetOpen(false);
  return false;
}

}  // namespace kd
