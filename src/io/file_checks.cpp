#include "file_checks.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace kd {

namespace fs = std::filesystem;

#ifdef _WIN32

std::optional<FileIdentity> IdentifyFile(const fs::path& path) {
  // No access is asked for: only the file's identity is read, also of a file opened elsewhere.
  const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  if (!known) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber, std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow};
}

#else

std::optional<FileIdentity> IdentifyFile(const fs::path& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

#endif

bool SameFile(const fs::path& a, const fs::path& b) {
  const std::optional<FileIdentity> first = IdentifyFile(a);
  return first && first == IdentifyFile(b);
}

fs::path WriteTargetOf(const fs::path& target) {
  std::error_code ec;
  if (!fs::is_symlink(fs::symlink_status(target, ec))) return target;
  const fs::path resolved = fs::weakly_canonical(target, ec);
  return ec ? target : resolved;
}

Status CheckWritableTarget(const fs::path& given) {
  constexpr auto kWriteBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  std::error_code ec;
  // The writer replaces the file a link leads to, in that file's folder.
  const fs::path target = WriteTargetOf(given);
  const fs::file_status status = fs::status(target, ec);
  if (fs::exists(status)) {
    if (!fs::is_regular_file(status)) return Failure{"это не файл"};
    if ((status.permissions() & kWriteBits) == fs::perms::none) return Failure{"файл только для чтения"};
  }
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  const fs::file_status folder_status = fs::status(folder, ec);
  if (ec || !fs::is_directory(folder_status)) return Failure{"папка не найдена"};
#ifndef _WIN32
  // Windows ignores a folder's read-only attribute; Explorer uses it to mark customised folders.
  if ((folder_status.permissions() & kWriteBits) == fs::perms::none) return Failure{"папка только для чтения"};
#endif
  return {};
}

}  // namespace kd
