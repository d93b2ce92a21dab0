#include "file_bytes.h"

#include <fstream>

namespace kd {

namespace fs = std::filesystem;

namespace {

// A path in the reason's UTF-8, whatever the system's own code page.
std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

}  // namespace

Result<std::string> ReadFileBytes(const fs::path& path, std::size_t limit) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return Failure{"нет такого файла: " + Utf8(path)};
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec || size > limit) return Failure{"файл слишком велик: " + Utf8(path)};
  std::ifstream in(path, std::ios::binary);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
    return Failure{"ошибка чтения: " + Utf8(path)};
  }
  return bytes;
}

}  // namespace kd
