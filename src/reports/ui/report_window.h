#pragma once

#include "image/key_image.h"
#include "reports/text_table.h"
#include "widgets/dialogs.h"
#include "widgets/skinned_window.h"

class QMenuBar;
class QScrollBar;

namespace kd {

class ReportGrid;

// What both report windows share: a menu bar on top, the grid over the report's table, and the
// window's own two scroll bars, the grid having none. The window reads the main window's image at
// each show; closing it only hides it (it keeps its table) and tells the main window to come back.
class ReportWindow : public SkinnedWindow {
  Q_OBJECT
 public:
  static constexpr int kBarHeight = 30;
  static constexpr int kScrollBarSize = 19;

  ReportWindow(const QString& caption, QSize client_size, QSize grid_size, TextTable table, const KeyImage& image,
               Dialogs& dialogs);
  ~ReportWindow() override;

  const TextTable& Table() const { return table_; }
  ReportGrid* Grid() const { return grid_; }
  QMenuBar* MenuBar() const { return menu_bar_; }

  QScrollBar* bsSkinScrollBar_V;
  QScrollBar* bsSkinScrollBar_H;

 Q_SIGNALS:
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // The client width becomes the grid's width plus the vertical bar's; the bars that span the
  // client follow it.
  void FitWidthToGrid();

  TextTable table_;
  const KeyImage& key_image_;
  Dialogs& dialogs_;

 private:
  QMenuBar* menu_bar_;
  ReportGrid* grid_;
};

}  // namespace kd
