// keydecoder-cli data2: the event log report.
#include <QApplication>
#include <QString>
#include <memory>

#include "cli.h"
#include "offscreen_app.h"
#include "report_command.h"
#include "reports/data1.h"
#include "reports/data2.h"
#include "ui/event_chart_view.h"

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
  // The printed log names the crane as Data 1 does: the name given, else the one a fresh start shows.
  report.options = {"--crane-name"};
  report.check = [](const ReportOptions& options) -> std::optional<std::string> {
    if (auto it = options.find("--crane-name"); it != options.end() && QString::fromLocal8Bit(it->second).size() > kEditLimit) {
      return "--crane-name: не длиннее " + std::to_string(kEditLimit) + " символов";
    }
    return std::nullopt;
  };
  // Only the printed report draws the chart, and only it needs Qt's widgets.
  std::unique_ptr<QApplication> app;
  report.heading = [&app](const KeySession& session, const TextTable& table, const ReportOptions& options,
                          std::string print_date) {
    const auto name = options.find("--crane-name");
    const std::string crane = name != options.end() ? QString::fromLocal8Bit(name->second).toStdString()
                                                    : std::string(kDefaultCraneName);
    ReportHeading heading = MakeReportHeading(PrintedReport::kData2, session, crane, {}, std::move(print_date));
    if (!app) app = OffscreenApplication();
    heading.chart = PrintedEventChart(table);
    return heading;
  };
  return RunReport(report, args);
}

}  // namespace

const Command kData2Command = {
    "data2",
    "keydecoder-cli data2 IMAGE.512... [--format csv|txt|doc|xls|htm|pdf] [--output FILE | --output-dir DIR]\n"
    "                      [--crane-name TEXT]   (наименование крана в заголовке PDF)",
    Run,
};

}  // namespace kd::cli
