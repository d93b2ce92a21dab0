#pragma once

#include <cstdint>
#include <string>

namespace kd {

// The decimal digits of `value`, left-filled with zeros to at least `width` characters and never
// cut: PadNumber(7, 5) is "00007", PadNumber(327675, 5) is "327675".
std::string PadNumber(std::uint32_t value, int width);

}  // namespace kd
