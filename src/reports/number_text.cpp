#include "number_text.h"

namespace kd {

std::string PadNumber(std::uint32_t value, int width) {
  std::string digits = std::to_string(value);
  if (width > 0 && digits.size() < static_cast<std::size_t>(width)) {
    digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
  }
  return digits;
}

}  // namespace kd
