#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace kd {

using Sha256Digest = std::array<std::uint8_t, 32>;

// The SHA-256 digest of `bytes` (FIPS 180-4).
Sha256Digest Sha256(std::span<const std::uint8_t> bytes);

// The digest as sha256sum prints it: 64 lower-case hex digits.
std::string Sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace kd
