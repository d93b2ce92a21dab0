#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "key_image.h"

namespace kd {

// Where the image in a session came from.
struct KeySource {
  enum class Kind {
    kNone,  // nothing was loaded or read yet: the image is all zeros
    kFile,  // opened from a ".512" file
    kPort,  // read through the key reader
  };
  Kind kind = Kind::kNone;
  // The file's path, or the port's system name ("COM4", "/dev/ttyUSB0").
  std::string path;
  // When a read through the port started.
  std::chrono::system_clock::time_point read_at{};

  static KeySource File(std::string path) { return {Kind::kFile, std::move(path), {}}; }
  static KeySource Port(std::string name, std::chrono::system_clock::time_point at) {
    return {Kind::kPort, std::move(name), at};
  }
};

// The key the program works on: its image and where it came from. The file loader and the reader
// link write it; the windows and the command line read it. Whoever wants to know of a new image
// subscribes; the subscription ends when its handle goes.
class KeySession {
 public:
  using Listener = std::function<void()>;
  // Ends its subscription when destroyed.
  using Subscription = std::shared_ptr<void>;

  KeySession() = default;
  KeySession(const KeySession&) = delete;
  KeySession& operator=(const KeySession&) = delete;

  const KeyImage& Image() const { return image_; }
  const KeySource& Source() const { return source_; }

  // Takes a new image and tells every subscriber.
  void Replace(const KeyImage& image, KeySource source);

  [[nodiscard]] Subscription Subscribe(Listener listener);

 private:
  struct Entry {
    std::size_t id;
    Listener listener;
  };

  KeyImage image_{};
  KeySource source_;
  std::shared_ptr<std::vector<Entry>> listeners_ = std::make_shared<std::vector<Entry>>();
  std::size_t next_id_ = 0;
};

// Whether `path` is the file the session's image was opened from (the same file, not only the
// same name): a report or a save written there would destroy the key's only copy.
bool IsSourceFile(const KeySession& session, const std::filesystem::path& path);

}  // namespace kd
