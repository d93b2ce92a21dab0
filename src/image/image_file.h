#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "key_image.h"

namespace kd {

// The image a ".512" file's bytes give: the first 65,536 of them in order, and 0xFF from the first
// position the file has no byte for. Nothing is translated.
KeyImage ImageFromFileBytes(std::span<const std::uint8_t> bytes);

// Reads a ".512" file. Nothing when the file cannot be opened or read: it is missing, not a
// regular file, or has no read permission bit.
std::optional<KeyImage> ReadImageFile(const std::filesystem::path& path);

// Writes the 65,536 bytes of the image to a ".512" file, replacing an existing one only once the
// new one is complete (see WriteFileAtomically). Returns nothing on success, else the reason.
std::optional<std::string> WriteImageFile(const std::filesystem::path& path, const KeyImage& image);

}  // namespace kd
