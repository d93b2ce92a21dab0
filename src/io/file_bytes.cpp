#include "file_bytes.h"

#include <fstream>

namespace kd {

namespace fs = std::filesystem;

Result<std::string> ReadFileBytes(const fs::path& path, std::size_t limit) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return Failure{"нет такого файла: " + path.string()};
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec || size > limit) return Failure{"файл слишком велик: " + path.string()};
  std::ifstream in(path, std::ios::binary);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
    return Failure{"ошибка чтения: " + path.string()};
  }
  return bytes;
}

}  // namespace kd
