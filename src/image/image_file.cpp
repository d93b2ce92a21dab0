#include "image_file.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "io/safe_file.h"

namespace kd {

namespace fs = std::filesystem;

namespace {

const char* const kNoSuchFile = "нет такого файла";
const char* const kIsFolder = "это папка";
const char* const kNotRegular = "это не обычный файл";
const char* const kNoReadPermission = "нет прав на чтение";
const char* const kReadError = "ошибка чтения";

}  // namespace

KeyImage ImageFromFileBytes(std::span<const std::uint8_t> bytes) {
  KeyImage image;
  image.fill(0xFF);
  const std::size_t count = std::min(bytes.size(), image.size());
  std::copy_n(bytes.begin(), count, image.begin());
  return image;
}

Result<KeyImage> ReadImageFile(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) return Failure{kNoSuchFile};
  if (fs::is_directory(status)) return Failure{kIsFolder};
  if (!fs::is_regular_file(status)) return Failure{kNotRegular};
  // Judged by the permission bits, so that an unreadable file is refused also where the process
  // could override them.
  constexpr auto kReadBits = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  if ((status.permissions() & kReadBits) == fs::perms::none) return Failure{kNoReadPermission};

  std::ifstream in(path, std::ios::binary);
  if (!in) return Failure{kNoReadPermission};
  // Only the first 65,536 bytes matter, however long the file is.
  std::vector<std::uint8_t> bytes(kKeyImageSize);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return Failure{kReadError};
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return ImageFromFileBytes(bytes);
}

Status WriteImageFile(const fs::path& path, const KeyImage& image) {
  return WriteFileAtomically(path, image);
}

}  // namespace kd
