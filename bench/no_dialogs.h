#pragma once

#include "ui/dialogs.h"

namespace kd::bench {

// Dialogs the windows never call while they are measured.
class NoDialogs : public Dialogs {
 public:
  void ShowError(QWidget*, const QString&, const QString&) override {}
  std::optional<QString> OpenFileName(QWidget*, const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> SaveFileName(QWidget*, const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> InputBox(QWidget*, const QString&, const QString&, const QString&) override {
    return std::nullopt;
  }
};

}  // namespace kd::bench
