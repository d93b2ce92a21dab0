#pragma once

#include <filesystem>

#include "result.h"

namespace kd {

// Whether two paths name one existing file, by its identity (device and inode, or the volume and
// file index on Windows), not by its name: a link, a hard link or another spelling of the path is
// the same file. False when either does not exist.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Whether WriteFileAtomically could write `target`, judged by the same rules and before any work
// is done: an existing target must be a file with a write permission bit, its folder must exist
// and have one. The reason is in Russian, for the user.
Status CheckWritableTarget(const std::filesystem::path& target);

}  // namespace kd
