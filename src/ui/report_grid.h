#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <initializer_list>

#include "reports/text_table.h"

namespace kd {

// Shows a TextTable. A fixed top row is shown as the header, in bold, and stays in view while
// the rows under it scroll.
class TextTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TextTableModel(const TextTable& table, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Call after the table has changed.
  void Reload();

 private:
  const TextTable& table_;
};

// A report's grid: display only (no focus, selection, editing or scroll bars of its own), rows
// 21 pixels high, silver lines, Tahoma 8 points.
class ReportGrid : public QTableView {
  Q_OBJECT
 public:
  static constexpr int kRowHeight = 21;

  ReportGrid(const TextTable& table, QWidget* parent);

  // Shows the table's current content.
  void Reload();
  void SetColumnWidths(std::initializer_list<int> widths);
  // Each column as wide as its widest text (the bold header's included) plus `padding`.
  void AutoSizeColumns(int padding);
  // The sum of the column widths.
  int ColumnsWidth() const;

  // Scrolls so that data row `row` (counted under the fixed rows) is the first in view, or
  // column `column` the leftmost. Any row or column can come to the top or the left, the last
  // ones too, with empty space after them; past the end the last one stays in view.
  void SetTopRow(int row);
  void SetLeftColumn(int column);
  int TopRow() const;
  int LeftColumn() const;

  const TextTable& Table() const { return table_; }

 protected:
  void updateGeometries() override;

 private:
  const TextTable& table_;
  TextTableModel* model_;
};

}  // namespace kd
