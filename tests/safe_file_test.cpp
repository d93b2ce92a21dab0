#include "io/safe_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kd {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::ptrdiff_t EntryCount(const fs::path& folder) {
  return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

struct NameCase {
  const char* name;
  std::u8string file_name;
  friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }
};

class LongNameTest : public ::testing::TestWithParam<NameCase> {};

// The temporary file must not need more room in its name than the target has.
TEST_P(LongNameTest, LongestNamesAreWrittenWithNothingLeftBeside) {
  TempDir dir;
  const fs::path path = dir.path() / fs::path(GetParam().file_name);
  ASSERT_TRUE(WriteFileAtomically(path, "first").Ok());
  const Status replaced = WriteFileAtomically(path, "second");
  ASSERT_TRUE(replaced.Ok()) << replaced.Reason();
  EXPECT_EQ(ReadText(path), "second");
  EXPECT_EQ(EntryCount(dir.path()), 1);
}

std::u8string Repeat(std::u8string_view part, std::size_t times) {
  std::u8string text;
  for (std::size_t i = 0; i < times; ++i) text += part;
  return text;
}

// 255 bytes is the longest name Linux takes; Windows counts UTF-16 units, so 127 Cyrillic letters.
INSTANTIATE_TEST_SUITE_P(Names, LongNameTest,
                         ::testing::Values(NameCase{"ascii255", Repeat(u8"a", 251) + u8".512"},
                                           NameCase{"cyrillic254", Repeat(u8"ж", 125) + u8".512"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Another program that opens the file now and then, as a viewer does, can read it while it is
// being replaced, and finds either file whole: never a mix of the two, never a short one.
TEST(SafeFileTest, ReadersSeeTheOldOrTheNewFileWhole) {
  TempDir dir;
  const fs::path path = dir / "report.xls";
  const std::string a(1 << 20, 'a');
  const std::string b(1 << 20, 'b');
  WriteText(path, a);

  std::atomic<bool> done{false};
  int reads = 0;
  std::string fault;
  std::thread reader([&] {
    while (!done && fault.empty()) {
      std::ifstream in(path, std::ios::binary);
      if (in) {
        std::string seen(a.size() + 1, '\0');
        seen.resize(static_cast<std::size_t>(in.read(seen.data(), std::ssize(seen)).gcount()));
        if (seen != a && seen != b) fault = "read " + std::to_string(seen.size()) + " bytes of neither file";
        ++reads;
#ifdef _WIN32
      } else if (GetLastError() == ERROR_SHARING_VIOLATION) {
        // Windows lets nobody open a file while a handle that may delete it is open, and the
        // rename holds one on the new file for that instant; a Windows reader tries again.
#endif
      } else {
        fault = "could not open the file";
      }
      in.close();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  for (int i = 0; i < 20; ++i) {
    const Status written = WriteFileAtomically(path, i % 2 == 0 ? b : a);
    EXPECT_TRUE(written.Ok()) << "write " << i << ": " << written.Reason();
  }
  done = true;
  reader.join();
  EXPECT_EQ(fault, "");
  EXPECT_GT(reads, 0);
  EXPECT_EQ(ReadText(path), a);
  EXPECT_EQ(EntryCount(dir.path()), 1);
}

// A reader that has the file open keeps reading the old bytes. Windows will not replace a file
// while a handle to it is open: the writer says why and leaves the old file in place.
TEST(SafeFileTest, FileHeldOpenByAReader) {
  TempDir dir;
  const fs::path path = dir / "a.512";
  WriteText(path, "old");
  std::ifstream held(path, std::ios::binary);
  const Status written = WriteFileAtomically(path, "new");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(held), std::istreambuf_iterator<char>()), "old");
#ifdef _WIN32
  ASSERT_FALSE(written.Ok());
  EXPECT_EQ(written.Reason(), "файл открыт в другой программе");
  EXPECT_EQ(ReadText(path), "old");
  held.close();
  EXPECT_TRUE(WriteFileAtomically(path, "new").Ok());
#else
  EXPECT_TRUE(written.Ok()) << written.Reason();
#endif
  EXPECT_EQ(ReadText(path), "new");
  EXPECT_EQ(EntryCount(dir.path()), 1);
}

#ifdef _WIN32

// Windows ignores the read-only attribute of a folder (Explorer sets it on Documents to mark a
// customised folder), so it must not stop a save there.
TEST(SafeFileTest, FolderWithReadOnlyAttributeTakesTheFile) {
  TempDir dir;
  const fs::path folder = dir / "Documents";
  fs::create_directory(folder);
  fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const Status written = WriteFileAtomically(folder / "a.512", "new");
  EXPECT_TRUE(written.Ok()) << written.Reason();
  EXPECT_EQ(ReadText(folder / "a.512"), "new");
}

#else

struct Owner {
  uid_t uid;
  gid_t gid;
  mode_t mode;
};

Owner OwnerOf(const fs::path& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return {st.st_uid, st.st_gid, st.st_mode & 07777};
}

// Replaces `path` from a child process running as user and group 1234, also in `extra_group`.
void ReplaceAsUser1234(const fs::path& path, gid_t extra_group) {
  const pid_t child = ::fork();
  if (child == 0) {
    const bool dropped = ::setgroups(1, &extra_group) == 0 && ::setgid(1234) == 0 && ::setuid(1234) == 0;
    ::_exit(dropped && WriteFileAtomically(path, "new").Ok() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the replace of " << path << " failed";
}

// Root replacing somebody's file leaves it theirs; the set-id bits are not carried over to
// contents that were never given them.
TEST(SafeFileTest, ReplacingAsRootKeepsOwnerAndDropsSetIdBits) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a file another owner";
  TempDir dir;
  const fs::path path = dir / "a.512";
  WriteText(path, "old");
  ASSERT_EQ(::chown(path.c_str(), 1234, 1234), 0);
  ASSERT_EQ(::chmod(path.c_str(), 06755), 0);
  ASSERT_TRUE(WriteFileAtomically(path, "new").Ok());
  const Owner got = OwnerOf(path);
  EXPECT_EQ(got.uid, 1234u);
  EXPECT_EQ(got.gid, 1234u);
  EXPECT_EQ(got.mode, 0755u);
  EXPECT_EQ(ReadText(path), "new");
}

// A member of a file's group who replaces it keeps it in that group; where the group cannot be
// kept, the group gets no more than everybody else had.
TEST(SafeFileTest, ReplacingAsAnotherUserKeepsTheGroupOrNarrowsIt) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  TempDir dir;
  const fs::path folder = dir / "shared";
  fs::create_directory(folder);
  fs::permissions(folder, fs::perms::all);
  const struct {
    const char* name;
    mode_t mode;        // of root's file in group 5678
    gid_t extra_group;  // of the user who replaces it
    Owner expected;
  } cases[] = {
      {"member", 0660, 5678, {1234, 5678, 0660}},
      {"stranger", 0676, 9999, {1234, 1234, 0666}},
  };
  for (const auto& c : cases) {
    const fs::path path = folder / c.name;
    WriteText(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 0, 5678), 0);
    ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
    ReplaceAsUser1234(path, c.extra_group);
    const Owner got = OwnerOf(path);
    EXPECT_EQ(got.uid, c.expected.uid) << c.name;
    EXPECT_EQ(got.gid, c.expected.gid) << c.name;
    EXPECT_EQ(got.mode, c.expected.mode) << c.name;
    EXPECT_EQ(ReadText(path), "new") << c.name;
  }
}

#endif

}  // namespace
}  // namespace kd
