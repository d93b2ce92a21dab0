#pragma once

#include <span>
#include <string>

#include "reports/text_table.h"

namespace kd {

// The whole table as CSV: UTF-8, one record per row ending in CRLF, fields separated by commas;
// a field holding a comma, a double quote, CR or LF is quoted, its quotes doubled. A user-typed
// cell that starts with "=", "+", "-", "@", a tab or CR gets a leading apostrophe, so that a
// spreadsheet shows it as text instead of running it as a formula; the image's numbers ("-005")
// stay as they are.
std::string CsvText(const TextTable& table, std::span<const CellPosition> user_typed = {});

}  // namespace kd
