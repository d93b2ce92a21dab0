#include "report_fonts.h"

#include "file_bytes.h"

namespace kd {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRegular = "DejaVuSans.ttf";
constexpr const char* kBold = "DejaVuSans-Bold.ttf";
// Far above either face (about 750 KB each).
constexpr std::size_t kFontLimit = 16 << 20;

}  // namespace

Result<ReportFontBytes> ReadReportFonts(const std::vector<fs::path>& folders) {
  std::vector<fs::path> candidates = folders;
  // Debian's fonts-dejavu-core, which Qt depends on.
  candidates.emplace_back("/usr/share/fonts/truetype/dejavu");
  for (const fs::path& folder : candidates) {
    std::error_code ec;
    if (!fs::exists(folder / kRegular, ec) || !fs::exists(folder / kBold, ec)) continue;
    Result<std::string> regular = ReadFileBytes(folder / kRegular, kFontLimit);
    if (!regular) return Failure{regular.Reason()};
    Result<std::string> bold = ReadFileBytes(folder / kBold, kFontLimit);
    if (!bold) return Failure{bold.Reason()};
    return ReportFontBytes{*std::move(regular), *std::move(bold), folder / kRegular, folder / kBold};
  }
  return Failure{std::string("не найден шрифт ") + kRegular + " (пакет fonts-dejavu-core)"};
}

}  // namespace kd
