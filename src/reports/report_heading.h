#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "image/key_session.h"

namespace kd {

// A picture printed with a report: 8-bit RGB, rows top to bottom, without padding.
struct ReportPicture {
  int width = 0;
  int height = 0;
  std::string rgb;  // width * height * 3 bytes
};

// What a printed report says about itself above its table and on every page, so a paper report
// can be told apart and matched to its ".512" file.
struct ReportHeading {
  std::string report_name;   // "Журнал событий"
  std::string crane_name;    // as the user typed it
  std::string limiter_id;    // these three as the Data 1 report shows them
  std::string install_date;
  std::string read_date;
  std::string source;        // where the image came from: a file's name, or the port and time of a read
  std::string print_date;
  std::string fingerprint;   // SHA-256 of the 65,536 bytes of the image, 64 hex digits
  bool signature_line = false;  // Data 1 ends with a line to sign on
  std::string signature;        // the name beside it
  bool event_summary = false;   // Data 2 sums its log up above the table
  // The event-log chart above the table; drawn by the caller, which has the chart code.
  std::optional<ReportPicture> chart;
};

enum class PrintedReport { kData1, kData2 };

// "Паспорт и статистика нагружения", "Журнал событий".
const char* PrintedReportName(PrintedReport report);

// The heading of a report of the session's image. `signature` is ignored for Data 2, which has
// no signature line. Works on any image, also one that Data 1 refuses.
ReportHeading MakeReportHeading(PrintedReport report, const KeySession& session, std::string crane_name,
                                std::string signature, std::string print_date);

// The heading's lines of a label and a value, in the order the title block shows them.
struct HeadingLine {
  std::string label;
  std::string value;
};
std::vector<HeadingLine> TitleLines(const ReportHeading& heading);

// The label of the signature line: "Подпись (ФИО):".
std::string SignatureLabel();

// "2026-12-11 08:06", in local time.
std::string LocalTimeText(std::chrono::system_clock::time_point at);

}  // namespace kd
