#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "image/event_record.h"
#include "image/header.h"
#include "image/key_image.h"
#include "support/header_image.h"

namespace kd::test {

inline void SetBlockCount(KeyImage& image, std::uint16_t count) { SetWord(image, header::kBlockCount, count); }

using RecordBytes = std::array<std::uint8_t, event::kSize>;

inline void SetRecord(KeyImage& image, std::size_t index, const RecordBytes& bytes) {
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(event::kFirst + index * event::kSize));
}

}  // namespace kd::test
