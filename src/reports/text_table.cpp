#include "text_table.h"

#include <stdexcept>

namespace kd {

TextTable::TextTable(int rows, int columns)
    : rows_(rows < 0 ? 0 : rows),
      columns_(columns < 0 ? 0 : columns),
      cells_(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(columns_)) {}

void TextTable::SetRowCount(int rows) {
  rows_ = rows < 0 ? 0 : rows;
  cells_.resize(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(columns_));
}

std::size_t TextTable::Index(int column, int row) const {
  if (column < 0 || column >= columns_ || row < 0 || row >= rows_) {
    throw std::out_of_range("cell " + std::to_string(column) + "," + std::to_string(row) + " is outside the table");
  }
  return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(column);
}

const std::string& TextTable::GetCellEx(int column, int row) const { return cells_[Index(column, row)]; }

std::span<const std::string> TextTable::Row(int row) const {
  if (columns_ == 0) return {};
  return {&cells_[Index(0, row)], static_cast<std::size_t>(columns_)};
}

std::span<std::string> TextTable::Row(int row) {
  if (columns_ == 0) return {};
  return {&cells_[Index(0, row)], static_cast<std::size_t>(columns_)};
}

void TextTable::SetCellEx(int column, int row, std::string text) { cells_[Index(column, row)] = std::move(text); }

}  // namespace kd
