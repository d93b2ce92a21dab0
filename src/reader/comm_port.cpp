#include "comm_port.h"

#include "protocol.h"

namespace kd {

QString ComPortName(int number) {
#ifdef Q_OS_WIN
  return QStringLiteral("COM%1").arg(number);
#else
  return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

TCommPort::TCommPort(ErrorBox error_box, QObject* parent)
    : QObject(parent), error_box_(std::move(error_box)) {
  port_.setReadBufferSize(kInBufferSize);
  connect(&port_, &QSerialPort::readyRead, this, [this] { Q_EMIT DataReceived(GetInBuffUsed()); });
  connect(&port_, &QSerialPort::errorOccurred, this, &TCommPort::OnError);
}

TCommPort::~TCommPort() {
  // Closed without notifications: whoever listened may be gone already.
  blockSignals(true);
  port_.close();
}

void TCommPort::SetComNumber(int number) { SetPortName(PortNameOf(number)); }

void TCommPort::SetPortName(const QString& name) {
  SetOpen(false);
  port_name_ = name;
}

void TCommPort::SetOpen(bool open) {
  if (open == port_.isOpen()) return;
  if (!open) {
    port_.close();
    Q_EMIT Closed();
    return;
  }
  port_.setPortName(port_name_);
  port_.setBaudRate(reader::kBaudRate);
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  if (!port_.open(QIODevice::ReadWrite)) {
    error_box_(QStringLiteral("Can't open COM port"), QStringLiteral("COM port error"));
    return;
  }
  // A pseudo-terminal has no modem lines: these fail there with UnsupportedOperationError, which
  // OnError lets pass.
  port_.setDataTerminalReady(false);
  port_.setRequestToSend(false);
  Q_EMIT Opened();
}

void TCommPort::FlushInBuffer() {
  if (port_.isOpen()) port_.clear(QSerialPort::Input);
}

void TCommPort::PutChar(std::uint8_t byte) {
  if (port_.isOpen()) port_.putChar(static_cast<char>(byte));
}

std::uint8_t TCommPort::GetChar() {
  char byte = 0;
  if (!port_.isOpen() || !port_.getChar(&byte)) return 0;
  return static_cast<std::uint8_t>(byte);
}

int TCommPort::GetInBuffUsed() const { return port_.isOpen() ? static_cast<int>(port_.bytesAvailable()) : 0; }

void TCommPort::OnError(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
      // The device is gone or broken. Left open, the port would report the same error again and
      // again as fast as the event loop turns; closed, a wait on it simply times out.
      SetOpen(false);
      break;
    default:
      break;
  }
}

}  // namespace kd
