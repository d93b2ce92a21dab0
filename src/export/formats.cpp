#include "formats.h"

#include "csv_writer.h"
#include "writers.h"

namespace kd {

// clang-format off
constexpr std::array<ExportFormat, 5> kExportFormats = {{
    {FormatId::kCsv, "csv", ".csv", nullptr, nullptr, true,
     [](const ReportDocument& d) { return CsvText(d.table, d.user_typed); }},
    {FormatId::kTxt, "txt", ".txt", "Текстовый документ", "TXT", false,
     [](const ReportDocument& d) { return WriteTxt(d.table); }},
    {FormatId::kDoc, "doc", ".doc", "Документ Word", "DOC", false,
     [](const ReportDocument& d) { return WriteRtf(d.table); }},
    {FormatId::kXls, "xls", ".xls", "Книга Exel", "XLS", false,
     [](const ReportDocument& d) { return WriteXls(d.table, d.title); }},
    {FormatId::kHtm, "htm", ".htm", "Документ HTML", "HTML", true,
     [](const ReportDocument& d) { return WriteHtml(d.table, d.title); }},
}};
// clang-format on

static_assert([] {
  for (std::size_t i = 0; i < kExportFormats.size(); ++i) {
    if (static_cast<std::size_t>(kExportFormats[i].id) != i) return false;
  }
  return true;
}());

const ExportFormat& FormatOf(FormatId id) { return kExportFormats[static_cast<std::size_t>(id)]; }

const ExportFormat* FindFormat(std::string_view name) {
  for (const ExportFormat& format : kExportFormats) {
    if (name == format.name) return &format;
  }
  return nullptr;
}

std::string FormatNames() {
  std::string names;
  for (const ExportFormat& format : kExportFormats) {
    if (!names.empty()) names += ", ";
    names += format.name;
  }
  return names;
}

}  // namespace kd
