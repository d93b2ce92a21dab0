// keydecoder-cli data1: the passport and load statistics report.
#include <QDate>
#include <QLocale>
#include <QString>

#include "cli.h"
#include "report_command.h"
#include "reports/data1.h"

namespace kd::cli {

namespace {

QString Argument(const std::string& text) { return QString::fromLocal8Bit(text); }

std::optional<std::string> Check(const ReportOptions& options) {
  if (auto it = options.find("--decimal-separator"); it != options.end()) {
    if (Argument(it->second).toUcs4().size() != 1) return "--decimal-separator: нужен ровно один символ";
  }
  for (const char* name : {"--crane-name", "--signature"}) {
    if (auto it = options.find(name); it != options.end() && Argument(it->second).size() > kEditLimit) {
      return std::string(name) + ": не длиннее " + std::to_string(kEditLimit) + " символов";
    }
  }
  return std::nullopt;
}

int Run(const std::vector<std::string>& args) {
  // Taken once, as the window takes it at start-up.
  const QDate today = QDate::currentDate();
  const std::string date = DateText(today.year(), today.month(), today.day());
  Report report;
  report.options = {"--decimal-separator", "--crane-name", "--signature"};
  report.check = Check;
  report.refused_message = texts::kWrongFile;
  report.names = kData1Names;
  report.user_typed = kData1UserTypedCells;
  report.table = [&date](const KeyImage& image, const ReportOptions& options) -> std::optional<TextTable> {
    const auto option = [&options](const char* name) -> std::optional<std::string> {
      const auto it = options.find(name);
      if (it == options.end()) return std::nullopt;
      return Argument(it->second).toStdString();
    };
    TextTable table = MakeData1Table(date);
    const std::string separator =
        option("--decimal-separator").value_or(QLocale::system().decimalPoint().toStdString());
    if (!FillData1(table, image, separator)) return std::nullopt;
    if (auto name = option("--crane-name")) SetData1Value(table, Data1Row::kCraneName, *name);
    if (auto signature = option("--signature")) SetData1Value(table, Data1Row::kSignature, *signature);
    return table;
  };
  return RunReport(report, args);
}

}  // namespace

const Command kData1Command = {
    "data1",
    "keydecoder-cli data1 IMAGE.512... [--format csv|txt|doc|xls|htm] [--output FILE | --output-dir DIR]\n"
    "                      [--decimal-separator C] [--crane-name TEXT] [--signature TEXT]",
    Run,
};

}  // namespace kd::cli
