#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "image/key_image.h"
#include "io/result.h"

namespace kd {

// The image a ".512" file's bytes give: the first 65,536 of them in order, and 0xFF from the first
// position the file has no byte for. Nothing is translated.
KeyImage ImageFromFileBytes(std::span<const std::uint8_t> bytes);

// Reads a ".512" file, or says why it cannot: it is missing, a folder or another non-regular
// file, has no read permission bit, or cannot be read.
Result<KeyImage> ReadImageFile(const std::filesystem::path& path);

// Writes the 65,536 bytes of the image to a ".512" file, replacing an existing one only once the
// new one is complete (see WriteFileAtomically).
Status WriteImageFile(const std::filesystem::path& path, const KeyImage& image);

}  // namespace kd
