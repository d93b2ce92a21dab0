#pragma once

#include <QString>
#include <map>

#include "chart_picture.h"
#include "dialogs.h"
#include "image/key_session.h"
#include "skinned_window.h"

class QMenuBar;
class QVBoxLayout;

namespace kd {

// What both chart windows share: our frame, a menu bar with "Рисунок" (save the picture as PNG or
// SVG, close), and a panel under it that fills the client area and is what the picture shows.
// Escape closes the window; closing only hides it, and the next show draws the image of then.
class ChartWindow : public SkinnedWindow {
  Q_OBJECT
 public:
  static constexpr int kBarHeight = 30;

  ChartWindow(const QString& caption, QSize client_size, const KeySession& session, Dialogs& dialogs,
              const QString& picture_stem);

  QMenuBar* MenuBar() const { return menu_bar_; }
  // What a saved picture shows.
  QWidget* Panel() const { return panel_; }

  // Saves the panel through the format's save dialog; the extension is added when missing.
  void SavePictureAs(PictureFormat format);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  QVBoxLayout* PanelLayout() const { return panel_layout_; }
  const KeyImage& Image() const { return session_.Image(); }

  const KeySession& session_;
  Dialogs& dialogs_;

 private:
  QMenuBar* menu_bar_;
  QWidget* panel_;
  QVBoxLayout* panel_layout_;
  std::map<PictureFormat, FileDialog> save_dialogs_;
};

}  // namespace kd
