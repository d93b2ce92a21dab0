// keydecoder-cli summary: the fleet table, one CSV row per key image.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "cli.h"
#include "export/csv_writer.h"
#include "image/image_file.h"
#include "io/safe_file.h"
#include "reports/fleet_table.h"
#include "reports/user_texts.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace kd::cli {

namespace {

namespace fs = std::filesystem;

// Lets Excel and LibreOffice take a CSV file as UTF-8.
constexpr const char* kUtf8Bom = "\xEF\xBB\xBF";

void Complain(const std::string& subject, const std::string& text) {
  std::fprintf(stderr, "keydecoder-cli: %s: %s\n", subject.c_str(), text.c_str());
}

// A file name that a spreadsheet would take for a formula gets an apostrophe before it.
std::string SafeCell(const std::string& text) {
  if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) return "'" + text;
  return text;
}

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec) && !ec;
}

int Run(const std::vector<std::string>& args) {
  std::vector<std::string> images;
  std::optional<std::string> output;
  bool options_end = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_end || arg.size() < 2 || arg[0] != '-') {
      images.push_back(arg);
    } else if (arg == "--") {
      options_end = true;
    } else if (arg == "--output" || arg.starts_with("--output=")) {
      if (output) return UsageError("параметр --output задан дважды");
      if (arg == "--output") {
        if (i + 1 == args.size()) return UsageError("параметру --output нужно значение");
        output = args[++i];
      } else {
        output = arg.substr(std::string("--output=").size());
      }
      if (output->empty()) return UsageError("пустое имя файла в --output");
    } else {
      return UsageError("неизвестный параметр " + arg);
    }
  }
  if (images.empty()) return UsageError("не указан ни один образ ключа");
  if (output) {
    for (const std::string& image : images) {
      if (SameFile(*output, image)) return UsageError("--output указывает на образ ключа " + image);
    }
  }

  int status = kOk;
  TextTable table = MakeFleetTable();
  for (const std::string& path : images) {
    const Result<KeyImage> image = ReadImageFile(path);
    if (!image) {
      Complain(path, std::string(texts::kCannotOpenFile) + " (" + image.Reason() + ")");
      AddFleetFailure(table, SafeCell(path), std::string(texts::kCannotOpenFile) + " " + image.Reason());
      status = std::max<int>(status, kFileError);
    } else if (!AddFleetRow(table, SafeCell(path), *image)) {
      Complain(path, texts::kWrongFile);
      status = std::max<int>(status, kRefused);
    }
  }

  const std::string csv = CsvText(table);
  if (!output) {
#ifdef _WIN32
    // The CSV has its own CRLF line ends; text mode would double the CR.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    if (std::fwrite(csv.data(), 1, csv.size(), stdout) != csv.size() || std::fflush(stdout) != 0) {
      Complain("стандартный вывод", "запись не удалась");
      return kFileError;
    }
    return status;
  }
  if (const Status written = WriteFileAtomically(*output, kUtf8Bom + csv); !written) {
    Complain(*output, std::string(texts::kCannotCreateFile) + " (" + written.Reason() + ")");
    return kFileError;
  }
  return status;
}

}  // namespace

const Command kSummaryCommand = {
    "summary",
    "keydecoder-cli summary IMAGE.512... [--output FILE]",
    Run,
};

}  // namespace kd::cli
