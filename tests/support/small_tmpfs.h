#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace kd::test {

// A 64 KiB tmpfs to fill up, where the machine lets us mount one (root on Linux).
class SmallTmpfs {
 public:
  explicit SmallTmpfs(const std::filesystem::path& where) : path_(where) {
    std::filesystem::create_directories(path_);
    const std::string command = "mount -t tmpfs -o size=64k tmpfs '" + path_.string() + "' 2>/dev/null";
    mounted_ = std::system(command.c_str()) == 0;
  }
  ~SmallTmpfs() {
    if (mounted_) std::system(("umount '" + path_.string() + "'").c_str());
  }
  SmallTmpfs(const SmallTmpfs&) = delete;
  SmallTmpfs& operator=(const SmallTmpfs&) = delete;

  bool mounted() const { return mounted_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  bool mounted_ = false;
};

}  // namespace kd::test
