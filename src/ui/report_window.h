#pragma once

#include <map>

#include "export/formats.h"
#include "image/key_session.h"
#include "reports/report_heading.h"
#include "reports/user_texts.h"
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
// window's own two scroll bars (the grid has none), and the exports. The window reads the
// session's image at each show; closing it only hides it (it keeps its table) and tells the main
// window to come back. It opens at its designed size and can then be resized or maximized; the
// wheel over the grid and the keys scroll it through its bars.
class ReportWindow : public SkinnedWindow {
  Q_OBJECT
 public:
  static constexpr int kBarHeight = 30;
  static constexpr int kScrollBarSize = 19;
  // Rows the wheel moves per notch.
  static constexpr int kWheelRows = 3;

  // `names` name the export dialogs and their initial file names.
  ReportWindow(const QString& caption, QSize client_size, QSize grid_size, TextTable table, const KeySession& session,
               Dialogs& dialogs, const ReportNames& names);
  ~ReportWindow() override;

  const TextTable& Table() const { return table_; }
  ReportGrid* Grid() const { return grid_; }
  QMenuBar* MenuBar() const { return menu_bar_; }

  // Saves the whole table through the format's save dialog. The format's extension is appended
  // to the chosen name, always; an existing file is replaced once the new one is complete.
  void Export(FormatId format);
  // Prints the report through the system's print dialog: the same pages as the PDF file.
  void Print();
  // Fills the table afresh from the session's image; every show of the window does.
  virtual void Refill() = 0;

  QScrollBar* rowScrollBar;     // "bsSkinScrollBar_V"
  QScrollBar* columnScrollBar;  // "bsSkinScrollBar_H"
  QAction* printAction = nullptr;  // "Печать...", after the export items

 Q_SIGNALS:
  void Closed();

 public Q_SLOTS:
  // Position p puts row p (or column p) at the top (or the left).
  void ScrollToRow(int position);
  void ScrollToColumn(int position);

 public:
  // Data rows that fit wholly in the grid's view, at least one.
  int VisibleRows() const;
  // The bar positions that bring the last row to the bottom and the last column to the right
  // edge of the view (0 where everything fits).
  int LastPageRow() const;
  int LastPageColumn() const;

 protected:
  // Adds an item to `menu` for each format that has a menu text, in the table's order, named by
  // `object_names` (the layout record's names), then the print item.
  void AddExportItems(QMenu* menu, const std::map<FormatId, const char*>& object_names);
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void LayoutClient(QSize client_size) override;
  // The row index of the table's last data row (0 when there is none).
  int LastRow() const;
  // The client width becomes the grid's width plus the vertical bar's; the bars that span the
  // client follow it.
  void FitWidthToGrid();
  // Shows the table's current content where the bars stand: a rebuilt table keeps its view.
  void ShowTable();

  const KeyImage& Image() const { return session_.Image(); }
  // What the printed report (PDF, paper) says above its table.
  virtual ReportHeading PrintedHeading(std::string print_date) const = 0;

  TextTable table_;
  const KeySession& session_;
  Dialogs& dialogs_;

 private:
  QMenuBar* menu_bar_;
  ReportGrid* grid_;
  const ReportNames& names_;
  std::map<FormatId, FileDialog> export_dialogs_;
  // What the wheel turned short of a whole notch, in eighths of a degree.
  QPoint wheel_rest_;
};

}  // namespace kd
