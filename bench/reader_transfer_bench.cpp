// A read of 40 pages with keyreader-sim pacing the line at 9600 baud: the wall time against the
// time the bytes need on the line, and the CPU time the program uses meanwhile (it should sleep
// while it waits for the reader).
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "reader/protocol.h"
#include "reader/reader_link.h"
#include "support/key_reader_sim.h"
#include "support/quiet_host.h"
#include "support/stopwatch.h"

namespace {

using namespace kd;

void BM_ReadFortyPagesAt9600Baud(benchmark::State& state) {
  constexpr std::uint16_t kBlockCount = 356;  // 39 further pages
  constexpr std::uint32_t kPages = reader::ExtraPageCount(kBlockCount) + 1;
  // Requests: the probe, the first-page request, one byte per further page; replies: the probe's
  // byte and the pages. 10 bits a byte.
  constexpr double kLineBytes = 1 + reader::kFirstPageRequest.size() + (kPages - 1) + 1 + kPages * kImagePageSize;
  const double line_seconds = kLineBytes * 10 / reader::kBaudRate;
  const std::uint32_t turnaround_ms = static_cast<std::uint32_t>(state.range(0));
  const double turnarounds = (2.0 + (kPages - 1)) * turnaround_ms / 1000;

  double wall = 0;
  double cpu = 0;
  for (auto _ : state) {
    state.PauseTiming();
    test::KeyReaderSim sim(test::ServedKey(kBlockCount), {"--turnaround", QString::number(turnaround_ms)});
    test::QuietHost host;
    ReaderLink link(host);
    KeyImage image{};
    state.ResumeTiming();

    const test::Stopwatch clock;
    const bool complete = link.ReadFromReader(image, sim.Path());
    wall += clock.Wall();
    cpu += clock.Cpu();
    if (!complete) state.SkipWithError(host.message.toStdString().c_str());
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["pages"] = kPages;
  state.counters["line_s"] = line_seconds;
  state.counters["turnaround_s"] = turnarounds;
  state.counters["wall_s"] = wall / runs;
  state.counters["over_line_pct"] = (wall / runs - line_seconds - turnarounds) / (line_seconds + turnarounds) * 100;
  state.counters["cpu_s"] = cpu / runs;
  state.counters["cpu_pct_of_wall"] = cpu / wall * 100;
}
BENCHMARK(BM_ReadFortyPagesAt9600Baud)->Arg(0)->Arg(5)->Iterations(3)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
