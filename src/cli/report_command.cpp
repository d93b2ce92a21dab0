#include "report_command.h"

#include <QLocale>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <exception>
#include <future>
#include <set>
#include <variant>

#include "cli.h"
#include "messages.h"
#include "options.h"
#include "output.h"
#include "image/image_file.h"
#include "io/safe_file.h"
#include "export/formats.h"
#include "export/print_layout.h"
#include "io/report_fonts.h"
#include "image/key_session.h"
#include "reports/user_texts.h"

#ifdef _WIN32
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

// A4, but Letter where the user's locale measures in inches, as a printer set up there would.
PaperSize PaperForLocale() {
  return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? kLetterPaper : kA4Paper;
}

fs::path OutputInDir(const std::string& dir, const std::string& image, const std::string& format) {
  return fs::path(dir) / fs::path(image).stem().concat("." + format);
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

  // The printed report's fonts and the day it is made, once for every image.
  std::optional<ReportFontBytes> fonts;
  const std::string print_date = LocalTimeText(std::chrono::system_clock::now());
  const PaperSize paper = PaperForLocale();
  if (format.id == FormatId::kPdf) {
    Result<ReportFontBytes> read = ReadReportFonts();
    if (!read) {
      Complain("PDF", read.Reason());
      return kFileError;
    }
    fonts = *std::move(read);
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
  if (TargetsAKeyImage(targets, parsed.images)) return kFileError;

  int status = kOk;
  // The files of a few images are written (and waited for on the disk) while the next images are
  // decoded. Their outcomes are told in order, before anything about a later image.
  constexpr std::size_t kFilesInFlight = 4;
  std::deque<std::pair<fs::path, std::future<Status>>> writing;
  const auto finish_oldest = [&] {
    auto [target, outcome] = std::move(writing.front());
    writing.pop_front();
    if (const Status written = outcome.get(); !written) {
      ComplainFile(target.string(), texts::kCannotCreateFile, written.Reason());
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
      tell(image_path, FileProblem(texts::kCannotOpenFile, image.Reason()), kFileError);
      continue;
    }
    const std::optional<TextTable> table = report.table(*image, parsed.report_options);
    if (!table) {
      tell(image_path, report.refused_message, kRefused);
      continue;
    }
    std::string bytes;
    try {
      ReportHeading heading;
      PrintSetup print;
      if (fonts) {
        // The printed heading says where the image came from, as the window's session knows it.
        KeySession session;
        session.Replace(*image, KeySource::File(image_path));
        heading = report.heading(session, *table, parsed.report_options, print_date);
        print = {&heading, fonts->regular, fonts->bold, paper, {}};
      }
      bytes = format.write({*table, report.names.title, report.user_typed, fonts ? &print : nullptr});
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
