#include "compound_file.h"

#include <cstdint>
#include <vector>

#include "text_encoding.h"

namespace kd {

namespace {

constexpr std::size_t kSectorSize = 512;
constexpr std::size_t kEntriesPerFatSector = kSectorSize / 4;
constexpr std::size_t kHeaderFatSlots = 109;
constexpr std::size_t kMiniStreamCutoff = 4096;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

void Put16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, std::uint32_t v) {
  Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
  Put16(out, static_cast<std::uint16_t>(v >> 16));
}

// One 128-byte directory entry.
std::string DirectoryEntry(std::string_view name, std::uint8_t type, std::uint32_t child, std::uint32_t start,
                           std::uint32_t size) {
  std::string entry;
  const std::u16string units = Utf8ToUtf16(name);
  for (std::size_t i = 0; i < 32; ++i) Put16(entry, i < units.size() ? units[i] : 0);
  Put16(entry, name.empty() ? 0 : static_cast<std::uint16_t>((units.size() + 1) * 2));
  entry += static_cast<char>(type);
  entry += static_cast<char>(type == 0 ? 0 : 1);  // black in the red-black tree
  Put32(entry, kNoStream);                         // left sibling
  Put32(entry, kNoStream);                         // right sibling
  Put32(entry, child);
  entry.append(16 + 4 + 8 + 8, '\0');  // class id, state bits, creation and modification times
  Put32(entry, start);
  Put32(entry, size);
  Put32(entry, 0);  // high half of the size
  return entry;
}

}  // namespace

std::optional<std::string> WriteCompoundFile(std::string_view stream_name, std::string_view stream) {
  std::string data(stream);
  if (data.size() < kMiniStreamCutoff) data.resize(kMiniStreamCutoff, '\0');
  const std::size_t stream_sectors = (data.size() + kSectorSize - 1) / kSectorSize;
  data.resize(stream_sectors * kSectorSize, '\0');
  const std::size_t directory_sectors = 1;

  // The allocation table covers itself too.
  std::size_t fat_sectors = 1;
  while ((stream_sectors + directory_sectors + fat_sectors) > fat_sectors * kEntriesPerFatSector) ++fat_sectors;
  if (fat_sectors > kHeaderFatSlots) return std::nullopt;

  const auto first_directory = static_cast<std::uint32_t>(stream_sectors);
  const auto first_fat = static_cast<std::uint32_t>(stream_sectors + directory_sectors);

  std::string out;
  out.reserve(kSectorSize * (1 + stream_sectors + directory_sectors + fat_sectors));
  // Header.
  out += "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
  out.append(16, '\0');  // class id
  Put16(out, 0x003E);    // minor version
  Put16(out, 0x0003);    // major version: 512-byte sectors
  Put16(out, 0xFFFE);    // little-endian
  Put16(out, 9);         // sector size 2^9
  Put16(out, 6);         // mini sector size 2^6
  out.append(6, '\0');
  Put32(out, 0);  // directory sectors: always 0 in version 3
  Put32(out, static_cast<std::uint32_t>(fat_sectors));
  Put32(out, first_directory);
  Put32(out, 0);  // transaction signature
  Put32(out, static_cast<std::uint32_t>(kMiniStreamCutoff));
  Put32(out, kEndOfChain);  // no mini allocation table
  Put32(out, 0);
  Put32(out, kEndOfChain);  // no extra index sectors
  Put32(out, 0);
  for (std::size_t i = 0; i < kHeaderFatSlots; ++i) {
    Put32(out, i < fat_sectors ? first_fat + static_cast<std::uint32_t>(i) : kFreeSector);
  }
  out.resize(kSectorSize, '\0');

  out += data;

  std::string directory;
  directory += DirectoryEntry("Root Entry", 5, 1, kEndOfChain, 0);
  directory += DirectoryEntry(stream_name, 2, kNoStream, 0, static_cast<std::uint32_t>(data.size()));
  directory += DirectoryEntry("", 0, kNoStream, 0, 0);
  directory += DirectoryEntry("", 0, kNoStream, 0, 0);
  out += directory;

  std::string fat;
  for (std::size_t i = 0; i < stream_sectors; ++i) {
    Put32(fat, i + 1 < stream_sectors ? static_cast<std::uint32_t>(i + 1) : kEndOfChain);
  }
  Put32(fat, kEndOfChain);  // the directory's one sector
  for (std::size_t i = 0; i < fat_sectors; ++i) Put32(fat, kFatSector);
  while (fat.size() < fat_sectors * kSectorSize) Put32(fat, kFreeSector);
  out += fat;
  return out;
}

}  // namespace kd
