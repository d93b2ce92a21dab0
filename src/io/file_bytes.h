#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "result.h"

namespace kd {

// The whole content of a regular file of at most `limit` bytes, or why it cannot be had (in
// Russian, for the user).
Result<std::string> ReadFileBytes(const std::filesystem::path& path, std::size_t limit);

}  // namespace kd
