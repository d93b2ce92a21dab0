#pragma once

#include <QString>

#include "reader/reader_link.h"

namespace kd::test {

// A reader link host that only keeps the last message, for runs that look at the outcome alone.
class QuietHost final : public ReaderLinkHost {
 public:
  void ShowMessage(const QString& text) override { message = text; }
  void ShowPortError(const QString& text, const QString&) override { message = text; }
  void ShowStage(Stage) override {}
  void SetGaugeRange(int, int) override {}
  void SetGaugeValue(int) override {}
  void SetReadControlsEnabled(bool) override {}

  QString message;
};

}  // namespace kd::test
