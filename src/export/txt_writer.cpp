#include <algorithm>
#include <vector>

#include "text_encoding.h"
#include "writers.h"

namespace kd {

std::string WriteTxt(const TextTable& table) {
  const auto columns = static_cast<std::size_t>(table.ColCount());
  // Encoded first: one byte a character, so byte counts align the columns.
  std::vector<std::string> cells(static_cast<std::size_t>(table.RowCount()) * columns);
  std::vector<std::size_t> widths(columns, 0);
  for (int row = 0; row < table.RowCount(); ++row) {
    for (std::size_t column = 0; column < columns; ++column) {
      std::string& cell = cells[row * columns + column];
      cell = Utf8ToCp1251(table.GetCellEx(static_cast<int>(column), row));
      widths[column] = std::max(widths[column], cell.size());
    }
  }
  std::string out;
  for (int row = 0; row < table.RowCount(); ++row) {
    const std::string* line = &cells[row * columns];
    // Padding is written only where a later cell of the row needs it.
    std::size_t used = columns;
    while (used > 0 && line[used - 1].empty()) --used;
    for (std::size_t column = 0; column < used; ++column) {
      if (column > 0) out += ' ';
      out += line[column];
      if (column + 1 < used) out.append(widths[column] - line[column].size(), ' ');
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace kd
