#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <span>

namespace kd {

// The limiter's figures are computed in 80-bit extended precision and kept in single precision;
// the classification compares the kept values, so a result at a class bound depends on both
// widths, and so do the load columns. Every such computation lives here: a compiler whose long
// double is not the 80-bit type has this one file to change.
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

// value × factor in extended precision, rounded to single.
inline float ExtendedProductToSingle(std::int32_t value, ExtendedReal factor) {
  return static_cast<float>(static_cast<ExtendedReal>(value) * factor);
}

// dividend / first / second, in that order, in extended precision, rounded to single. Both
// divisors must be non-zero.
inline float ExtendedQuotientToSingle(std::int32_t dividend, std::int32_t first, std::int32_t second) {
  return static_cast<float>(static_cast<ExtendedReal>(dividend) / first / second);
}

// dividend / first / second, in that order, in extended precision, truncated toward zero. Empty
// when a divisor is zero or the whole part does not fit a signed 32-bit integer.
inline std::optional<std::int32_t> TruncatedExtendedQuotient(std::int32_t dividend, float first, float second) {
  if (first == 0.0f || second == 0.0f) return std::nullopt;
  const ExtendedReal quotient = static_cast<ExtendedReal>(dividend) / first / second;
  // Written so that a NaN fails too.
  constexpr ExtendedReal kBelowMin = static_cast<ExtendedReal>(std::numeric_limits<std::int32_t>::min()) - 1;
  constexpr ExtendedReal kAboveMax = static_cast<ExtendedReal>(std::numeric_limits<std::int32_t>::max()) + 1;
  if (!(quotient > kBelowMin && quotient < kAboveMax)) return std::nullopt;
  return static_cast<std::int32_t>(quotient);  // the conversion truncates toward zero
}

}  // namespace kd
