// Many reads in one process against keyreader-sim, each with a random key and a random fault:
// every outcome as expected, nothing hangs, and the process's memory stays flat.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>

#include "reader/protocol.h"
#include "reader/reader_link.h"
#include "support/key_reader_sim.h"
#include "support/quiet_host.h"

namespace kd {
namespace {

using test::KeyReaderSim;
using test::Mixture;
using test::Older;
using test::ServedKey;

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

struct Expected {
  bool complete;
  QString message;
  std::size_t replaced;  // bytes of the served key in front of the older ones
};

TEST(SoakTest, TwoHundredReadsWithRandomFaults) {
  constexpr int kReads = 200;
  std::mt19937 random(20261211);
  int outcomes[2] = {0, 0};
  long start_kb = 0;
  for (int n = 0; n < kReads; ++n) {
    if (n == 10) start_kb = ResidentKb();  // after the first reads have warmed everything up
    // Mostly plausible logs; now and then a count the reader refuses or one past the image.
    const int kind = static_cast<int>(random() % 10);
    const auto block_count = static_cast<std::uint16_t>(kind == 0 ? random() % 4 : kind == 1 ? 4675 + random() % 60000 : 4 + random() % 2000);
    const KeyImage served = ServedKey(block_count);
    const KeyImage older = Older(served);
    const std::uint32_t extra = reader::ExtraPageCount(block_count);
    const long page = static_cast<long>(random() % (extra > 511 ? 2 : extra + 2));

    QStringList options{"--fast"};
    Expected expected{true, {}, 128 * (std::size_t{extra} + 1)};
    if (extra > 511) expected = {false, QStringLiteral("Неправильная длина данных !"), 128};
    switch (random() % 8) {
      case 0: break;
      case 1:
        options << "--no-key";
        expected = {false, QStringLiteral("Ключ не вставлен в УСИ !"), 0};
        break;
      case 2:
        options << "--probe-extra" << QString::number(1 + random() % 5);
        break;
      case 3:
        options << "--wrong-signature";
        expected = {false, QStringLiteral("Ключ не идентифицирован !"), 128};
        break;
      case 4:
        options << "--split-page" << QString::number(page);
        break;
      case 5:
      case 6: {
        // A page that never completes: as for one that never comes, the read stops there.
        options << (random() % 2 ? "--long-page" : "--stop-at") << QString::number(page);
        if (page == 0) {
          expected = {false, QStringLiteral("Ошибка связи с УСИ !"), 0};
        } else if (extra <= 511 && page <= static_cast<long>(extra)) {
          expected = {false, QStringLiteral("Ошибка связи с УСИ !"), 128 * static_cast<std::size_t>(page)};
        }
        break;
      }
      default:
        if (random() % 3 == 0) {
          options << "--silent";
          expected = {false, QStringLiteral("Нет связи с УСИ !"), 0};
        }
    }

    KeyReaderSim sim(served, options);
    test::QuietHost host;
    ReaderLink link(host);
    KeyImage image = older;
    const bool complete = link.ReadFromReader(image, sim.Path());
    KeyImage wanted = Mixture(served, older, expected.replaced);
    if (options.contains("--wrong-signature")) wanted[1] ^= 0x01;
    const std::string what = "read " + std::to_string(n) + ": " + options.join(' ').toStdString() +
                             ", block count " + std::to_string(block_count);
    EXPECT_EQ(complete, expected.complete) << what;
    EXPECT_EQ(host.message, expected.message) << what;
    EXPECT_TRUE(image == wanted) << what;
    EXPECT_FALSE(link.Port().IsOpen()) << what;
    ++outcomes[complete ? 1 : 0];
  }
  const long end_kb = ResidentKb();
  std::printf("soak: %d reads, %d complete, %d failed as expected; resident memory %ld KB after 10, %ld KB at the end\n",
              kReads, outcomes[1], outcomes[0], start_kb, end_kb);
  EXPECT_LT(end_kb - start_kb, 8 * 1024) << "memory grows with the reads";
}

}  // namespace
}  // namespace kd
