#pragma once

#include <array>
#include <cstdint>

// The key reader's serial protocol: 9600 baud, 8N1. Plain C++, shared by the program and the
// reader simulator.
namespace kd::reader {

inline constexpr int kBaudRate = 9600;

// "Is a key inserted?" The reader answers with at least one byte; 01 means yes.
inline constexpr std::uint8_t kProbeRequest = 0x00;
inline constexpr std::uint8_t kKeyPresent = 0x01;
// Sends page 0 of the key.
inline constexpr std::array<std::uint8_t, 5> kFirstPageRequest{0x01, 0x00, 0x00, 0x80, 0x00};
// Sends the page after the last one sent.
inline constexpr std::uint8_t kNextPageRequest = 0x02;

// The most further pages a key has: all of it after page 0.
inline constexpr std::uint32_t kMaxExtraPages = 511;

// How many pages follow page 0 for a key with this many event records: enough for the header and
// the records, rounded the reader's way (one page too many when they end on a page boundary).
// Counts below 4 wrap around and come out above kMaxExtraPages: such a key is refused.
constexpr std::uint32_t ExtraPageCount(std::uint16_t block_count) {
  if (block_count >= 4675) return kMaxExtraPages;
  return (std::uint32_t{block_count} * 14u - 52u) / 128u + 1u;
}

}  // namespace kd::reader
