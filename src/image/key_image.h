#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kd {

// The key's whole memory, byte i of the image being byte i of the key.
inline constexpr std::size_t kKeyImageSize = 65536;
// The reader transfers the key in pages of this size.
inline constexpr std::size_t kImagePageSize = 128;
inline constexpr std::size_t kImagePageCount = kKeyImageSize / kImagePageSize;

using KeyImage = std::array<std::uint8_t, kKeyImageSize>;

}  // namespace kd
