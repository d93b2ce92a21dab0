#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "image/header.h"
#include "image/key_image.h"

namespace kd {

// Five load classes Q1 to Q5 of the limiter's counters.
inline constexpr int kLoadClasses = 5;

// Hours and minutes summed separately, whole hours of the minutes carried over.
struct LoadTimeTotal {
  std::uint32_t hours;
  std::uint32_t minutes;  // 0 to 59
  friend bool operator==(const LoadTimeTotal&, const LoadTimeTotal&) = default;
};

// The load counters of the header and what the crane's and the mechanism's duty classification
// derive from them. Built afresh from the image at each use; the reals are single precision, as
// the limiter's classification compares them.
struct LoadSpectrum {
  std::array<std::uint16_t, kLoadClasses> CycleCount;
  std::uint32_t TotalCycles;
  float CharacteristicNumber;
  float Kp;

  std::array<Duration, kLoadClasses> LoadTime;  // minutes as stored, possibly above 59
  std::array<std::uint32_t, kLoadClasses> LoadMinutes;
  std::uint32_t TotalLoadMinutes;
  float WeightedLoadMinutes;
  float Km;
  LoadTimeTotal TotalLoadTime;

  std::string CraneClass;       // "C0".."C9"
  std::string CraneMode;        // "Q0".."Q4"
  std::string CraneGroupK;      // "1K".."8K" or "--"
  std::string CraneGroupA;      // "A1".."A8" or "--"
  std::string MechanismClass;   // "T0".."T9"
  std::string MechanismMode;    // "L1".."L4"
  std::string MechanismGroup;   // "M1".."M8" or "--"
};

LoadSpectrum DecodeLoadSpectrum(const KeyImage& image);

// The classification steps, each from the value it is decided by.
std::string CraneModeOf(float kp);
std::string CraneClassOf(std::uint32_t total_cycles);
std::string MechanismModeOf(float km);
std::string MechanismClassOf(std::uint32_t total_load_minutes);
// From the digits of a crane mode (0..4) and class (0..9): the K group and the A group.
std::array<std::string, 2> CraneGroupOf(int mode, int crane_class);
// From the digits of a mechanism mode (1..4) and class (0..9).
std::string MechanismGroupOf(int mode, int mechanism_class);

}  // namespace kd
