#include "safe_file.h"

#include "file_checks.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <share.h>
#include <windows.h>
#include <fcntl.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kd {

namespace fs = std::filesystem;

namespace {


// The reason as the user reads it.
std::string ErrnoText(int err) {
  switch (err) {
    case ENOSPC: return "нет места на диске";
#ifdef EDQUOT
    case EDQUOT: return "превышена квота диска";
#endif
    case EACCES:
    case EPERM: return "нет доступа";
    case EROFS: return "диск только для чтения";
    case ENOENT:
    case ENOTDIR: return "папка не найдена";
    case EIO: return "ошибка ввода-вывода";
    case ENAMETOOLONG: return "слишком длинное имя файла";
    default: return std::generic_category().message(err);
  }
}

// A temporary file beside the target, so the rename stays on one disk. The name is short whatever
// the target's length, and random, so two writers never share one.
fs::path TemporarySibling(const fs::path& target, std::mt19937_64& random) {
  char name[32];
  std::snprintf(name, sizeof name, ".kd%016llx.tmp", static_cast<unsigned long long>(random()));
  return target.parent_path() / name;
}

#ifdef _WIN32

// Another program's open handle keeps Windows from replacing a file. A viewer or a virus scanner
// lets go within moments, so the rename is tried for about a second.
constexpr int kRenameAttempts = 100;
constexpr DWORD kRenamePauseMs = 10;

bool HeldByAnotherProgram(DWORD err) {
  return err == ERROR_ACCESS_DENIED || err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION;
}

std::string WindowsErrorText(DWORD err) {
  if (HeldByAnotherProgram(err)) return "файл открыт в другой программе";
  switch (err) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "нет места на диске";
    case ERROR_WRITE_PROTECT: return "диск только для чтения";
    case ERROR_PATH_NOT_FOUND: return "папка не найдена";
    default: return std::system_category().message(static_cast<int>(err));
  }
}

// Windows takes paths longer than 260 characters only in the \\?\ form, which must be absolute,
// normalised and use backslashes.
std::wstring LongPath(const fs::path& path) {
  std::error_code ec;
  const std::wstring full = fs::absolute(path, ec).lexically_normal().make_preferred().native();
  if (ec || full.starts_with(L"\\\\?\\")) return path.native();
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

Status WriteAndReplace(const fs::path& target, std::span<const std::uint8_t> bytes, std::mt19937_64& random) {
  std::wstring temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = LongPath(TemporarySibling(target, random));
    // Nobody else needs the temporary file until it is complete.
    const errno_t err =
        _wsopen_s(&fd, temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _SH_DENYRW, _S_IREAD | _S_IWRITE);
    if (err != 0) {
      fd = -1;
      if (err != EEXIST) return Failure{ErrnoText(err)};
    }
  }
  if (fd < 0) return Failure{"нет свободного имени для временного файла"};

  std::size_t done = 0;
  while (done < bytes.size()) {
    const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, 1U << 30));
    const int n = _write(fd, bytes.data() + done, chunk);
    if (n <= 0) {
      const int err = n < 0 ? errno : ENOSPC;
      _close(fd);
      _wunlink(temp.c_str());
      return Failure{ErrnoText(err)};
    }
    done += static_cast<std::size_t>(n);
  }
  // Closed in any case: an open file could not be removed.
  const bool flushed = _commit(fd) == 0;
  const int flush_err = errno;
  const bool closed = _close(fd) == 0;
  if (!flushed || !closed) {
    const int err = flushed ? errno : flush_err;
    _wunlink(temp.c_str());
    return Failure{ErrnoText(err)};
  }

  const std::wstring destination = LongPath(target);
  DWORD err = ERROR_SUCCESS;
  for (int attempt = 0; attempt < kRenameAttempts; ++attempt) {
    if (attempt > 0) Sleep(kRenamePauseMs);
    if (MoveFileExW(temp.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return {};
    err = GetLastError();
    if (!HeldByAnotherProgram(err)) break;
  }
  _wunlink(temp.c_str());
  return Failure{WindowsErrorText(err)};
}

#else

// The new file takes the old one's owner, group and permissions, so replacing a file does not
// change who may use it. Set-id bits are not carried over to contents nobody gave them.
void KeepOwnerAndMode(int fd, const struct stat& old) {
  mode_t mode = old.st_mode & 07777 & ~(S_ISUID | S_ISGID);
  // Only root can give the file away; anyone can keep a group they belong to.
  if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
    // In another group, the old group's rights would go to the wrong people: give it the others' rights.
    mode = (mode & ~S_IRWXG) | ((mode & S_IRWXO) << 3);
  }
  ::fchmod(fd, mode);
}

Status WriteAndReplace(const fs::path& target, std::span<const std::uint8_t> bytes,
                                           std::mt19937_64& random) {
  // Root passes access(); everybody else is told here, before anything is written.
  struct stat old {};
  const bool existed = ::stat(target.c_str(), &old) == 0;
  if (existed && ::access(target.c_str(), W_OK) != 0) return Failure{ErrnoText(errno)};

  fs::path temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = TemporarySibling(target, random);
    // 0666 lets the umask decide, as for any new file.
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return Failure{ErrnoText(errno)};
  }
  if (fd < 0) return Failure{"нет свободного имени для временного файла"};

  const auto fail = [&](int err) {
    ::close(fd);
    ::unlink(temp.c_str());
    return Status(Failure{ErrnoText(err)});
  };
  if (existed) KeepOwnerAndMode(fd, old);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail(n < 0 ? errno : ENOSPC);
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return Failure{ErrnoText(err)};
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return Failure{ErrnoText(err)};
  }
  // Make the rename itself durable; a failure here leaves a complete file either way.
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

#endif

}  // namespace

Status WriteFileAtomically(const fs::path& target, std::span<const std::uint8_t> bytes) {
  // Writing through a link replaces the file it names, not the link.
  const fs::path path = WriteTargetOf(target);
  // What the platform would let root (or an administrator) ignore is refused here.
  if (Status writable = CheckWritableTarget(path); !writable) return writable;
  std::mt19937_64 random(std::random_device{}());
  return WriteAndReplace(path, bytes, random);
}

}  // namespace kd
