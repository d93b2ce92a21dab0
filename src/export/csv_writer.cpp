#include "csv_writer.h"

#include <algorithm>
#include <array>

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

// One pass over the field's bytes, one table look-up each: a whole event log has 51,000 cells.
constexpr std::array<bool, 256> kQuoted = [] {
  std::array<bool, 256> quoted{};
  for (unsigned char c : {',', '"', '\r', '\n'}) quoted[c] = true;
  return quoted;
}();

bool NeedsQuotes(const std::string& field) {
  bool quoted = false;
  for (char c : field) quoted |= kQuoted[static_cast<unsigned char>(c)];
  return quoted;
}

void AppendField(std::string& out, const std::string& field, bool user_typed) {
  const bool apostrophe = user_typed && LooksLikeFormula(field);
  if (!NeedsQuotes(field)) {
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
  // Enough for every cell, separator and line end; only quotes may still make it grow.
  std::size_t size = 0;
  for (int row = 0; row < table.RowCount(); ++row) {
    for (const std::string& cell : table.Row(row)) size += cell.size() + 1;
    size += 1;
  }
  std::string out;
  out.reserve(size + size / 16);
  for (int row = 0; row < table.RowCount(); ++row) {
    const std::span<const std::string> cells = table.Row(row);
    for (std::size_t column = 0; column < cells.size(); ++column) {
      if (column > 0) out += ',';
      AppendField(out, cells[column], !user_typed.empty() && is_user_typed(static_cast<int>(column), row));
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace kd
