#include "csv_writer.h"

#include <algorithm>

namespace kd {

namespace {

// Spreadsheets take a field that starts with one of these for a formula.
bool LooksLikeFormula(const std::string& field) {
  if (field.empty()) return false;
  switch (field.front()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r': return true;
    default: return false;
  }
}

void AppendField(std::string& out, const std::string& field, bool user_typed) {
  const bool apostrophe = user_typed && LooksLikeFormula(field);
  if (field.find_first_of(",\"\r\n") == std::string::npos) {
    if (apostrophe) out += '\'';
    out += field;
    return;
  }
  out += '"';
  if (apostrophe) out += '\'';
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace

std::string CsvText(const TextTable& table, std::span<const CellPosition> user_typed) {
  const auto is_user_typed = [&](int column, int row) {
    return std::any_of(user_typed.begin(), user_typed.end(),
                       [&](const CellPosition& cell) { return cell.column == column && cell.row == row; });
  };
  std::string out;
  for (int row = 0; row < table.RowCount(); ++row) {
    for (int column = 0; column < table.ColCount(); ++column) {
      if (column > 0) out += ',';
      AppendField(out, table.GetCellEx(column, row), is_user_typed(column, row));
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace kd
