#pragma once

#include <cstdint>
#include <limits>
#include <span>

namespace kd {

// The limiter's figures are computed in 80-bit extended precision and kept in single precision;
// the classification compares the kept values, so a result at a class bound depends on both
// widths. Every such computation lives here: a compiler whose long double is not the 80-bit type
// has this one file to change.
using ExtendedReal = long double;
static_assert(std::numeric_limits<ExtendedReal>::digits == 64, "ExtendedReal must be the 80-bit extended type");

// Sum of values[i] * weights[i], added in order in extended precision, rounded to nearest single.
inline float WeightedSum(std::span<const std::uint32_t> values, std::span<const ExtendedReal> weights) {
  ExtendedReal sum = 0;
  for (std::size_t i = 0; i < values.size() && i < weights.size(); ++i) {
    sum += static_cast<ExtendedReal>(values[i]) * weights[i];
  }
  return static_cast<float>(sum);
}

// numerator / denominator in extended precision, rounded to nearest single; 0 for a zero
// denominator, which the reports take as "nothing counted".
inline float Ratio(float numerator, std::uint32_t denominator) {
  if (denominator == 0) return 0.0f;
  return static_cast<float>(static_cast<ExtendedReal>(numerator) / static_cast<ExtendedReal>(denominator));
}

}  // namespace kd
