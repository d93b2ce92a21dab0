#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "header.h"
#include "key_image.h"

namespace kd {

// The event log: 14-byte records one after another from the end of the header, with no gap and
// no regard to the reader's pages. Every byte is unsigned binary, 16-bit numbers little-endian.
namespace event {
inline constexpr std::size_t kFirst = header::kSize;
inline constexpr std::size_t kSize = 14;
// Records that fit in the image: the last one ends at offset 65,525.
inline constexpr std::size_t kMaxCount = (kKeyImageSize - kFirst) / kSize;

// Offsets within a record.
inline constexpr std::size_t kEventDate = 0;      // two date numbers
inline constexpr std::size_t kEventTime = 2;      // hour, minute, second
inline constexpr std::size_t kPeriod = 5;         // three numbers
inline constexpr std::size_t kL1Code = 8;         // 16 bits
inline constexpr std::size_t kL2Code = 10;        // 16 bits
inline constexpr std::size_t kControlInputs = 12;  // one bit per input
inline constexpr std::size_t kStatusBits = 13;

// Bits of StatusBits; bits 7, 6 and 1 mean nothing.
inline constexpr std::uint8_t kSensorFault = 0x20;
inline constexpr std::uint8_t kUprFlag = 0x10;
inline constexpr std::uint8_t kBlockingFlag = 0x08;
// Either bit says the relay is in the protection state; the two are not told apart.
inline constexpr std::uint8_t kRelayProtection = 0x04 | 0x01;

// A Period byte of this value blanks the whole period.
inline constexpr std::uint8_t kPeriodMarker = 55;
}  // namespace event

static_assert(event::kMaxCount == 4675);

// Two date numbers, shown in stored order: which is the day is not known.
struct DateNumbers {
  std::uint8_t first;
  std::uint8_t second;
};

struct ClockTime {
  std::uint8_t hour;
  std::uint8_t minute;
  std::uint8_t second;
};

// The records to decode: BlockCount, but never one that would run past the end of the image.
inline std::size_t EventRecordCount(const KeyImage& image) {
  return std::min<std::size_t>(BlockCount(image), event::kMaxCount);
}

// One record, read in place from the image; nothing is copied or checked.
class EventRecord {
 public:
  // `index` counts from 0 and must be below event::kMaxCount.
  EventRecord(const KeyImage& image, std::size_t index) : bytes_(Start(image, index)) {}

  DateNumbers EventDate() const { return {bytes_[event::kEventDate], bytes_[event::kEventDate + 1]}; }
  ClockTime EventTime() const {
    return {bytes_[event::kEventTime], bytes_[event::kEventTime + 1], bytes_[event::kEventTime + 2]};
  }
  std::array<std::uint8_t, 3> Period() const {
    return {bytes_[event::kPeriod], bytes_[event::kPeriod + 1], bytes_[event::kPeriod + 2]};
  }
  std::uint16_t L1Code() const { return Word(event::kL1Code); }
  std::uint16_t L2Code() const { return Word(event::kL2Code); }
  std::uint8_t ControlInputs() const { return bytes_[event::kControlInputs]; }
  std::uint8_t StatusBits() const { return bytes_[event::kStatusBits]; }

 private:
  static const std::uint8_t* Start(const KeyImage& image, std::size_t index) {
    if (index >= event::kMaxCount) throw std::out_of_range("event record " + std::to_string(index) + " lies beyond the image");
    return image.data() + event::kFirst + index * event::kSize;
  }
  std::uint16_t Word(std::size_t offset) const {
    return static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
  }

  const std::uint8_t* bytes_;
};

}  // namespace kd
