// keyreader-sim: serves a ".512" key image over the key reader's protocol on a pseudo-terminal, so
// that keydecoder can read a key without the hardware. POSIX only.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/image_file.h"
#include "image/key_image.h"
#include "reader/protocol.h"

namespace {

using kd::KeyImage;
namespace reader = kd::reader;

constexpr char kUsage[] = R"(Usage: keyreader-sim [OPTION]... IMAGE.512

Acts as the key reader ("УСИ") with the key IMAGE.512 inserted: opens a pseudo-terminal, prints
its path on standard output, and answers keydecoder's requests on it until stopped with Ctrl+C:
  00               the probe: answered with 01 (a key is inserted)
  01 00 00 80 00   page 0: the image's first 128 bytes
  02               the next page: 128 bytes each, up to page 511; nothing after that
Point keydecoder-cli at the path (keydecoder-cli read --port PATH ...), or the window's "COM n"
at it (see the README). Pages are numbered 0 for the first-page request, then 1, 2, ... for the
next-page requests of one read; each first-page request starts the count again.

Line speed:
  --fast              send as fast as possible (default: the real line, 9600 baud, 10 bits a
                      byte, about 1.04 ms a byte; requests take their line time too)
  --turnaround MS     wait MS milliseconds before each reply (default 0)

Faults, to show what the program does with a bad reader or key:
  --no-key            answer the probe with 00: no key inserted
  --silent            never answer anything
  --probe-extra N     send N more bytes after the probe's 01
  --wrong-signature   send page 0 with its second byte altered (0x55 becomes 0x54)
  --split-page K      send page K in two pieces, 100 and 28 bytes, 30 ms apart
  --long-page K       send page K with one byte too many (129 bytes); with --fast they arrive
                      together and the page fails; at line speed the extra byte slips into
                      the next page, and keydecoder finds it left over after the last page:
                      either way the read fails
  --stop-at K         answer no page request from page K on (the probe still gets its 01)

Other:
  --link PATH         also make PATH a symbolic link to the pseudo-terminal, removed on exit
                      (an old symbolic link there is replaced; any other file is refused)
  --verbose           log each request and reply on standard error
  --help              show this text
Exit status: 0 stopped by a signal, 1 the image or the pseudo-terminal could not be opened,
2 wrong usage.
)";

struct Options {
  std::string image_path;
  bool fast = false;
  long turnaround_ms = 0;
  bool no_key = false;
  bool silent = false;
  long probe_extra = 0;
  bool wrong_signature = false;
  long split_page = -1;
  long long_page = -1;
  long stop_at = -1;
  std::string link;
  bool verbose = false;
};

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

int UsageError(const std::string& message) {
  std::fprintf(stderr, "keyreader-sim: %s\nTry 'keyreader-sim --help'.\n", message.c_str());
  return 2;
}

std::optional<long> ParseCount(std::string_view text) {
  long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

// Parses the command line; returns an exit status when the program should stop at once.
std::optional<int> ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const auto count = [&](long& target) -> bool {
      if (i + 1 >= argc) return false;
      const std::optional<long> value = ParseCount(argv[++i]);
      if (!value) return false;
      target = *value;
      return true;
    };
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--fast") {
      options.fast = true;
    } else if (arg == "--no-key") {
      options.no_key = true;
    } else if (arg == "--silent") {
      options.silent = true;
    } else if (arg == "--wrong-signature") {
      options.wrong_signature = true;
    } else if (arg == "--verbose") {
      options.verbose = true;
    } else if (arg == "--turnaround" || arg == "--probe-extra" || arg == "--split-page" ||
               arg == "--long-page" || arg == "--stop-at") {
      long& target = arg == "--turnaround"    ? options.turnaround_ms
                     : arg == "--probe-extra" ? options.probe_extra
                     : arg == "--split-page"  ? options.split_page
                     : arg == "--long-page"   ? options.long_page
                                              : options.stop_at;
      if (!count(target)) return UsageError(std::string(arg) + " needs a whole number of 0 or more");
    } else if (arg == "--link") {
      if (i + 1 >= argc) return UsageError("--link needs a path");
      options.link = argv[++i];
    } else if (arg.starts_with("-") && arg != "-") {
      return UsageError("unknown option " + std::string(arg));
    } else if (options.image_path.empty()) {
      options.image_path = arg;
    } else {
      return UsageError("more than one image given");
    }
  }
  if (options.image_path.empty()) return UsageError("no image given");
  return std::nullopt;
}

// Times on the monotonic clock, in nanoseconds.
using Nanos = std::int64_t;

Nanos Now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return Nanos{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

void SleepUntil(Nanos when) {
  const timespec t{static_cast<time_t>(when / 1'000'000'000), static_cast<long>(when % 1'000'000'000)};
  while (!g_stop && clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
  }
}

// The reader's side of the line. At line speed each byte, sent or received, occupies the line for
// its 10 bits; `clock_` is when the line is next free.
class Reader {
 public:
  Reader(const Options& options, const KeyImage& image, int fd)
      : options_(options), image_(image), fd_(fd), byte_time_(options.fast ? 0 : 10'000'000'000 / reader::kBaudRate) {}

  // Takes bytes that have just arrived from the program.
  void Receive(const std::uint8_t* bytes, std::size_t count) {
    clock_ = std::max(clock_, Now());
    for (std::size_t i = 0; i < count && !g_stop; ++i) {
      clock_ += byte_time_;
      Take(bytes[i]);
    }
  }

 private:
  void Take(std::uint8_t byte) {
    if (!request_.empty()) {
      // Inside the first-page request.
      request_.push_back(byte);
      if (request_.size() < reader::kFirstPageRequest.size()) return;
      const bool valid = std::equal(request_.begin(), request_.end(), reader::kFirstPageRequest.begin());
      request_.clear();
      if (!valid) {
        Log("garbled first-page request: ignored");
        return;
      }
      page_ = 0;
      SendPage();
      return;
    }
    switch (byte) {
      case reader::kProbeRequest: {
        Log("probe");
        if (options_.silent) return;
        std::vector<std::uint8_t> reply{options_.no_key ? std::uint8_t{0x00} : reader::kKeyPresent};
        reply.insert(reply.end(), static_cast<std::size_t>(options_.probe_extra), 0xEE);
        Send(reply);
        return;
      }
      case reader::kFirstPageRequest[0]:
        request_.push_back(byte);
        return;
      case reader::kNextPageRequest:
        ++page_;
        SendPage();
        return;
      default:
        Log("unknown byte " + std::to_string(byte) + ": ignored");
    }
  }

  void SendPage() {
    const long page = page_;
    if (options_.silent || page > static_cast<long>(reader::kMaxExtraPages) ||
        (options_.stop_at >= 0 && page >= options_.stop_at)) {
      Log("page " + std::to_string(page) + ": not answered");
      return;
    }
    const std::size_t offset = static_cast<std::size_t>(page) * kd::kImagePageSize;
    std::vector<std::uint8_t> bytes(image_.begin() + static_cast<std::ptrdiff_t>(offset),
                                    image_.begin() + static_cast<std::ptrdiff_t>(offset + kd::kImagePageSize));
    if (page == 0 && options_.wrong_signature) bytes[1] ^= 0x01;
    if (page == options_.long_page) {
      const std::size_t next = offset + kd::kImagePageSize;
      bytes.push_back(next < image_.size() ? image_[next] : 0xFF);
    }
    Log("page " + std::to_string(page) + ": " + std::to_string(bytes.size()) + " bytes");
    if (page == options_.split_page) {
      Send({bytes.begin(), bytes.begin() + 100});
      clock_ += 30'000'000;
      Send({bytes.begin() + 100, bytes.end()});
    } else {
      Send(bytes);
    }
  }

  // Sends the bytes after the turnaround, each one when the line has carried it.
  void Send(const std::vector<std::uint8_t>& bytes) {
    Nanos start = clock_ + options_.turnaround_ms * 1'000'000;
    if (byte_time_ == 0) {
      SleepUntil(start);
      WriteAll(bytes.data(), bytes.size());
      clock_ = std::max(start, Now());
      return;
    }
    for (const std::uint8_t byte : bytes) {
      start += byte_time_;
      SleepUntil(start);
      WriteAll(&byte, 1);
    }
    clock_ = start;
  }

  void WriteAll(const std::uint8_t* data, std::size_t size) {
    while (size > 0 && !g_stop) {
      const ssize_t written = write(fd_, data, size);
      if (written < 0) {
        if (errno == EINTR) continue;
        Log(std::string("write failed: ") + std::strerror(errno));
        return;
      }
      data += written;
      size -= static_cast<std::size_t>(written);
    }
  }

  void Log(const std::string& text) {
    if (options_.verbose) std::fprintf(stderr, "keyreader-sim: %s\n", text.c_str());
  }

  const Options& options_;
  const KeyImage& image_;
  const int fd_;
  const Nanos byte_time_;
  Nanos clock_ = 0;
  long page_ = 0;
  std::vector<std::uint8_t> request_;
};

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const std::optional<int> status = ParseOptions(argc, argv, options)) return *status;

  const kd::Result<KeyImage> image = kd::ReadImageFile(options.image_path);
  if (!image) {
    std::fprintf(stderr, "keyreader-sim: cannot read the image %s\n", options.image_path.c_str());
    return 1;
  }

  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 || ptsname(master) == nullptr) {
    std::fprintf(stderr, "keyreader-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
    return 1;
  }
  const std::string path = ptsname(master);
  // Our own descriptor on the far end keeps the line up between the program's reads (without one,
  // the master reports a hang-up whenever the port is closed) and sets it raw: no echo, no
  // translation, also when the program restores the settings it found on closing the port.
  const int keep = open(path.c_str(), O_RDWR | O_NOCTTY);
  termios raw{};
  if (keep < 0 || tcgetattr(keep, &raw) != 0) {
    std::fprintf(stderr, "keyreader-sim: cannot open %s: %s\n", path.c_str(), std::strerror(errno));
    return 1;
  }
  cfmakeraw(&raw);
  cfsetispeed(&raw, B9600);
  cfsetospeed(&raw, B9600);
  tcsetattr(keep, TCSANOW, &raw);

  struct sigaction action{};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);

  // A link left behind by a simulator that was killed is replaced; anything else is kept.
  struct stat existing{};
  if (!options.link.empty() && lstat(options.link.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode)) {
    unlink(options.link.c_str());
  }
  if (!options.link.empty() && symlink(path.c_str(), options.link.c_str()) != 0) {
    std::fprintf(stderr, "keyreader-sim: cannot make the link %s: %s\n", options.link.c_str(), std::strerror(errno));
    return 1;
  }
  std::printf("%s\n", path.c_str());
  std::fflush(stdout);
  const std::string also = options.link.empty() ? "" : " (" + options.link + ")";
  std::fprintf(stderr, "keyreader-sim: key %s in the reader on %s%s, %s; Ctrl+C to stop\n",
               options.image_path.c_str(), path.c_str(), also.c_str(), options.fast ? "full speed" : "9600 baud");

  Reader reader(options, *image, master);
  std::uint8_t buffer[256];
  while (!g_stop) {
    pollfd wait{master, POLLIN, 0};
    if (poll(&wait, 1, -1) < 0) continue;  // a signal
    const ssize_t got = read(master, buffer, sizeof buffer);
    if (got > 0) {
      reader.Receive(buffer, static_cast<std::size_t>(got));
    } else if (got < 0 && errno != EINTR && errno != EAGAIN) {
      // Not expected while we hold the far end; do not spin on it.
      usleep(100'000);
    }
  }
  if (!options.link.empty()) unlink(options.link.c_str());
  return 0;
}
