#pragma once

#include <string>
#include <string_view>

#include "reports/text_table.h"

namespace kd {

// Report files, each made from the whole table as its cells hold it. Every writer returns the
// file's bytes and is deterministic: the same table gives the same bytes.

// Plain text in Windows-1251 with CRLF line ends: one line per row, the cells of each column
// padded with blanks to the column's widest text, one blank between columns.
std::string WriteTxt(const TextTable& table);

// An RTF document (Word opens it under the ".doc" name) with the table as a bordered table.
std::string WriteRtf(const TextTable& table);

// An HTML 4.01 page, UTF-8, with the table 100 per cent wide; fixed rows become header cells.
std::string WriteHtml(const TextTable& table, std::string_view title);

// An Excel 97-2003 workbook (BIFF8 in a compound file) with one worksheet of text cells.
std::string WriteXls(const TextTable& table, std::string_view sheet_name);

}  // namespace kd
