#include "number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "image/header.h"

namespace kd {

void AppendPadNumber(std::string& text, std::uint32_t value, int width) {
  if (width == 2 && value < 100) {
    // The dates, times and periods of every event record: two digits, straight.
    text += static_cast<char>('0' + value / 10);
    text += static_cast<char>('0' + value % 10);
    return;
  }
  char digits[10];
  const char* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  for (auto count = end - digits; count < width; ++count) text += '0';
  // Character by character: a call to copy a few bytes costs more than the bytes.
  for (const char* digit = digits; digit != end; ++digit) text += *digit;
}

std::string PadNumber(std::uint32_t value, int width) {
  std::string text;
  AppendPadNumber(text, value, width);
  return text;
}

std::string IntText(std::int32_t value) { return std::to_string(value); }

std::string CapacityText(const KeyImage& image, std::size_t offset) {
  const unsigned decimals = ByteAt(image, header::kCapacityDecimals);
  const std::string digits = PadNumber(WordAt(image, offset), 4);
  if (decimals < 1 || decimals > 4) return digits + " кГ";
  // Counting the comma's place from the right keeps a five-digit capacity's true value.
  const std::size_t whole = digits.size() - decimals;
  return digits.substr(0, whole) + "," + digits.substr(whole) + " т";
}

namespace {

// The general number format with 15 significant digits: fixed-point from 0.00001 up to below
// 10^15, else scientific ("1.5E-6", "1E15"); trailing zeros and a bare point dropped.
std::string GeneralText(double value) {
  if (value == 0) return "0";
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  constexpr int kDigits = 15;
  char buffer[64];
  // d.dddddddddddddde±x, correctly rounded and independent of the C locale.
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::abs(value), std::chars_format::scientific,
                                    kDigits - 1);
  const std::string text(buffer, result.ptr);
  const std::size_t e = text.find('e');
  std::string mantissa = text.substr(0, 1) + text.substr(2, e - 2);  // the 15 digits
  const int exponent = std::atoi(text.c_str() + e + 1);
  const auto trim = [](std::string digits) {
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    return digits;
  };

  std::string out = value < 0 ? "-" : "";
  if (exponent < -5 || exponent >= kDigits) {
    const std::string fraction = trim(mantissa.substr(1));
    out += mantissa.substr(0, 1);
    if (!fraction.empty()) out += "." + fraction;
    return out + "E" + std::to_string(exponent);
  }
  if (exponent < 0) return out + "0." + trim(std::string(static_cast<std::size_t>(-exponent - 1), '0') + mantissa);
  const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
  const std::string fraction = trim(mantissa.substr(whole));
  out += mantissa.substr(0, whole);
  if (!fraction.empty()) out += "." + fraction;
  return out;
}

}  // namespace

std::string ShortFloatText(float value, std::string_view decimal_separator) {
  std::string text = GeneralText(static_cast<double>(value));
  if (text.size() > 6) text.resize(6);
  const std::size_t point = text.find('.');
  if (point != std::string::npos) text.replace(point, 1, decimal_separator);
  return text;
}

}  // namespace kd
