// The Data 2 window's show on a full key of 4,675 records, and its parts.
// Run: QT_QPA_PLATFORM=offscreen build/release/bench/data2_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <random>

#include "app/application.h"
#include "image/event_record.h"
#include "reports/data2.h"
#include "no_dialogs.h"
#include "ui/data2_window.h"
#include "ui/report_grid.h"

namespace kd {
namespace {

using bench::NoDialogs;

// A full key: a plausible calibration, then 4,675 records. `distinct` makes every date, time,
// period and load text differ from record to record (the sizing's worst case); otherwise they
// vary as a limiter's would, times and periods rarely repeating, dates and loads often.
KeyImage FullKey(bool distinct) {
  KeyImage image{};
  const auto put_word = [&](std::size_t offset, unsigned value) {
    image[offset] = static_cast<std::uint8_t>(value);
    image[offset + 1] = static_cast<std::uint8_t>(value >> 8);
  };
  image[0] = 0xAA;
  image[1] = 0x55;
  image[2] = 7;
  put_word(header::kLiftingCapacity, 2500);
  put_word(header::kL1Calibration, 812);
  put_word(header::kL1Calibration + 2, 3190);
  put_word(header::kL1Calibration + 6, 1000);
  put_word(header::kL1Calibration + 8, 4);
  put_word(header::kL2Calibration, 790);
  put_word(header::kL2Calibration + 2, 3335);
  put_word(header::kL2Calibration + 6, 1250);
  put_word(header::kL2Calibration + 8, 4);
  put_word(header::kBlockCount, event::kMaxCount);
  std::mt19937 random(4675);
  for (std::size_t i = 0; i < event::kMaxCount; ++i) {
    std::uint8_t* record = image.data() + event::kFirst + i * event::kSize;
    record[0] = static_cast<std::uint8_t>(1 + random() % 28);
    record[1] = static_cast<std::uint8_t>(1 + random() % 12);
    record[2] = static_cast<std::uint8_t>(random() % 24);
    record[3] = static_cast<std::uint8_t>(random() % 60);
    record[4] = static_cast<std::uint8_t>(random() % 60);
    record[5] = static_cast<std::uint8_t>(random() % 100);
    record[6] = static_cast<std::uint8_t>(random() % 60);
    record[7] = static_cast<std::uint8_t>(random() % 60);
    const unsigned l1 = 700 + random() % 3000, l2 = 700 + random() % 3000;
    record[8] = static_cast<std::uint8_t>(l1);
    record[9] = static_cast<std::uint8_t>(l1 >> 8);
    record[10] = static_cast<std::uint8_t>(l2);
    record[11] = static_cast<std::uint8_t>(l2 >> 8);
    record[12] = static_cast<std::uint8_t>(random());
    record[13] = static_cast<std::uint8_t>(random());
    if (distinct) {
      for (std::size_t part : {0u, 2u, 5u}) {
        record[part] = static_cast<std::uint8_t>(i % 100);
        record[part + 1] = static_cast<std::uint8_t>(i / 100);
      }
      // One code per record on a slope of 1 code per % of capacity.
      const unsigned code = 812 + static_cast<unsigned>(i) * 24;
      record[8] = record[10] = static_cast<std::uint8_t>(code);
      record[9] = record[11] = static_cast<std::uint8_t>(code >> 8);
    }
  }
  return image;
}

const KeyImage& Key() {
  static const KeyImage key = FullKey(false);
  return key;
}

const KeyImage& DistinctKey() {
  static const KeyImage key = FullKey(true);
  return key;
}

void BM_FillData2(benchmark::State& state) {
  TextTable table = MakeData2Table();
  for (auto _ : state) {
    FillData2(table, Key());
    benchmark::DoNotOptimize(table.GetCellEx(3, 4675));
  }
}
BENCHMARK(BM_FillData2)->Unit(benchmark::kMillisecond);

void BM_AutoSizeColumns(benchmark::State& state) {
  NoDialogs dialogs;
  KeySession session;
  session.Replace(Key(), {});
  Data2Window window(session, dialogs);
  window.show();
  for (auto _ : state) window.Grid()->AutoSizeColumns(Data2Window::kColumnPadding);
}
BENCHMARK(BM_AutoSizeColumns)->Unit(benchmark::kMillisecond);

// The whole rebuild: row count, scroll maxima, decode and fill, grid reload, column sizing, width.
void BM_FormShow(benchmark::State& state, const KeyImage& (*key)()) {
  NoDialogs dialogs;
  KeySession session;
  session.Replace(key(), {});
  Data2Window window(session, dialogs);
  window.show();
  for (auto _ : state) window.Refill();
}
BENCHMARK_CAPTURE(BM_FormShow, varied, Key)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FormShow, distinct_texts, DistinctKey)->Unit(benchmark::kMillisecond);

// What the user waits for on pressing "Данные 2": the show with its rebuild, then the first paint.
void BM_ShowAndPaint(benchmark::State& state) {
  NoDialogs dialogs;
  KeySession session;
  session.Replace(Key(), {});
  Data2Window window(session, dialogs);
  for (auto _ : state) {
    window.show();
    window.repaint();
    state.PauseTiming();
    window.hide();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ShowAndPaint)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kd

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  kd::Application app(argc, argv);
  kd::ApplySkin(app);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
