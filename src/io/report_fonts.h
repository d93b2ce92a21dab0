#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "result.h"

namespace kd {

// The TrueType files a printed report is set in: DejaVu Sans and DejaVu Sans Bold.
struct ReportFontBytes {
  std::string regular;
  std::string bold;
  // Where they were read from: a printer driver embeds a font it knows by its file.
  std::filesystem::path regular_file;
  std::filesystem::path bold_file;
};

// Reads both faces from the first of `folders` that holds them, then from the system's DejaVu
// folder; or says which file is missing.
Result<ReportFontBytes> ReadReportFonts(const std::vector<std::filesystem::path>& folders = {});

}  // namespace kd
