#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "result.h"

namespace kd {

// Replaces `target` with `bytes` so that the target is at every moment either the old file or the
// complete new one: the bytes go to a temporary file in the same folder, which is flushed to disk
// and only then renamed over the target. A full disk or a pulled stick leaves the old file as it was.
// On Linux the new file keeps the old one's owner, group and permissions, without set-id bits.
//
// A target or folder without any write permission bit is refused even where the process could
// override it (root on Linux), the way Windows refuses a file with its read-only attribute. Windows
// ignores that attribute on folders, and so does this. Windows cannot replace a file another
// program holds open: the rename is tried for about a second, then refused.
// On failure, the reason is in Russian, for the user.
Status WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

inline Status WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
  return WriteFileAtomically(target, {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

}  // namespace kd
