// Each report writer on a full event log (4,676 rows of 11 cells): time and output size.
#include <benchmark/benchmark.h>

#include "image/image_file.h"
#include "export/csv_writer.h"
#include "reports/data2.h"
#include "export/writers.h"

namespace {

const kd::TextTable& FullLog() {
  static const kd::TextTable table = [] {
    kd::TextTable t = kd::MakeData2Table();
    kd::FillData2(t, *kd::ReadImageFile(KD_SAMPLES "/full-4675.512"));
    return t;
  }();
  return table;
}

void BM_Writer(benchmark::State& state) {
  const auto format = static_cast<kd::ReportFormat>(state.range(0));
  std::size_t size = 0;
  for (auto _ : state) {
    const std::string file = kd::WriteReport(FullLog(), format, "Отчет N2");
    size = file.size();
    benchmark::DoNotOptimize(file.data());
  }
  state.SetLabel(kd::ExtensionOf(format));
  state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_Writer)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_Csv(benchmark::State& state) {
  std::size_t size = 0;
  for (auto _ : state) {
    const std::string file = kd::CsvText(FullLog());
    size = file.size();
    benchmark::DoNotOptimize(file.data());
  }
  state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_Csv)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
