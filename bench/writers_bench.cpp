// Each report writer on a full event log (4,676 rows of 11 cells): time and output size.
#include <benchmark/benchmark.h>

#include "image/image_file.h"
#include "reports/data2.h"
#include "export/formats.h"

namespace {

const kd::TextTable& FullLog() {
  static const kd::TextTable table = [] {
    kd::TextTable t = kd::MakeData2Table();
    kd::FillData2(t, *kd::ReadImageFile(KD_SAMPLES "/full-4675.512"));
    return t;
  }();
  return table;
}

// Every format of the table, CSV among them.
void BM_Writer(benchmark::State& state) {
  const kd::ExportFormat& format = kd::kExportFormats[static_cast<std::size_t>(state.range(0))];
  std::size_t size = 0;
  for (auto _ : state) {
    const std::string file = format.write({FullLog(), "Отчет N2"});
    size = file.size();
    benchmark::DoNotOptimize(file.data());
  }
  state.SetLabel(format.extension);
  state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_Writer)->DenseRange(0, static_cast<int>(kd::kExportFormats.size()) - 1)->Unit(benchmark::kMillisecond);

// What keydecoder-cli does for each key of a batch: a fresh table, the fill, the CSV text.
void BM_Data2CsvOfAKey(benchmark::State& state) {
  const kd::KeyImage image = *kd::ReadImageFile(KD_SAMPLES "/full-4675.512");
  for (auto _ : state) {
    kd::TextTable table = kd::MakeData2Table();
    kd::FillData2(table, image);
    const std::string file = kd::FormatOf(kd::FormatId::kCsv).write({table, "Отчет N2"});
    benchmark::DoNotOptimize(file.data());
  }
}
BENCHMARK(BM_Data2CsvOfAKey)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
