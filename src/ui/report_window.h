#pragma once

#include <array>

#include "image/key_image.h"
#include "export/writers.h"
#include "reports/text_table.h"
#include "dialogs.h"
#include "skinned_window.h"

class QAction;
class QMenu;
class QMenuBar;
class QScrollBar;

namespace kd {

class ReportGrid;

// What both report windows share: a menu bar on top, the grid over the report's table, the
// window's own two scroll bars (the grid has none), and the exports. The window reads the main
// window's image at each show; closing it only hides it (it keeps its table) and tells the main
// window to come back.
class ReportWindow : public SkinnedWindow {
  Q_OBJECT
 public:
  static constexpr int kBarHeight = 30;
  static constexpr int kScrollBarSize = 19;

  // `report_number` (1 or 2) names the export dialogs and the initial file names.
  ReportWindow(const QString& caption, QSize client_size, QSize grid_size, TextTable table, const KeyImage& image,
               Dialogs& dialogs, int report_number);
  ~ReportWindow() override;

  const TextTable& Table() const { return table_; }
  ReportGrid* Grid() const { return grid_; }
  QMenuBar* MenuBar() const { return menu_bar_; }

  // Saves the whole table through the format's save dialog. The format's extension is appended
  // to the chosen name, always; an existing file is replaced once the new one is complete.
  void Export(ReportFormat format);

  QScrollBar* bsSkinScrollBar_V;
  QScrollBar* bsSkinScrollBar_H;

 Q_SIGNALS:
  void Closed();

 public Q_SLOTS:
  void bsSkinScrollBar_VChange(int position);
  void bsSkinScrollBar_HChange(int position);

 protected:
  // Adds the four export items to `menu`: text, Word, Excel, HTML, in this order.
  std::array<QAction*, 4> AddExportItems(QMenu* menu);
  void closeEvent(QCloseEvent* event) override;
  // The client width becomes the grid's width plus the vertical bar's; the bars that span the
  // client follow it.
  void FitWidthToGrid();
  // Shows the table's current content where the bars stand: a rebuilt table keeps its view.
  void ShowTable();

  TextTable table_;
  const KeyImage& key_image_;
  Dialogs& dialogs_;

 private:
  QMenuBar* menu_bar_;
  ReportGrid* grid_;
  QString report_title_;
  std::array<FileDialog, 4> export_dialogs_;
};

}  // namespace kd
