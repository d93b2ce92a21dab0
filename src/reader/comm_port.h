#pragma once

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <cstdint>
#include <functional>

namespace kd {

// The system's name of serial port COM n: "COMn" on Windows, /dev/ttyS(n-1) on Linux.
QString ComPortName(int number);

// The serial port to the key reader, with the few operations the reader link needs: 9600 baud,
// 8N1, no flow control, exclusive, DTR and RTS cleared, a 2,048-byte input buffer. Notifications
// come on the thread the port lives on: Opened and Closed synchronously inside the call that opens
// or closes the port, DataReceived while that thread dispatches events.
class TCommPort : public QObject {
  Q_OBJECT
 public:
  // Shows a modal error box and returns when the user has closed it.
  using ErrorBox = std::function<void(const QString& text, const QString& caption)>;

  static constexpr qint64 kInBufferSize = 2048;

  explicit TCommPort(ErrorBox error_box, QObject* parent = nullptr);
  ~TCommPort() override;

  // How COM numbers become port names; tests point them elsewhere.
  std::function<QString(int)> PortNameOf = ComPortName;

  // Closes the port if it is open, then takes COM n (or any port name) for the next open.
  void SetComNumber(int number);
  void SetPortName(const QString& name);
  QString PortName() const { return port_name_; }

  // Opening that fails shows the box "Can't open COM port" and raises nothing.
  void SetOpen(bool open);
  bool IsOpen() const { return port_.isOpen(); }

  // Discards what was received so far, in the driver and in the input buffer.
  void FlushInBuffer();
  // Queues one byte; it goes out while events are dispatched.
  void PutChar(std::uint8_t byte);
  // The oldest buffered byte, or 0 when there is none.
  std::uint8_t GetChar();
  int GetInBuffUsed() const;

 Q_SIGNALS:
  void Opened();
  void Closed();
  // Count: the bytes buffered when the notification runs.
  void DataReceived(int count);

 private:
  void OnError(QSerialPort::SerialPortError error);

  ErrorBox error_box_;
  QString port_name_;
  QSerialPort port_;
};

}  // namespace kd
