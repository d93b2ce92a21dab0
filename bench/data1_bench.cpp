// The Data 1 report's work per show: decode the header and fill the table; and the command line's
// work per image on top of it: a fresh table and its CSV text.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "image/image_file.h"
#include "export/csv_writer.h"
#include "reports/data1.h"

namespace {

kd::KeyImage SampleImage() {
  const kd::Result<kd::KeyImage> image = kd::ReadImageFile(KD_SAMPLES "/crane-200.512");
  if (!image) std::abort();
  return *image;
}

void BM_Data1Fill(benchmark::State& state) {
  const kd::KeyImage image = SampleImage();
  kd::TextTable table = kd::MakeData1Table("2024-03-07");
  for (auto _ : state) {
    benchmark::DoNotOptimize(kd::FillData1(table, image, ","));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Data1Fill);

void BM_Data1TableToCsv(benchmark::State& state) {
  const kd::KeyImage image = SampleImage();
  for (auto _ : state) {
    kd::TextTable table = kd::MakeData1Table("2024-03-07");
    kd::FillData1(table, image, ",");
    benchmark::DoNotOptimize(kd::CsvText(table));
  }
}
BENCHMARK(BM_Data1TableToCsv);

}  // namespace

BENCHMARK_MAIN();
