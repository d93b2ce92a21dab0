// The PDF report of a full event log (4,676 rows of 11 cells) with its chart: time, size, pages and
// the peak of the heap while it is made, beyond its inputs (the table, the chart's pixels and the
// font files).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

#include "export/formats.h"
#include "export/pdf_writer.h"
#include "image/image_file.h"
#include "io/report_fonts.h"
#include "reports/data2.h"
#include "reports/report_heading.h"

namespace {

// Bytes the program holds through operator new, and the most it held since the last reset.
// zlib's own buffers (about 270 KB a stream while it packs) come from malloc and are not counted.
std::atomic<long long> held{0};
std::atomic<long long> peak{0};

void Count(long long change) {
  const long long now = held += change;
  long long seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
}

}  // namespace

void* operator new(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  Count(static_cast<long long>(malloc_usable_size(p)));
  return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept {
  if (!p) return;
  Count(-static_cast<long long>(malloc_usable_size(p)));
  std::free(p);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace {

// A picture the size of the printed chart (1440 x 720, RGB) with a chart's share of ink: a white
// plot crossed by a few hundred coloured columns. The window and the CLI draw the real one.
kd::ReportPicture Chart() {
  kd::ReportPicture picture{1440, 720, std::string(std::size_t{1440} * 720 * 3, '\xFF')};
  for (int x = 80; x < 1400; x += 3) {
    const int top = 100 + (x * 7919) % 500;
    for (int y = top; y < 680; ++y) picture.rgb.replace((static_cast<std::size_t>(y) * 1440 + x) * 3, 3, "\x20\xA0\x40");
  }
  return picture;
}

struct FullLog {
  kd::KeySession session;
  kd::TextTable table = kd::MakeData2Table();
  kd::ReportHeading heading;
  kd::ReportFontBytes fonts;

  FullLog() {
    const char* path = KD_SAMPLES "/full-4675.512";
    session.Replace(*kd::ReadImageFile(path), kd::KeySource::File(path));
    kd::FillData2(table, session.Image());
    heading = kd::MakeReportHeading(kd::PrintedReport::kData2, session, "0289", {}, "2024-03-07 10:15");
    heading.chart = Chart();
    fonts = *kd::ReadReportFonts();
  }
};

const FullLog& Log() {
  static const FullLog log;
  return log;
}

// What the window and keydecoder-cli do: read the fonts, lay out, write.
void BM_PdfReport(benchmark::State& state) {
  const FullLog& log = Log();
  const kd::PrintSetup print{&log.heading, log.fonts.regular, log.fonts.bold, kd::kA4Paper, {}};
  std::size_t size = 0;
  long long most = 0;
  for (auto _ : state) {
    const long long before = held.load();
    peak = before;
    const std::string file = kd::FormatOf(kd::FormatId::kPdf).write({log.table, "Отчет N2", {}, &print});
    most = std::max(most, peak.load() - before);
    size = file.size();
    benchmark::DoNotOptimize(file.data());
  }
  state.counters["bytes"] = static_cast<double>(size);
  state.counters["peak_heap_MB"] = static_cast<double>(most) / (1 << 20);
}
BENCHMARK(BM_PdfReport)->Unit(benchmark::kMillisecond);

// The page layout alone, the part printing shares.
void BM_PdfLayout(benchmark::State& state) {
  const FullLog& log = Log();
  const kd::PrintFontSet fonts = *kd::LoadPrintFonts(log.fonts.regular, log.fonts.bold);
  std::size_t pages = 0;
  for (auto _ : state) {
    const auto laid_out = kd::LayOutReport(log.table, log.heading, fonts.View(), kd::kA4Paper);
    pages = laid_out.size();
    benchmark::DoNotOptimize(laid_out.data());
  }
  state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(BM_PdfLayout)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
