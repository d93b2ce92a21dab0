// keydecoder-cli read: reads a key through the key reader on any serial port and saves its image.
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "cli.h"
#include "cli_read.h"
#include "image/image_file.h"
#include "reader/reader_link.h"
#include "reports/user_texts.h"

namespace kd::cli {

namespace {

// The link's messages and progress on standard error: a progress line redrawn in place on a
// terminal, written once at the end otherwise.
class StderrHost final : public ReaderLinkHost {
 public:
  void ShowMessage(const QString& text) override {
    EndProgress();
    std::fprintf(stderr, "keydecoder-cli: %s\n", text.toUtf8().constData());
  }
  void ShowPortError(const QString& text, const QString& caption) override {
    std::fprintf(stderr, "keydecoder-cli: %s: %s\n", caption.toUtf8().constData(), text.toUtf8().constData());
  }
  void ShowStage(Stage stage) override {
    if (stage == Stage::kPaging) {
      paging_ = true;
      Draw();
    } else {
      EndProgress();
    }
  }
  // The gauge counts the further pages; the line shows all pages, page 0 included.
  void SetGaugeRange(int /*min*/, int max) override { total_ = max + 1; }
  void SetGaugeValue(int value) override {
    read_ = std::clamp(value, 0, total_);
    if (paging_) Draw();
  }
  void SetReadControlsEnabled(bool) override {}

 private:
  void Draw() {
    if (!terminal_) return;
    std::fprintf(stderr, "\r%s", Line().c_str());
    std::fflush(stderr);
  }
  void EndProgress() {
    if (!paging_) return;
    paging_ = false;
    if (terminal_) {
      std::fputc('\n', stderr);
    } else {
      std::fprintf(stderr, "%s\n", Line().c_str());
    }
  }
  std::string Line() const {
    constexpr int kWidth = 30;
    const int filled = total_ > 0 ? read_ * kWidth / total_ : 0;
    return "Считано страниц: " + std::to_string(read_) + " из " + std::to_string(total_) + " [" +
           std::string(static_cast<std::size_t>(filled), '#') + std::string(static_cast<std::size_t>(kWidth - filled), '.') +
           "]";
  }

  const bool terminal_ = isatty(fileno(stderr)) != 0;
  bool paging_ = false;
  int total_ = 0;
  int read_ = 0;
};

}  // namespace

int RunRead(const std::vector<std::string>& args) {
  std::string port;
  std::string output;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string* target = args[i] == "--port" ? &port : args[i] == "--output" ? &output : nullptr;
    if (target == nullptr) return UsageError("read: unexpected argument '" + args[i] + "'");
    if (i + 1 >= args.size() || args[i + 1].empty()) return UsageError("read: " + args[i] + " needs a value");
    *target = args[++i];
  }
  if (port.empty() || output.empty()) return UsageError("read: both --port and --output are needed");

  // The link waits on Qt's event loop.
  int argc = 1;
  char name[] = "keydecoder-cli";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);

  StderrHost host;
  ReaderLink link(host);
  KeySession session;
  if (!link.ReadFromReader(session, QString::fromStdString(port))) return kRefused;
  if (const Status written = WriteImageFile(std::filesystem::path(output), session.Image()); !written) {
    std::fprintf(stderr, "keydecoder-cli: %s %s: %s\n", texts::kCannotCreateFile, output.c_str(), written.Reason().c_str());
    return kFileError;
  }
  return kOk;
}

}  // namespace kd::cli
