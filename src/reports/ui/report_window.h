#pragma once

#include "image/key_image.h"
#include "widgets/dialogs.h"
#include "widgets/skinned_window.h"

namespace kd {

// What both report windows share: they read the main window's image at each show, and closing
// one only hides it (it keeps its table) and tells the main window to come back.
class ReportWindow : public SkinnedWindow {
  Q_OBJECT
 public:
  ReportWindow(const QString& caption, QSize client_size, const KeyImage& image, Dialogs& dialogs);

 Q_SIGNALS:
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

  const KeyImage& key_image_;
  Dialogs& dialogs_;
};

}  // namespace kd
