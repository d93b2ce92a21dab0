#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "reports/text_table.h"

namespace kd {

// The formats a report can be saved in.
enum class FormatId { kCsv, kTxt, kDoc, kXls, kHtm };

// What a writer makes a file of: the whole table as its cells hold it, and the report's title,
// which names an HTML page and a worksheet ("Отчет N1").
struct ReportDocument {
  const TextTable& table;
  std::string_view title;
  // The cells whose text the user typed rather than the image gave (the crane name): a
  // spreadsheet must never take them for a formula.
  std::span<const CellPosition> user_typed = {};
};

// The file's bytes; deterministic: the same document gives the same bytes.
using WriteFunction = std::string (*)(const ReportDocument&);

// One format, everything that names it to the user and the writer that makes it. The window's
// report menus list the formats with a menu text, in table order; keydecoder-cli takes every
// format by its name.
struct ExportFormat {
  FormatId id;
  const char* name;         // what --format takes: "txt"
  const char* extension;    // appended to a name chosen in the window's dialog: ".txt"
  const char* menu_text;    // the menu item and the filter's description; null: not in the menus
  const char* dialog_tag;   // in the save dialog's title: " Сохранение отчета 1 (TXT)"
  bool readable_on_terminal;  // UTF-8 text: may go to a terminal as it is
  WriteFunction write;
};

extern const std::array<ExportFormat, 5> kExportFormats;

const ExportFormat& FormatOf(FormatId id);
// The format --format names, or null.
const ExportFormat* FindFormat(std::string_view name);
// "csv, txt, doc, xls, htm".
std::string FormatNames();

}  // namespace kd
