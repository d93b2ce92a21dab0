#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "image/key_image.h"

namespace kd {

// The decimal digits of `value`, left-filled with zeros to at least `width` characters and never
// cut: PadNumber(7, 5) is "00007", PadNumber(327675, 5) is "327675".
std::string PadNumber(std::uint32_t value, int width);
// The same, appended to `text` (no temporary: the event log makes tens of thousands of them).
void AppendPadNumber(std::string& text, std::uint32_t value, int width);

// Plain decimal digits: no leading zeros, no separators.
std::string IntText(std::int32_t value);

// The lifting capacity held as a 16-bit number at `offset`, whose last d digits are fractional,
// d being the decimals byte of the header: in tonnes with a decimal comma for d of 1 to 4
// ("12,50 т", ",1250 т", "00,50 т"), else in kilograms-force without one ("1250 кГ").
// The digits are those of PadNumber(value, 4), so a capacity above 9,999 keeps all five of them,
// the comma before the last d ("123,45 т" for 12345 with d = 2).
std::string CapacityText(const KeyImage& image, std::size_t offset);

// A real as the report shows it: the value exactly, rounded to 15 significant digits, trailing
// zeros dropped, then cut (not rounded) to its first six characters; `decimal_separator` stands
// for the decimal point. ShortFloatText(0.421875f, ".") is "0.4218", 1/3 gives "0.3333".
std::string ShortFloatText(float value, std::string_view decimal_separator);

}  // namespace kd
