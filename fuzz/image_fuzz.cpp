// Any bytes as a key image: both report fills and every writer on the tables they give.
#include <cstddef>
#include <cstdint>
#include <span>

#include "image/image_file.h"
#include "reports/data1.h"
#include "reports/data2.h"
#include "export/formats.h"

namespace {

void WriteEverything(const kd::TextTable& table) {
  for (const kd::ExportFormat& format : kd::kExportFormats) (void)format.write({table, "Отчет"});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const kd::KeyImage image = kd::ImageFromFileBytes(std::span(data, size));

  // The user's own texts reach the table too: take them from the input's tail.
  kd::TextTable data1 = kd::MakeData1Table("2026-12-11");
  const std::size_t tail = size > 300 ? 300 : size;
  data1.SetCellEx(1, kd::data1::kCraneNameRow, std::string(reinterpret_cast<const char*>(data + size - tail), tail / 2));
  (void)kd::FillData1(data1, image, size % 2 ? "," : ".");
  WriteEverything(data1);

  kd::TextTable data2 = kd::MakeData2Table();
  kd::FillData2(data2, image);
  // The writers do the same for every row; a long log only slows the search down.
  if (data2.RowCount() <= 300) WriteEverything(data2);
  return 0;
}
