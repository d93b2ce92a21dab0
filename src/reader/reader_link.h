#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <span>

#include "comm_port.h"
#include "image/key_image.h"

namespace kd {

// Where the reader link shows what it does: the main window, or the command line.
class ReaderLinkHost {
 public:
  enum class Stage {
    kPaging,    // the further pages are being fetched: the gauge comes into view
    kComplete,  // the whole key was read
  };

  virtual ~ReaderLinkHost() = default;
  // One of the link's error messages, in a modal box; the link goes on when it is closed.
  virtual void ShowMessage(const QString& text) = 0;
  // The serial port's own modal box when a port does not open.
  virtual void ShowPortError(const QString& text, const QString& caption) = 0;
  virtual void ShowStage(Stage stage) = 0;
  virtual void SetGaugeRange(int min, int max) = 0;
  // May lie above the range's maximum after the last page; the gauge then shows its maximum.
  virtual void SetGaugeValue(int value) = 0;
  // "Считать" and the source selector: disabled exactly while the port is open.
  virtual void SetReadControlsEnabled(bool enabled) = 0;
};

// Reads a key through the key reader into an image, page by page, on the thread it lives on. Each
// wait for the reader dispatches that thread's events, blocking until the next one, so the
// port's notifications and the time-out ticks run during it and a window stays live; a wait gives
// up after 11 ticks of 100 ms.
class ReaderLink : public QObject {
  Q_OBJECT
 public:
  explicit ReaderLink(ReaderLinkHost& host, QObject* parent = nullptr);

  // Read through COM n, or through any port name. True when the whole key was read; on failure
  // the host has shown why, and the image holds the pages that came in front of its older bytes.
  bool ReadFromReader(KeyImage& image, int port_number);
  bool ReadFromReader(KeyImage& image, const QString& port_name);
  // A read is running (its waits dispatch events, so a second one could be started from one).
  bool Busy() const { return busy_; }
  // Ends a running read at its current wait, silently: the port closes, no message is shown,
  // and the read returns false. For a window that is closing.
  void Cancel();

  TCommPort CommPort1;
  QTimer Timer_TO;

  // The wait state; zero when no read has run yet.
  std::uint32_t TimeoutTicks = 0;
  std::uint32_t WaitReply = 0;
  std::uint32_t WaitPortOpen = 0;
  std::uint32_t WaitPage = 0;
  std::uint8_t LinkAlive = 0;

  static constexpr int kTickMs = 100;
  static constexpr std::uint32_t kTimeoutTicks = 10;
  // How long the line must stay silent after the last page: a byte takes about 1 ms at 9600
  // baud, and a USB adapter may hold bytes back for 16 ms.
  static constexpr int kQuietMs = 50;

 private:
  template <typename ChoosePort>
  bool Read(KeyImage& image, ChoosePort choose_port);

  void Timer_TOTimer();
  void CommPort1DataReceived(int count);
  void CommPort1Open();
  void CommPort1Close();

  void ArmTimeout();
  // Dispatches events until the flag is cleared or the time-out runs out; TimedOut() tells which.
  void LinkWait(const std::uint32_t& flag);
  bool TimedOut() const { return LinkAlive == 0; }
  // Sends a request on an emptied input buffer and waits for the flag.
  void Request(std::uint32_t& flag, std::span<const std::uint8_t> bytes);
  // Waits kQuietMs for bytes nobody asked for; false when some came (or were already there).
  bool LineStaysQuiet();
  // Fails a read: the message, then the port closed.
  bool Fail(const QString& text);

  ReaderLinkHost& host_;
  bool busy_ = false;
  bool cancelled_ = false;
};

}  // namespace kd
