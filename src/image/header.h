#pragma once

#include <cstddef>
#include <cstdint>

#include "key_image.h"

namespace kd {

// The key's header, bytes 0 to 75 of the image, read in place. Numbers are unsigned; 16-bit ones
// are little-endian; nothing is BCD.
namespace header {
inline constexpr std::size_t kSignature = 0;         // 0xAA 0x55
inline constexpr std::size_t kFormatVersion = 2;
inline constexpr std::size_t kReadDate = 3;          // two date numbers, hour, minute: a byte each
inline constexpr std::size_t kLimiterId = 7;         // 16 bits
inline constexpr std::size_t kInstallDate = 9;       // 16 bits, YY * 100 + MM
inline constexpr std::size_t kLiftingCapacity = 13;  // 16 bits, kCapacityDecimals of them fractional
inline constexpr std::size_t kCapacityDecimals = 19;
inline constexpr std::size_t kL1Calibration = 21;  // zero code, reference code, reference load, ratio
inline constexpr std::size_t kL2Calibration = 31;
inline constexpr std::size_t kBlockCount = 43;        // 16 bits: event records after the header
inline constexpr std::size_t kEngineHours = 45;       // duration
inline constexpr std::size_t kLastOverloadHour = 48;  // duration
inline constexpr std::size_t kCycleCounts = 51;       // five 16-bit counters, Q1 to Q5
inline constexpr std::size_t kLoadTimes = 61;         // five durations, Q1 to Q5
inline constexpr std::size_t kSize = 76;

inline constexpr std::uint8_t kSignatureFirst = 0xAA;
inline constexpr std::uint8_t kSignatureSecond = 0x55;
inline constexpr std::uint8_t kData1FormatVersion = 7;
}  // namespace header

// A duration as the key keeps it: whole hours, then minutes, which nothing checks to be below 60.
struct Duration {
  std::uint16_t hours;
  std::uint8_t minutes;
  friend bool operator==(const Duration&, const Duration&) = default;
};

// A load channel's calibration.
struct ChannelCalibration {
  std::uint16_t zero_code;
  std::uint16_t ref_code;
  std::uint16_t ref_load;  // in the units of the lifting capacity
  std::uint16_t ratio;     // load transmission coefficient
  friend bool operator==(const ChannelCalibration&, const ChannelCalibration&) = default;
};

inline std::uint8_t ByteAt(const KeyImage& image, std::size_t offset) { return image[offset]; }

inline std::uint16_t WordAt(const KeyImage& image, std::size_t offset) {
  return static_cast<std::uint16_t>(image[offset] | image[offset + 1] << 8);
}

inline Duration DurationAt(const KeyImage& image, std::size_t offset) {
  return {WordAt(image, offset), image[offset + 2]};
}

inline std::uint16_t BlockCount(const KeyImage& image) { return WordAt(image, header::kBlockCount); }

// Channel 1 is L1, channel 2 is L2.
inline ChannelCalibration Calibration(const KeyImage& image, int channel) {
  const std::size_t base = channel == 1 ? header::kL1Calibration : header::kL2Calibration;
  // Two bytes lie unread between the reference code and the reference load.
  return {WordAt(image, base), WordAt(image, base + 2), WordAt(image, base + 6), WordAt(image, base + 8)};
}

// Whether the Data 1 report accepts the image: the signature, then format version 7.
inline bool IsData1Image(const KeyImage& image) {
  return image[0] == header::kSignatureFirst && image[1] == header::kSignatureSecond &&
         image[header::kFormatVersion] == header::kData1FormatVersion;
}

}  // namespace kd
