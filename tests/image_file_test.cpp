#include "image/image_file.h"

#include <gtest/gtest.h>

#include <numeric>

#include "io/safe_file.h"
#include "support/small_tmpfs.h"
#include "support/temp_dir.h"

namespace kd {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  return bytes;
}

struct LoadCase {
  const char* name;
  std::vector<std::uint8_t> file;
  friend void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.name; }
};

class LoadTest : public ::testing::TestWithParam<LoadCase> {};

// Whatever its length, a file gives its first 65,536 bytes untranslated, then 0xFF.
TEST_P(LoadTest, FillsFromFileThenPadsWithFF) {
  TempDir dir;
  const fs::path path = dir / "key.512";
  WriteBytes(path, GetParam().file);
  const Result<KeyImage> image = ReadImageFile(path);
  ASSERT_TRUE(image);
  const std::vector<std::uint8_t>& file = GetParam().file;
  for (std::size_t i = 0; i < kKeyImageSize; ++i) {
    const std::uint8_t expected = i < file.size() ? file[i] : 0xFF;
    ASSERT_EQ((*image)[i], expected) << "offset " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadTest,
    ::testing::Values(LoadCase{"empty", {}}, LoadCase{"bytes100", Pattern(100)},
                      LoadCase{"controlChars", {0x0D, 0x0A, 0x1A, 0x00, 0x0A, 0x0D, 0x1A, 0xFF, 0x0D}},
                      LoadCase{"exact", Pattern(kKeyImageSize)}, LoadCase{"longer70000", Pattern(70000)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadTest, RefusesWhatCannotBeOpened) {
  TempDir dir;
  fs::create_directory(dir / "folder.512");
  EXPECT_EQ(ReadImageFile(dir / "missing.512").Reason(), "нет такого файла");
  EXPECT_EQ(ReadImageFile(dir / "folder.512").Reason(), "это папка");

#ifdef _WIN32
  GTEST_SKIP() << "a Windows file has no read permission to take away";
#endif
  const fs::path unreadable = dir / "unreadable.512";
  WriteBytes(unreadable, Pattern(10));
  fs::permissions(unreadable, fs::perms::none);
  EXPECT_EQ(ReadImageFile(unreadable).Reason(), "нет прав на чтение");
}

TEST(SaveTest, RoundTripsEveryByte) {
  TempDir dir;
  const KeyImage image = ImageFromFileBytes(Pattern(kKeyImageSize));
  ASSERT_TRUE(WriteImageFile(dir / "a.512", image).Ok());
  EXPECT_EQ(fs::file_size(dir / "a.512"), kKeyImageSize);
  EXPECT_EQ(*ReadImageFile(dir / "a.512"), image);
  // Only the target is left behind: no temporary file.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(SaveTest, ReplacesAnExistingFileKeepingItsMode) {
#ifdef _WIN32
  GTEST_SKIP() << "a Windows file has no permission bits to keep";
#endif
  TempDir dir;
  const fs::path path = dir / "a.512";
  WriteBytes(path, Pattern(300));
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  KeyImage zeros{};
  ASSERT_TRUE(WriteImageFile(path, zeros).Ok());
  EXPECT_EQ(ReadBytes(path), std::vector<std::uint8_t>(kKeyImageSize, 0));
  EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(SaveTest, WritesThroughASymlinkToItsFile) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links need a privilege on Windows";
#endif
  TempDir dir;
  WriteBytes(dir / "real.512", Pattern(10));
  fs::create_symlink(dir / "real.512", dir / "link.512");
  ASSERT_TRUE(WriteImageFile(dir / "link.512", KeyImage{}).Ok());
  EXPECT_TRUE(fs::is_symlink(dir / "link.512"));
  EXPECT_EQ(fs::file_size(dir / "real.512"), kKeyImageSize);
}

// Each refusal leaves the old file byte for byte and no stray file next to it.
TEST(SaveTest, FailuresLeaveTheOldFileUntouched) {
  TempDir dir;
  const std::vector<std::uint8_t> old = Pattern(100);

  const fs::path read_only = dir / "read-only.512";
  WriteBytes(read_only, old);
  fs::permissions(read_only, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_FALSE(WriteImageFile(read_only, KeyImage{}).Ok());
  EXPECT_EQ(ReadBytes(read_only), old);

  fs::create_directory(dir / "folder.512");
  EXPECT_FALSE(WriteImageFile(dir / "folder.512", KeyImage{}).Ok());
  EXPECT_FALSE(WriteImageFile(dir / "no-such-folder" / "a.512", KeyImage{}).Ok());
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

TEST(SaveTest, FolderWithoutWritePermissionRefusesEvenRoot) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows ignores a folder's read-only attribute";
#endif
  TempDir dir;
  const std::vector<std::uint8_t> old = Pattern(100);
  const fs::path locked_folder = dir / "locked";
  fs::create_directory(locked_folder);
  WriteBytes(locked_folder / "a.512", old);
  fs::permissions(locked_folder, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(WriteImageFile(locked_folder / "a.512", KeyImage{}).Ok());
  EXPECT_FALSE(WriteImageFile(locked_folder / "new.512", KeyImage{}).Ok());
  EXPECT_EQ(ReadBytes(locked_folder / "a.512"), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(locked_folder), fs::directory_iterator()), 1);
}

TEST(SaveTest, FullDiskLeavesTheOldFileUntouched) {
#ifdef _WIN32
  GTEST_SKIP() << "the full disk is a Linux tmpfs";
#endif
  TempDir dir;
  test::SmallTmpfs disk(dir / "disk");
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
  const fs::path path = disk.path() / "a.512";
  const std::vector<std::uint8_t> old = Pattern(1000);
  WriteBytes(path, old);

  const Status written = WriteImageFile(path, ImageFromFileBytes(Pattern(kKeyImageSize)));
  ASSERT_FALSE(written.Ok());
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(disk.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace kd
