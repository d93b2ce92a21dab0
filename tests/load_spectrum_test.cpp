#include "reports/load_spectrum.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/header_image.h"

namespace kd {
namespace {

using test::Counters;
using test::WithCounters;

float Below(float x) { return std::nextafter(x, 0.0f); }

TEST(LoadSpectrumTest, ModesTakeTheHigherModeAtEachBound) {
  const struct {
    float coefficient;
    const char* crane;
    const char* mechanism;
  } cases[] = {
      {0.0f, "Q0", "L1"},        {0.0625f, "Q0", "L1"},     {Below(0.063f), "Q0", "L1"}, {0.063f, "Q1", "L1"},
      {Below(0.125f), "Q1", "L1"}, {0.125f, "Q2", "L2"},    {Below(0.25f), "Q2", "L2"},  {0.25f, "Q3", "L3"},
      {Below(0.5f), "Q3", "L3"}, {0.5f, "Q4", "L4"},        {0.703125f, "Q4", "L4"},     {1.953125f, "Q4", "L4"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CraneModeOf(c.coefficient), c.crane) << c.coefficient;
    EXPECT_EQ(MechanismModeOf(c.coefficient), c.mechanism) << c.coefficient;
  }
}

TEST(LoadSpectrumTest, ClassesStartAtTheirLowerBound) {
  const struct {
    std::uint32_t total;
    const char* text;
  } crane[] = {{0, "C0"},         {15999, "C0"},       {16000, "C1"},       {31999, "C1"},    {32000, "C2"},
               {62999, "C2"},     {63000, "C3"},       {124999, "C3"},      {125000, "C4"},   {249999, "C4"},
               {250000, "C5"},    {327675, "C5"},      {499999, "C5"},      {500000, "C6"},   {1000000, "C7"},
               {2000000, "C8"},   {3999999, "C8"},     {4000000, "C9"},     {4000001, "C9"}};
  for (const auto& c : crane) EXPECT_EQ(CraneClassOf(c.total), c.text) << c.total;

  const struct {
    std::uint32_t minutes;
    const char* text;
  } mechanism[] = {{0, "T0"},        {11999, "T0"},     {12000, "T1"},     {23999, "T1"},     {24000, "T2"},
                   {48000, "T3"},    {96000, "T4"},     {192000, "T5"},    {377999, "T5"},    {378000, "T6"},
                   {750000, "T7"},   {1500000, "T8"},   {2999999, "T8"},   {3000000, "T9"},   {6000000, "T9"},
                   {6000001, "T9"},  {19661775, "T9"}};
  for (const auto& c : mechanism) EXPECT_EQ(MechanismClassOf(c.minutes), c.text) << c.minutes;
}

TEST(LoadSpectrumTest, GroupTablesCorners) {
  const struct {
    int mode, klass;
    const char* k;
    const char* a;
  } crane[] = {{0, 0, "--", "--"}, {0, 2, "1K", "--"}, {0, 9, "7K", "--"}, {1, 1, "1K", "--"}, {1, 2, "1K", "A1"},
               {1, 9, "8K", "A8"}, {2, 0, "1K", "--"}, {2, 9, "8K", "--"}, {3, 0, "1K", "A1"}, {3, 8, "8K", "--"},
               {3, 9, "--", "--"}, {4, 0, "2K", "A2"}, {4, 5, "7K", "A7"}, {4, 7, "8K", "--"}, {4, 8, "--", "--"}};
  for (const auto& c : crane) {
    EXPECT_EQ(CraneGroupOf(c.mode, c.klass), (std::array<std::string, 2>{c.k, c.a})) << c.mode << "/" << c.klass;
  }
  const struct {
    int mode, klass;
    const char* group;
  } mechanism[] = {{1, 0, "--"}, {1, 1, "--"}, {1, 2, "M1"}, {1, 9, "M8"}, {2, 0, "--"}, {2, 1, "M1"}, {2, 9, "--"},
                   {3, 0, "M1"}, {3, 7, "M8"}, {3, 8, "--"}, {4, 0, "M2"}, {4, 6, "M8"}, {4, 7, "--"}, {4, 9, "--"}};
  for (const auto& c : mechanism) EXPECT_EQ(MechanismGroupOf(c.mode, c.klass), c.group) << c.mode << "/" << c.klass;
}

TEST(LoadSpectrumTest, CoefficientsAtTheirBounds) {
  // 6 in Q2 and 1 in Q4: Kp exactly 0.25; 4 in Q1, 3 in Q2: 0.0625; 4 in Q2, 3 in Q4: 0.5.
  const struct {
    std::array<std::uint16_t, 5> cycles;
    float kp;
    const char* mode;
  } cases[] = {{{0, 6, 0, 1, 0}, 0.25f, "Q3"}, {{4, 3, 0, 0, 0}, 0.0625f, "Q0"}, {{0, 4, 0, 3, 0}, 0.5f, "Q4"}};
  for (const auto& c : cases) {
    const LoadSpectrum s = DecodeLoadSpectrum(WithCounters({c.cycles, {}}));
    EXPECT_EQ(s.Kp, c.kp);
    EXPECT_EQ(s.CraneMode, c.mode);
  }
  // Loading time in Q2 alone: Km exactly 0.125.
  const LoadSpectrum q2 = DecodeLoadSpectrum(WithCounters({{}, {Duration{}, Duration{7, 13}}}));
  EXPECT_EQ(q2.Km, 0.125f);
  EXPECT_EQ(q2.MechanismMode, "L2");
}

TEST(LoadSpectrumTest, NothingCountedGivesZeroAndTheLowestClasses) {
  const LoadSpectrum s = DecodeLoadSpectrum(WithCounters({}));
  EXPECT_EQ(s.TotalCycles, 0u);
  EXPECT_EQ(s.Kp, 0.0f);
  EXPECT_EQ(s.Km, 0.0f);
  EXPECT_EQ(s.CraneGroupK + s.CraneGroupA, "----");
  EXPECT_EQ(s.MechanismClass + s.MechanismMode + s.MechanismGroup, "T0L1--");
}

TEST(LoadSpectrumTest, MinutesAreCountedAsStoredAndCarriedInTheTotal) {
  Counters c;
  c.times = {Duration{12, 75}, Duration{10, 59}, Duration{10, 59}, Duration{10, 59}, Duration{256, 0}};
  const LoadSpectrum s = DecodeLoadSpectrum(WithCounters(c));
  EXPECT_EQ(s.LoadMinutes[0], 795u);
  EXPECT_EQ(s.LoadMinutes[4], 15360u);
  EXPECT_EQ(s.TotalLoadMinutes, 795u + 3 * 659u + 15360u);
  // 298 hours, then 252 minutes: 4 more hours and 12 minutes.
  EXPECT_EQ(s.TotalLoadTime, (LoadTimeTotal{302, 12}));
}

TEST(LoadSpectrumTest, EveryCounterAtItsMaximum) {
  Counters c;
  c.cycles.fill(65535);
  c.times.fill(Duration{65535, 255});
  const LoadSpectrum s = DecodeLoadSpectrum(WithCounters(c));
  EXPECT_EQ(s.TotalCycles, 327675u);
  EXPECT_EQ(s.CharacteristicNumber, 230396.484375f);  // held exactly
  EXPECT_EQ(s.Kp, 0.703125f);
  EXPECT_EQ(s.TotalLoadMinutes, 19661775u);
  EXPECT_EQ(s.TotalLoadTime, (LoadTimeTotal{327696, 15}));
  EXPECT_EQ(s.CraneClass + s.CraneMode + s.CraneGroupK + s.CraneGroupA, "C5Q47KA7");
  EXPECT_EQ(s.MechanismClass + s.MechanismMode + s.MechanismGroup, "T9L4--");
}

}  // namespace
}  // namespace kd
