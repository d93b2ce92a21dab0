// keydecoder-cli read: reads a key through the key reader on any serial port and saves its image.
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <variant>
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
#include "messages.h"
#include "options.h"
#include "image/image_file.h"
#include "io/file_checks.h"
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
    Say(text.toStdString());
  }
  void ShowPortError(const QString& text, const QString& caption) override {
    Complain(caption.toStdString(), text.toStdString());
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
  void PageMissed() override { ++missed_; }
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
      // Redrawn, for a page that did not come is no longer counted.
      std::fprintf(stderr, "\r%s\n", Line().c_str());
    } else {
      std::fprintf(stderr, "%s\n", Line().c_str());
    }
  }
  std::string Line() const {
    constexpr int kWidth = 30;
    // Only the pages that came whole.
    const int whole = std::max(read_ - missed_, 0);
    const int filled = total_ > 0 ? whole * kWidth / total_ : 0;
    return "Считано страниц: " + std::to_string(whole) + " из " + std::to_string(total_) + " [" +
           std::string(static_cast<std::size_t>(filled), '#') + std::string(static_cast<std::size_t>(kWidth - filled), '.') +
           "]";
  }

  const bool terminal_ = isatty(fileno(stderr)) != 0;
  bool paging_ = false;
  int total_ = 0;
  int read_ = 0;
  int missed_ = 0;
};

}  // namespace

int RunRead(const std::vector<std::string>& args) {
  auto split = ParseArguments(args, {"--port", "--output"});
  if (auto* problem = std::get_if<std::string>(&split)) return UsageError("read: " + *problem);
  const ParsedArguments& given = std::get<ParsedArguments>(split);
  if (!given.operands.empty()) return UsageError("read: лишний аргумент " + given.operands.front());
  const auto value = [&given](const char* name) {
    const auto it = given.values.find(name);
    return it == given.values.end() ? std::string() : it->second;
  };
  const std::string port = value("--port");
  const std::string output = value("--output");
  if (port.empty() || output.empty()) return UsageError("read: нужны --port PORT и --output IMAGE.512");
  // A full key takes over a minute to read: an output that cannot be written is told at once.
  if (const Status writable = CheckWritableTarget(output); !writable) {
    ComplainFile(output, texts::kCannotCreateFile, writable.Reason());
    return kFileError;
  }

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
    ComplainFile(output, texts::kCannotCreateFile, written.Reason());
    return kFileError;
  }
  return kOk;
}

}  // namespace kd::cli
