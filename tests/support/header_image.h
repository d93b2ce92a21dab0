#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "image/header.h"
#include "image/key_image.h"

namespace kd::test {

// An image that the Data 1 report accepts, all else zero.
inline KeyImage Data1Image() {
  KeyImage image{};
  image[0] = header::kSignatureFirst;
  image[1] = header::kSignatureSecond;
  image[header::kFormatVersion] = header::kData1FormatVersion;
  return image;
}

inline void SetWord(KeyImage& image, std::size_t offset, std::uint16_t value) {
  image[offset] = static_cast<std::uint8_t>(value & 0xFF);
  image[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void SetDuration(KeyImage& image, std::size_t offset, Duration d) {
  SetWord(image, offset, d.hours);
  image[offset + 2] = d.minutes;
}

// The load counters, Q1 to Q5.
struct Counters {
  std::array<std::uint16_t, 5> cycles{};
  std::array<Duration, 5> times{};
};

inline KeyImage WithCounters(const Counters& counters, KeyImage image = Data1Image()) {
  for (std::size_t i = 0; i < 5; ++i) {
    SetWord(image, header::kCycleCounts + 2 * i, counters.cycles[i]);
    SetDuration(image, header::kLoadTimes + 3 * i, counters.times[i]);
  }
  return image;
}

}  // namespace kd::test
