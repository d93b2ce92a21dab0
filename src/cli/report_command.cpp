#include "report_command.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <exception>
#include <future>
#include <map>
#include <set>
#include <variant>

#include "cli.h"
#include "messages.h"
#include "options.h"
#include "image/image_file.h"
#include "io/file_checks.h"
#include "io/safe_file.h"
#include "export/formats.h"
#include "image/key_session.h"
#include "reports/user_texts.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace kd::cli {

namespace {

namespace fs = std::filesystem;


struct Arguments {
  std::vector<std::string> images;
  std::string format = "csv";
  std::optional<std::string> output;
  std::optional<std::string> output_dir;
  ReportOptions report_options;
};

// The parsed arguments, or the usage message.
std::variant<Arguments, std::string> Parse(const Report& report, const std::vector<std::string>& args) {
  std::vector<std::string> names = {"--format", "--output", "--output-dir"};
  names.insert(names.end(), report.options.begin(), report.options.end());
  auto split = ParseArguments(args, names);
  if (auto* problem = std::get_if<std::string>(&split)) return *problem;
  ParsedArguments& given = std::get<ParsedArguments>(split);
  Arguments parsed;
  parsed.images = std::move(given.operands);
  for (auto& [name, value] : given.values) {
    if (name == "--format") {
      parsed.format = value;
    } else if (name == "--output") {
      parsed.output = value;
    } else if (name == "--output-dir") {
      parsed.output_dir = value;
    } else {
      parsed.report_options[name] = value;
    }
  }

  if (parsed.images.empty()) return "не указан ни один образ ключа";
  if (!FindFormat(parsed.format)) return "неизвестный формат " + parsed.format + " (есть " + FormatNames() + ")";
  if (parsed.output && parsed.output_dir) return "--output и --output-dir не задаются вместе";
  if (parsed.images.size() > 1 && !parsed.output_dir) return "несколько образов пишутся только в папку: --output-dir DIR";
  if (parsed.output && parsed.output->empty()) return "пустое имя файла в --output";
  if (parsed.output_dir && parsed.output_dir->empty()) return "пустое имя папки в --output-dir";
  if (report.check) {
    if (auto problem = report.check(parsed.report_options)) return *problem;
  }
  return parsed;
}

fs::path OutputInDir(const std::string& dir, const std::string& image, const std::string& format) {
  return fs::path(dir) / fs::path(image).stem().concat("." + format);
}

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool WriteStdout(const std::string& bytes) {
#ifdef _WIN32
  // The CSV has its own CRLF line ends; text mode would double the CR.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
}

}  // namespace

int RunReport(const Report& report, const std::vector<std::string>& args) {
  auto parsed_or_problem = Parse(report, args);
  if (auto* problem = std::get_if<std::string>(&parsed_or_problem)) return UsageError(*problem);
  const Arguments& parsed = std::get<Arguments>(parsed_or_problem);
  const ExportFormat& format = *FindFormat(parsed.format);
  const bool to_stdout = !parsed.output && !parsed.output_dir;
  if (to_stdout && !format.readable_on_terminal && isatty(fileno(stdout))) {
    return UsageError(std::string("формат ") + format.name +
                      " не выводится на терминал: задайте --output FILE или --output-dir DIR");
  }

  // Each image's output file; none for standard output.
  std::vector<fs::path> targets;
  if (parsed.output) targets.emplace_back(*parsed.output);
  if (parsed.output_dir) {
    // Two images of one name would overwrite each other's report.
    std::set<fs::path> seen;
    for (const std::string& image : parsed.images) {
      const fs::path target = OutputInDir(*parsed.output_dir, image, parsed.format);
      if (!seen.insert(target).second) return UsageError("два образа дают один файл " + target.string());
      targets.push_back(target);
    }
  }
  // A report written over an image would destroy what may be the only copy of a key. Each file is
  // looked at once: a batch names hundreds.
  std::map<FileIdentity, const std::string*> images;
  for (const std::string& image : parsed.images) {
    if (const std::optional<FileIdentity> id = IdentifyFile(image)) images.emplace(*id, &image);
  }
  for (const fs::path& target : targets) {
    const std::optional<FileIdentity> id = IdentifyFile(target);
    if (const auto image = id ? images.find(*id) : images.end(); image != images.end()) {
      Complain(target.string(),
               std::string(texts::kCannotCreateFile) + " (" + texts::kIsTheKeyImage + " " + *image->second + ")");
      return kFileError;
    }
  }

  int status = kOk;
  // The files of a few images are written (and waited for on the disk) while the next images are
  // decoded. Their outcomes are told in order, before anything about a later image.
  constexpr std::size_t kFilesInFlight = 4;
  std::deque<std::pair<fs::path, std::future<Status>>> writing;
  const auto finish_oldest = [&] {
    auto [target, outcome] = std::move(writing.front());
    writing.pop_front();
    if (const Status written = outcome.get(); !written) {
      Complain(target.string(), std::string(texts::kCannotCreateFile) + " (" + written.Reason() + ")");
      status = std::max<int>(status, kFileError);
    }
  };
  const auto finish_writing = [&] {
    while (!writing.empty()) finish_oldest();
  };
  const auto tell = [&](const std::string& subject, const std::string& text, Exit outcome) {
    finish_writing();
    Complain(subject, text);
    status = std::max<int>(status, outcome);
  };
  for (std::size_t i = 0; i < parsed.images.size(); ++i) {
    const std::string& image_path = parsed.images[i];
    const Result<KeyImage> image = ReadImageFile(image_path);
    if (!image) {
      tell(image_path, std::string(texts::kCannotOpenFile) + " (" + image.Reason() + ")", kFileError);
      continue;
    }
    KeySession session;
    session.Replace(*image, KeySource::File(image_path));
    const std::optional<TextTable> table = report.table(session.Image(), parsed.report_options);
    if (!table) {
      tell(image_path, report.refused_message, kRefused);
      continue;
    }
    std::string bytes;
    try {
      bytes = format.write({*table, report.names.title, report.user_typed});
    } catch (const std::exception& e) {
      tell(image_path, e.what(), kFileError);
      continue;
    }
    if (to_stdout) {
      if (!WriteStdout(bytes)) tell("стандартный вывод", "запись не удалась", kFileError);
      continue;
    }
    // Spreadsheets take a CSV file without the mark for the system's one-byte code page; a pipe
    // gets none, so the next program reads plain UTF-8.
    if (format.id == FormatId::kCsv) bytes.insert(0, kUtf8ByteOrderMark);
    if (writing.size() == kFilesInFlight) finish_oldest();
    const fs::path& target = targets[parsed.output ? 0 : i];
    writing.emplace_back(target, std::async(std::launch::async, [target, bytes = std::move(bytes)] {
                           return WriteFileAtomically(target, bytes);
                         }));
  }
  finish_writing();
  return status;
}

}  // namespace kd::cli
