#include "csv_writer.h"

namespace kd {

namespace {

void AppendField(std::string& out, const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) {
    out += field;
    return;
  }
  out += '"';
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace

std::string CsvText(const TextTable& table) {
  std::string out;
  for (int row = 0; row < table.RowCount(); ++row) {
    for (int column = 0; column < table.ColCount(); ++column) {
      if (column > 0) out += ',';
      AppendField(out, table.GetCellEx(column, row));
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace kd
