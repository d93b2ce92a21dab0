#include "writers.h"

namespace kd {

const char* ExtensionOf(ReportFormat format) {
  switch (format) {
    case ReportFormat::Txt: return ".txt";
    case ReportFormat::Doc: return ".doc";
    case ReportFormat::Xls: return ".xls";
    case ReportFormat::Htm: return ".htm";
  }
  return "";
}

std::string WriteReport(const TextTable& table, ReportFormat format, std::string_view title) {
  switch (format) {
    case ReportFormat::Txt: return WriteTxt(table);
    case ReportFormat::Doc: return WriteRtf(table);
    case ReportFormat::Xls: return WriteXls(table, title);
    case ReportFormat::Htm: return WriteHtml(table, title);
  }
  return {};
}

}  // namespace kd
