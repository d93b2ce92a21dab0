#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <span>

#include "comm_port.h"
#include "image/key_image.h"
#include "image/key_session.h"

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
  // A further page did not come whole in time; the gauge still counts it.
  virtual void PageMissed() {}
  // "Считать" and the source selector: disabled exactly while the port is open.
  virtual void SetReadControlsEnabled(bool enabled) = 0;
};

// Reads a key through the key reader into an image, page by page, on the thread it lives on. Each
// wait for the reader dispatches that thread's events, blocking until the next one, so the
// port's notifications and the time-out ticks run during it and a window stays live; a wait gives
// up after kReplyTimeout.
class ReaderLink : public QObject {
  Q_OBJECT
 public:
  explicit ReaderLink(ReaderLinkHost& host, QObject* parent = nullptr);

  // Read through COM n, or through any port name. True when the whole key was read; on failure
  // the host has shown why, and the image holds the pages that came in front of its older bytes.
  bool ReadFromReader(KeyImage& image, int port_number);
  bool ReadFromReader(KeyImage& image, const QString& port_name);
  // The same into a session's image: the session takes what was read, whole or not, with the
  // port and the time the read started, and announces it.
  bool ReadFromReader(KeySession& session, int port_number);
  bool ReadFromReader(KeySession& session, const QString& port_name);
  // A read is running (its waits dispatch events, so a second one could be started from one).
  bool Busy() const { return busy_; }
  // Ends a running read at its current wait, silently: the port closes, no message is shown,
  // and the read returns false. For a window that is closing.
  void Cancel();

  // The port the reader is on (its objectName is "CommPort1").
  TCommPort& Port() { return port_; }

  // How long the link waits for the port to open or for a reply, counted in ticks.
  static constexpr std::chrono::milliseconds kTick{100};
  static constexpr std::chrono::milliseconds kReplyTimeout{1100};
  // How long the line must stay silent after the last page: a byte takes about 1 ms at 9600
  // baud, and a USB adapter may hold bytes back for 16 ms.
  static constexpr std::chrono::milliseconds kQuietTime{50};

 private:
  template <typename ChoosePort>
  bool Read(KeyImage& image, ChoosePort choose_port);
  template <typename ChoosePort>
  bool ReadInto(KeySession& session, ChoosePort choose_port);

  void OnTick();
  void OnDataReceived(int count);
  void OnPortOpened();
  void OnPortClosed();

  void ArmTimeout();
  // Dispatches events until the flag is cleared or the time-out runs out; TimedOut() tells which.
  void LinkWait(const std::uint32_t& flag);
  bool TimedOut() const { return link_alive_ == 0; }
  // Sends a request on an emptied input buffer and waits for the flag.
  void Request(std::uint32_t& flag, std::span<const std::uint8_t> bytes);
  // Waits kQuietTime for bytes nobody asked for; false when some came (or were already there).
  bool LineStaysQuiet();
  // Fails a read: the message, then the port closed.
  bool Fail(const QString& text);

  TCommPort port_;
  QTimer timeout_timer_;  // objectName "Timer_TO"
  ReaderLinkHost& host_;
  bool busy_ = false;
  bool cancelled_ = false;

  // The wait state: the ticks left before the wait gives up, the flags the notifications clear,
  // and whether the link is still alive (cleared by the time-out or a cancel).
  std::int64_t ticks_left_ = 0;
  std::uint32_t wait_reply_ = 0;
  std::uint32_t wait_port_open_ = 0;
  std::uint32_t wait_page_ = 0;
  std::uint8_t link_alive_ = 0;
};

}  // namespace kd
