#include "report_heading.h"

#include <ctime>

#include "data1.h"
#include "io/sha256.h"
#include "number_text.h"

namespace kd {

namespace {

// Data 1's labels start with a blank that lines them up in the grid; a title block has no use for it.
std::string Label(Data1Row row) {
  std::string label = kData1Rows[static_cast<std::size_t>(RowOf(row))].label;
  while (!label.empty() && label.front() == ' ') label.erase(0, 1);
  return label;
}

std::string Value(Data1Row row, const Data1Source& source) {
  return kData1Rows[static_cast<std::size_t>(RowOf(row))].value(source);
}

std::string SourceText(const KeySource& source) {
  switch (source.kind) {
    case KeySource::Kind::kFile: {
      // The path is UTF-8 on every system; std::filesystem would read it in Windows' ANSI code page.
      const std::size_t slash = source.path.find_last_of("/\\");
      return "файл " + (slash == std::string::npos ? source.path : source.path.substr(slash + 1));
    }
    case KeySource::Kind::kPort:
      return "порт " + source.path + ", " + LocalTimeText(source.read_at);
    case KeySource::Kind::kNone:
      break;
  }
  return "нет";
}

}  // namespace

const char* PrintedReportName(PrintedReport report) {
  return report == PrintedReport::kData1 ? "Паспорт и статистика нагружения" : "Журнал событий";
}

ReportHeading MakeReportHeading(PrintedReport report, const KeySession& session, std::string crane_name,
                                std::string signature, std::string print_date) {
  const KeyImage& image = session.Image();
  const LoadSpectrum spectrum = DecodeLoadSpectrum(image);
  const Data1Source source{image, spectrum, "."};
  ReportHeading heading;
  heading.report_name = PrintedReportName(report);
  heading.crane_name = std::move(crane_name);
  heading.limiter_id = Value(Data1Row::kLimiterId, source);
  heading.install_date = Value(Data1Row::kInstallDate, source);
  heading.read_date = Value(Data1Row::kReadDate, source);
  heading.source = SourceText(session.Source());
  heading.print_date = std::move(print_date);
  heading.fingerprint = Sha256Hex(image);
  heading.event_summary = report == PrintedReport::kData2;
  if (report == PrintedReport::kData1) {
    heading.signature_line = true;
    heading.signature = std::move(signature);
  }
  return heading;
}

std::vector<HeadingLine> TitleLines(const ReportHeading& heading) {
  return {
      {Label(Data1Row::kCraneName), heading.crane_name},
      {Label(Data1Row::kLimiterId), heading.limiter_id},
      {Label(Data1Row::kInstallDate), heading.install_date},
      {Label(Data1Row::kReadDate), heading.read_date},
      {"Образ ключа:", heading.source},
      {"Контрольная сумма образа (SHA-256):", heading.fingerprint},
      {"Дата печати:", heading.print_date},
  };
}

std::string SignatureLabel() { return Label(Data1Row::kSignature); }

std::string LocalTimeText(std::chrono::system_clock::time_point at) {
  const std::time_t t = std::chrono::system_clock::to_time_t(at);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  return DateText(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) + " " +
         PadNumber(static_cast<std::uint32_t>(local.tm_hour), 2) + ":" +
         PadNumber(static_cast<std::uint32_t>(local.tm_min), 2);
}

}  // namespace kd
