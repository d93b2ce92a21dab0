// Every export format of both reports of one sample, compared byte for byte with the files kept in
// tests/golden/. Run with KD_UPDATE_GOLDEN=1 to write them anew on purpose (see tests/golden/README.md).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "export/formats.h"
#include "image/image_file.h"
#include "reports/data1.h"
#include "reports/data2.h"
#include "reports/user_texts.h"

namespace kd {
namespace {

namespace fs = std::filesystem;

const fs::path kGolden = fs::path(KD_TEST_SOURCE_DIR) / "golden";
const char* const kSample = "crane-200";

KeyImage Sample() {
  const Result<KeyImage> image = ReadImageFile(fs::path(KD_SAMPLES) / (std::string(kSample) + ".512"));
  EXPECT_TRUE(image.Ok()) << image.Reason();
  return image ? *image : KeyImage{};
}

// The tables as a fresh start shows them, with a fixed date and a decimal comma so the files do not
// depend on the day or the locale the test runs in.
TextTable Data1Table() {
  TextTable table = MakeData1Table("2024-03-07");
  EXPECT_TRUE(FillData1(table, Sample(), ","));
  return table;
}

TextTable Data2Table() {
  TextTable table = MakeData2Table();
  FillData2(table, Sample());
  return table;
}

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Check(const std::string& report, const TextTable& table, const ReportNames& names) {
  const bool update = std::getenv("KD_UPDATE_GOLDEN") != nullptr;
  for (const ExportFormat& format : kExportFormats) {
    const fs::path golden = kGolden / (std::string(kSample) + "." + report + format.extension);
    const std::string bytes = format.write({table, names.title});
    if (update) {
      std::ofstream(golden, std::ios::binary) << bytes;
      continue;
    }
    ASSERT_TRUE(fs::exists(golden)) << golden << " is missing; see tests/golden/README.md";
    // Not EXPECT_EQ on the whole file: a binary diff is unreadable. The first differing byte says
    // where to look.
    const std::string expected = Read(golden);
    const auto [mine, theirs] = std::mismatch(bytes.begin(), bytes.end(), expected.begin(), expected.end());
    EXPECT_TRUE(mine == bytes.end() && theirs == expected.end())
        << golden.filename() << ": " << bytes.size() << " bytes against " << expected.size()
        << ", first difference at byte " << (mine - bytes.begin());
  }
}

TEST(GoldenTest, Data1EveryFormat) { Check("data1", Data1Table(), kData1Names); }
TEST(GoldenTest, Data2EveryFormat) { Check("data2", Data2Table(), kData2Names); }

}  // namespace
}  // namespace kd
