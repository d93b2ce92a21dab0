#pragma once

#include <cstdint>
#include <limits>
#include <optional>

namespace kd {

// The load columns are defined on 80-bit extended arithmetic, rounded to single precision where a
// value is stored. Every computation in that type lives here, so that a port to a compiler whose
// `long double` is narrower has this one file to change.
using ExtendedReal = long double;
static_assert(std::numeric_limits<ExtendedReal>::digits == 64, "the load arithmetic needs 80-bit extended precision");

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
