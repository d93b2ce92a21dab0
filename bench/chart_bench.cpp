// The event-log chart of a full key, and the fleet table of many keys.
// Run: QT_QPA_PLATFORM=offscreen build/release/bench/chart_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <filesystem>

#include "image/image_file.h"
#include "reports/fleet_table.h"
#include "reports/summary.h"
#include "no_dialogs.h"
#include "ui/event_chart_view.h"
#include "ui/event_chart_window.h"

namespace kd {
namespace {

KeyImage FullSample() { return *ReadImageFile(std::filesystem::path(KD_SAMPLES) / "full-4675.512"); }

using bench::NoDialogs;

// What "Нагрузка по блокам..." costs on a full key: decode, summary, chart, and the first paint
// of the whole window.
void BM_ShowFullKeyChartWindow(benchmark::State& state) {
  KeySession session;
  session.Replace(FullSample(), {});
  NoDialogs dialogs;
  EventChartWindow window(session, dialogs);
  window.show();
  QImage canvas(window.size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    window.ShowChart();
    QPainter painter(&canvas);
    window.render(&painter);
  }
}
BENCHMARK(BM_ShowFullKeyChartWindow)->Unit(benchmark::kMillisecond);

// The parts: building the chart from the points, and painting it.
void BM_BuildFullKeyChart(benchmark::State& state) {
  const std::vector<EventPoint> points = EventPoints(FullSample());
  EventChartView view;
  view.resize(1000, 560);
  for (auto _ : state) view.SetPoints(points);
}
BENCHMARK(BM_BuildFullKeyChart)->Unit(benchmark::kMillisecond);

void BM_PaintFullKeyChart(benchmark::State& state) {
  EventChartView view;
  view.resize(1000, 560);
  view.SetPoints(EventPoints(FullSample()));
  view.show();
  QImage canvas(view.size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&canvas);
    view.render(&painter);
  }
}
BENCHMARK(BM_PaintFullKeyChart)->Unit(benchmark::kMillisecond);

// The fleet table's rows of 1,000 full keys, without reading the files.
void BM_FleetTableOf1000FullKeys(benchmark::State& state) {
  const KeyImage image = FullSample();
  for (auto _ : state) {
    TextTable table = MakeFleetTable();
    for (int i = 0; i < 1000; ++i) AddFleetRow(table, "key.512", image);
    benchmark::DoNotOptimize(table);
  }
}
BENCHMARK(BM_FleetTableOf1000FullKeys)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

}  // namespace
}  // namespace kd

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
