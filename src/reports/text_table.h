#pragma once

#include <span>
#include <string>
#include <vector>

namespace kd {

// One cell of a table.
struct CellPosition {
  int column;
  int row;
};

// A report's only store: a grid of cell texts (UTF-8). The report window shows it and the
// exporters write it, so whatever a cell holds is what the user sees and what a file gets.
// Cells are addressed column first, as the windows address them.
class TextTable {
 public:
  TextTable(int rows, int columns);

  int RowCount() const { return rows_; }
  int ColCount() const { return columns_; }
  // Rows beyond the new count disappear; new rows are empty.
  void SetRowCount(int rows);

  // Rows at the top that stay in view while the rest scrolls (a header row).
  int FixedRows() const { return fixed_rows_; }
  void SetFixedRows(int rows) { fixed_rows_ = rows; }

  const std::string& GetCellEx(int column, int row) const;
  void SetCellEx(int column, int row, std::string text);
  // Every cell of one row, in column order: for the writers, which walk the whole table.
  std::span<const std::string> Row(int row) const;
  // The same to write in place, for a fill that sets a whole row.
  std::span<std::string> Row(int row);

 private:
  std::size_t Index(int column, int row) const;

  int rows_;
  int columns_;
  int fixed_rows_ = 0;
  std::vector<std::string> cells_;
};

}  // namespace kd
