#pragma once

#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/key_image.h"
#include "reports/text_table.h"
#include "reports/user_texts.h"

namespace kd::cli {

// The values of a report's own options, by name ("--crane-name"); an option not given is absent.
using ReportOptions = std::map<std::string, std::string>;

// What the report commands (data1, data2) need of their report; the rest (images, formats,
// output files, exit statuses) is the same for all of them.
struct Report {
  // The report's own options, each taking one value.
  std::vector<std::string> options;
  // A message for an option value the report cannot use, else nothing. Runs before any image.
  std::function<std::optional<std::string>(const ReportOptions&)> check;
  // The table as the report's window would hold it after one show on a fresh start, or nothing
  // when the report refuses the image.
  std::function<std::optional<TextTable>(const KeyImage&, const ReportOptions&)> table;
  // What the user is told about a refused image.
  std::string refused_message;
  // The report's title and file names.
  ReportNames names;
  // The cells the user types, which no spreadsheet may take for a formula.
  std::span<const CellPosition> user_typed = {};
};

// keydecoder-cli REPORT IMAGE.512... [--format F] [--output FILE | --output-dir DIR] [options]:
// writes each image's table to standard output, to FILE, or to DIR/<image name>.<format>. Every
// image is tried; the exit status is the worst outcome (refused 1, file not read or written 3).
int RunReport(const Report& report, const std::vector<std::string>& args);

}  // namespace kd::cli
