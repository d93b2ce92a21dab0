#include "load_spectrum.h"

#include "extended_real.h"

namespace kd {

namespace {

// The cubes of 0.25, 0.5, 0.75, 1 and 1.25: each class's share of a full load, cubed.
constexpr std::array<ExtendedReal, kLoadClasses> kLoadWeight = {0.015625L, 0.125L, 0.421875L, 1.0L, 1.953125L};

// Lower bounds, highest class first; a value at a bound belongs to the class it starts. The top
// classes start where the ones below end.
constexpr std::uint32_t kCraneClassFrom[] = {4'000'000, 2'000'000, 1'000'000, 500'000, 250'000,
                                             125'000,   63'000,    32'000,    16'000};
constexpr std::uint32_t kMechanismClassFrom[] = {3'000'000, 1'500'000, 750'000, 378'000, 192'000,
                                                 96'000,    48'000,    24'000,  12'000};

// Mode bounds, highest mode first; a coefficient at a bound takes the higher mode.
constexpr double kCraneModeFrom[] = {0.5, 0.25, 0.125, 0.063};
constexpr double kMechanismModeFrom[] = {0.5, 0.25, 0.125};

// Rows: crane mode Q0..Q4; columns: crane class C0..C9. Each cell: K group, A group.
constexpr const char* kCraneGroupTable[5][10][2] = {
    {{"--", "--"}, {"--", "--"}, {"1K", "--"}, {"1K", "--"}, {"2K", "--"},
     {"3K", "--"}, {"4K", "--"}, {"5K", "--"}, {"6K", "--"}, {"7K", "--"}},
    {{"--", "--"}, {"1K", "--"}, {"1K", "A1"}, {"2K", "A2"}, {"3K", "A3"},
     {"4K", "A4"}, {"5K", "A5"}, {"6K", "A6"}, {"7K", "A7"}, {"8K", "A8"}},
    {{"1K", "--"}, {"1K", "A1"}, {"2K", "A2"}, {"3K", "A3"}, {"4K", "A4"},
     {"5K", "A5"}, {"6K", "A6"}, {"7K", "A7"}, {"8K", "A8"}, {"8K", "--"}},
    {{"1K", "A1"}, {"2K", "A2"}, {"3K", "A3"}, {"4K", "A4"}, {"5K", "A5"},
     {"6K", "A6"}, {"7K", "A7"}, {"8K", "A8"}, {"8K", "--"}, {"--", "--"}},
    {{"2K", "A2"}, {"3K", "A3"}, {"4K", "A4"}, {"5K", "A5"}, {"6K", "A6"},
     {"7K", "A7"}, {"8K", "A8"}, {"8K", "--"}, {"--", "--"}, {"--", "--"}},
};

// Rows: mechanism mode L1..L4; columns: mechanism class T0..T9.
constexpr const char* kMechanismGroupTable[4][10] = {
    {"--", "--", "M1", "M2", "M3", "M4", "M5", "M6", "M7", "M8"},
    {"--", "M1", "M2", "M3", "M4", "M5", "M6", "M7", "M8", "--"},
    {"M1", "M2", "M3", "M4", "M5", "M6", "M7", "M8", "--", "--"},
    {"M2", "M3", "M4", "M5", "M6", "M7", "M8", "--", "--", "--"},
};

// The number of the class a value falls in: the top class for the first bound reached.
template <typename T, std::size_t N>
int ClassNumber(T value, const T (&from)[N], int top) {
  for (std::size_t i = 0; i < N; ++i) {
    if (value >= from[i]) return top - static_cast<int>(i);
  }
  return top - static_cast<int>(N);
}

std::string Named(char letter, int number) { return {letter, static_cast<char>('0' + number)}; }

int Digit(const std::string& text) { return text[1] - '0'; }

}  // namespace

std::string CraneModeOf(float kp) { return Named('Q', ClassNumber(static_cast<double>(kp), kCraneModeFrom, 4)); }

std::string CraneClassOf(std::uint32_t total_cycles) { return Named('C', ClassNumber(total_cycles, kCraneClassFrom, 9)); }

std::string MechanismModeOf(float km) {
  return Named('L', ClassNumber(static_cast<double>(km), kMechanismModeFrom, 4));
}

std::string MechanismClassOf(std::uint32_t total_load_minutes) {
  return Named('T', ClassNumber(total_load_minutes, kMechanismClassFrom, 9));
}

std::array<std::string, 2> CraneGroupOf(int mode, int crane_class) {
  const auto& cell = kCraneGroupTable[mode][crane_class];
  return {cell[0], cell[1]};
}

std::string MechanismGroupOf(int mode, int mechanism_class) { return kMechanismGroupTable[mode - 1][mechanism_class]; }

LoadSpectrum DecodeLoadSpectrum(const KeyImage& image) {
  LoadSpectrum s{};
  std::array<std::uint32_t, kLoadClasses> cycles{};
  std::uint32_t minute_sum = 0;
  for (int i = 0; i < kLoadClasses; ++i) {
    s.CycleCount[i] = WordAt(image, header::kCycleCounts + 2 * static_cast<std::size_t>(i));
    cycles[i] = s.CycleCount[i];
    s.TotalCycles += cycles[i];

    s.LoadTime[i] = DurationAt(image, header::kLoadTimes + 3 * static_cast<std::size_t>(i));
    s.LoadMinutes[i] = s.LoadTime[i].hours * 60u + s.LoadTime[i].minutes;
    s.TotalLoadMinutes += s.LoadMinutes[i];
    s.TotalLoadTime.hours += s.LoadTime[i].hours;
    minute_sum += s.LoadTime[i].minutes;
  }
  s.TotalLoadTime.hours += minute_sum / 60;
  s.TotalLoadTime.minutes = minute_sum % 60;

  s.CharacteristicNumber = WeightedSum(cycles, kLoadWeight);
  s.Kp = Ratio(s.CharacteristicNumber, s.TotalCycles);
  s.WeightedLoadMinutes = WeightedSum(s.LoadMinutes, kLoadWeight);
  s.Km = Ratio(s.WeightedLoadMinutes, s.TotalLoadMinutes);

  s.CraneClass = CraneClassOf(s.TotalCycles);
  s.CraneMode = CraneModeOf(s.Kp);
  const auto group = CraneGroupOf(Digit(s.CraneMode), Digit(s.CraneClass));
  s.CraneGroupK = group[0];
  s.CraneGroupA = group[1];
  s.MechanismClass = MechanismClassOf(s.TotalLoadMinutes);
  s.MechanismMode = MechanismModeOf(s.Km);
  s.MechanismGroup = MechanismGroupOf(Digit(s.MechanismMode), Digit(s.MechanismClass));
  return s;
}

}  // namespace kd
