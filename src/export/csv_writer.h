#pragma once

#include <string>

#include "reports/text_table.h"

namespace kd {

// The whole table as CSV: UTF-8, one record per row ending in CRLF, fields separated by commas;
// a field holding a comma, a double quote, CR or LF is quoted, its quotes doubled.
std::string CsvText(const TextTable& table);

}  // namespace kd
