#include "io/file_checks.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/temp_dir.h"

namespace kd {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteBytes;

// One file is one file whatever names it; two files with the same bytes are two.
TEST(SameFileTest, ComparesTheFileNotItsName) {
  TempDir dir;
  WriteBytes(dir / "key.512", {1, 2, 3});
  WriteBytes(dir / "copy.512", {1, 2, 3});
  fs::create_hard_link(dir / "key.512", dir / "hard.512");
  fs::create_directory(dir / "sub");
  std::vector<std::pair<fs::path, bool>> cases = {
      {dir / "key.512", true},   {dir / "sub" / ".." / "key.512", true}, {dir / "hard.512", true},
      {dir / "copy.512", false}, {dir / "missing.512", false},           {dir / "sub", false}};
#ifndef _WIN32
  // Windows lets only administrators make symbolic links.
  fs::create_symlink(dir / "key.512", dir / "link.512");
  cases.emplace_back(dir / "link.512", true);
#endif
  for (const auto& [other, same] : cases) {
    EXPECT_EQ(SameFile(dir / "key.512", other), same) << other;
    EXPECT_EQ(SameFile(other, dir / "key.512"), same) << other;
  }
  EXPECT_FALSE(SameFile(dir / "missing.512", dir / "missing.512"));
}

// Judged by the permission bits, as the safe writer judges, also for root.
TEST(CheckWritableTargetTest, SaysWhyATargetCannotBeWritten) {
  TempDir dir;
  WriteBytes(dir / "old.512", {1});
  WriteBytes(dir / "locked.512", {1});
  fs::permissions(dir / "locked.512", fs::perms::owner_read);
  std::vector<std::pair<fs::path, std::string>> cases = {{dir / "new.512", ""},
                                                         {dir / "old.512", ""},
                                                         {dir / "locked.512", "файл только для чтения"},
                                                         {dir / "missing" / "key.512", "папка не найдена"},
                                                         {dir / "old.512" / "key.512", "папка не найдена"},
                                                         {dir.path(), "это не файл"}};
#ifndef _WIN32
  // Windows has no read-only folders, and symbolic links only for administrators.
  fs::create_directory(dir / "readonly");
  WriteBytes(dir / "readonly" / "key.512", {1});
  fs::create_symlink(dir / "readonly" / "key.512", dir / "into-readonly.512");
  fs::permissions(dir / "readonly", fs::perms::owner_read | fs::perms::owner_exec);
  cases.emplace_back(dir / "readonly" / "new.512", "папка только для чтения");
  cases.emplace_back(dir / "into-readonly.512", "папка только для чтения");
#endif
  for (const auto& [target, reason] : cases) {
    const Status status = CheckWritableTarget(target);
    EXPECT_EQ(status ? "" : status.Reason(), reason) << target;
  }
}

}  // namespace
}  // namespace kd
