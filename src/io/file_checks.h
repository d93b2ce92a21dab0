#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "result.h"

namespace kd {

// What tells one file from another on its system: the device and inode (on Windows, the volume
// and the file index), whatever path leads to it.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t index = 0;
  friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the file `path` leads to (through links), or nothing when there is none.
std::optional<FileIdentity> IdentifyFile(const std::filesystem::path& path);

// Whether two paths name one existing file, by its identity (device and inode, or the volume and
// file index on Windows), not by its name: a link, a hard link or another spelling of the path is
// the same file. False when either does not exist.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// The file a write to `target` replaces: the file a symbolic link leads to, else `target`.
std::filesystem::path WriteTargetOf(const std::filesystem::path& target);

// Whether `target` may be written (through a link, its file): an existing target must be a file with a write permission bit,
// its folder must exist and have one (bits, not access(), so that root is refused too). The safe
// writer refuses by these rules; callers check them before long work. The reason is in Russian.
Status CheckWritableTarget(const std::filesystem::path& target);

}  // namespace kd
