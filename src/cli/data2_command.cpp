// keydecoder-cli data2: the event log report.
#include "cli.h"
#include "report_command.h"
#include "reports/data2.h"

namespace kd::cli {

namespace {

int Run(const std::vector<std::string>& args) {
  Report report;
  report.names = kData2Names;
  // The event log takes any image: it shows what the count and the records give.
  report.table = [](const KeyImage& image, const ReportOptions&) -> std::optional<TextTable> {
    TextTable table = MakeData2Table();
    FillData2(table, image);
    return table;
  };
  return RunReport(report, args);
}

}  // namespace

const Command kData2Command = {
    "data2",
    "keydecoder-cli data2 IMAGE.512... [--format csv|txt|doc|xls|htm] [--output FILE | --output-dir DIR]",
    Run,
};

}  // namespace kd::cli
