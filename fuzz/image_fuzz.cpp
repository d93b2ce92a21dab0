// Any bytes as a key image: both report fills and every writer on the tables they give.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/image_file.h"
#include "reports/data1.h"
#include "reports/data2.h"
#include "export/formats.h"
#include "export/print_layout.h"
#include "io/report_fonts.h"

namespace {

// The PDF's fonts, read once; the heading is fuzzed with the table.
const kd::ReportFontBytes& Fonts() {
  static const kd::ReportFontBytes fonts = *kd::ReadReportFonts();
  return fonts;
}

void WriteEverything(const kd::TextTable& table, const kd::ReportHeading& heading) {
  const kd::PrintSetup print{&heading, Fonts().regular, Fonts().bold, kd::kA4Paper, {}};
  for (const kd::ExportFormat& format : kd::kExportFormats) (void)format.write({table, "Отчет", {}, &print});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const kd::KeyImage image = kd::ImageFromFileBytes(std::span(data, size));

  // The user's own texts reach the table too: take them from the input's tail.
  kd::TextTable data1 = kd::MakeData1Table("2026-12-11");
  const std::size_t tail = size > 300 ? 300 : size;
  const std::string typed(reinterpret_cast<const char*>(data + size - tail), tail / 2);
  kd::SetData1Value(data1, kd::Data1Row::kCraneName, typed);
  (void)kd::FillData1(data1, image, size % 2 ? "," : ".");
  kd::KeySession session;
  session.Replace(image, kd::KeySource::File("fuzz.512"));
  WriteEverything(data1, kd::MakeReportHeading(kd::PrintedReport::kData1, session, typed, typed, typed));

  kd::TextTable data2 = kd::MakeData2Table();
  kd::FillData2(data2, image);
  // The writers do the same for every row; a long log only slows the search down.
  if (data2.RowCount() <= 300) {
    WriteEverything(data2, kd::MakeReportHeading(kd::PrintedReport::kData2, session, typed, {}, {}));
  }
  return 0;
}
