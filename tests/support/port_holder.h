#pragma once

#include <QProcess>
#include <QString>

namespace kd::test {

// Another program holding a serial port open until the test ends.
class PortHolder {
 public:
  explicit PortHolder(const QString& port) {
    process_.start(QStringLiteral(KD_HOLD_PORT), {port});
    while (process_.state() != QProcess::NotRunning && !process_.canReadLine()) process_.waitForReadyRead(5000);
    held_ = process_.readLine().trimmed() == "held";
  }
  ~PortHolder() {
    process_.closeWriteChannel();
    if (!process_.waitForFinished(5000)) process_.kill();
    process_.waitForFinished(5000);
  }
  PortHolder(const PortHolder&) = delete;
  PortHolder& operator=(const PortHolder&) = delete;

  bool held() const { return held_; }

 private:
  QProcess process_;
  bool held_ = false;
};

}  // namespace kd::test
