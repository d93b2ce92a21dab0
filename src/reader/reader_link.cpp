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
      port_([this](const QString& text, const QString& caption) { host_.ShowPortError(text, caption); }),
      host_(host) {
  port_.setObjectName("CommPort1");
  timeout_timer_.setObjectName("Timer_TO");
  timeout_timer_.setInterval(kTick);
  timeout_timer_.setTimerType(Qt::PreciseTimer);
  connect(&timeout_timer_, &QTimer::timeout, this, &ReaderLink::OnTick);
  connect(&port_, &TCommPort::DataReceived, this, &ReaderLink::OnDataReceived);
  connect(&port_, &TCommPort::Opened, this, &ReaderLink::OnPortOpened);
  connect(&port_, &TCommPort::Closed, this, &ReaderLink::OnPortClosed);
}

bool ReaderLink::ReadFromReader(KeyImage& image, int port_number) {
  return Read(image, [&] { port_.SetComNumber(port_number); });
}

bool ReaderLink::ReadFromReader(KeyImage& image, const QString& port_name) {
  return Read(image, [&] { port_.SetPortName(port_name); });
}

bool ReaderLink::ReadFromReader(KeySession& session, int port_number) {
  return ReadInto(session, [&] { port_.SetComNumber(port_number); });
}

bool ReaderLink::ReadFromReader(KeySession& session, const QString& port_name) {
  return ReadInto(session, [&] { port_.SetPortName(port_name); });
}

template <typename ChoosePort>
bool ReaderLink::ReadInto(KeySession& session, ChoosePort choose_port) {
  if (busy_) return false;
  const auto started = std::chrono::system_clock::now();
  KeyImage image = session.Image();
  const bool complete = Read(image, choose_port);
  // A read that stopped part way still replaced the pages that came.
  if (image != session.Image()) session.Replace(image, KeySource::Port(port_.PortName().toStdString(), started));
  return complete;
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

  wait_port_open_ = 1;
  ArmTimeout();
  choose_port();
  port_.SetOpen(true);
  LinkWait(wait_port_open_);
  if (TimedOut()) return Fail(kCannotOpenPort);

  Request(wait_reply_, std::span(&reader::kProbeRequest, 1));
  if (TimedOut()) return Fail(kNoLink);
  if (port_.GetChar() != reader::kKeyPresent) return Fail(kNoKey);

  const auto received_page = [this] {
    std::array<std::uint8_t, kImagePageSize> page;
    for (std::uint8_t& byte : page) byte = port_.GetChar();
    return page;
  };

  Request(wait_page_, reader::kFirstPageRequest);
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
    Request(wait_page_, std::span(&reader::kNextPageRequest, 1));
    if (TimedOut()) {
      host_.PageMissed();
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
  port_.SetOpen(false);
  if (TimedOut() || overrun) {
    if (!cancelled_) host_.ShowMessage(kLinkError);
    return false;
  }
  host_.ShowStage(ReaderLinkHost::Stage::kComplete);
  return true;
}

void ReaderLink::OnTick() {
  if (link_alive_ == 0) return;
  if (--ticks_left_ <= 0) link_alive_ = 0;
}

void ReaderLink::OnDataReceived(int /*count*/) {
  wait_reply_ = 0;
  // A page is complete only when a notification finds exactly its size: more than that at once
  // means the reply was not a page.
  if (port_.GetInBuffUsed() == static_cast<int>(kImagePageSize)) wait_page_ = 0;
}

void ReaderLink::OnPortOpened() {
  wait_port_open_ = 0;
  host_.SetReadControlsEnabled(false);
}

void ReaderLink::OnPortClosed() {
  wait_port_open_ = 1;
  host_.SetReadControlsEnabled(true);
}

void ReaderLink::ArmTimeout() {
  ticks_left_ = kReplyTimeout / kTick;
  link_alive_ = cancelled_ ? 0 : 1;  // a cancelled read waits for nothing more
}

void ReaderLink::LinkWait(const std::uint32_t& flag) {
  timeout_timer_.start();  // a fresh 100 ms period
  while (link_alive_ != 0 && flag != 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  timeout_timer_.stop();
}

void ReaderLink::Request(std::uint32_t& flag, std::span<const std::uint8_t> bytes) {
  port_.FlushInBuffer();
  flag = 1;
  ArmTimeout();
  for (const std::uint8_t byte : bytes) port_.PutChar(byte);
  LinkWait(flag);
}

bool ReaderLink::LineStaysQuiet() {
  QTimer quiet;
  quiet.setSingleShot(true);
  bool over = false;
  connect(&quiet, &QTimer::timeout, this, [&over] { over = true; });
  quiet.start(kQuietTime);
  while (!over && port_.GetInBuffUsed() == 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return port_.GetInBuffUsed() == 0;
}

void ReaderLink::Cancel() {
  if (!busy_) return;
  cancelled_ = true;
  link_alive_ = 0;  // the wait ends as if it had timed out
}

bool ReaderLink::Fail(const QString& text) {
  if (!cancelled_) host_.ShowMessage(text);
  port_.SetOpen(false);
  return false;
}

}  // namespace kd
