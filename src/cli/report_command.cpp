#include "report_command.h"

#include <QLocale>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <exception>
#include <map>
#include <set>
#include <variant>

#include "cli.h"
#include "image/image_file.h"
#include "io/safe_file.h"
#include "export/formats.h"
#include "export/print_layout.h"
#include "io/report_fonts.h"
#include "image/key_session.h"
#include "reports/user_texts.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
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
  Arguments parsed;
  std::set<std::string> seen;
  bool options_end = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_end || arg.size() < 2 || arg[0] != '-') {
      parsed.images.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_end = true;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> value;
    if (const std::size_t equals = arg.find('='); arg.starts_with("--") && equals != std::string::npos) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
    }
    const bool known = name == "--format" || name == "--output" || name == "--output-dir" ||
                       std::find(report.options.begin(), report.options.end(), name) != report.options.end();
    if (!known) return "неизвестный параметр " + name;
    if (!seen.insert(name).second) return "параметр " + name + " задан дважды";
    if (!value) {
      if (i + 1 == args.size()) return "параметру " + name + " нужно значение";
      value = args[++i];
    }
    if (name == "--format") {
      parsed.format = *value;
    } else if (name == "--output") {
      parsed.output = *value;
    } else if (name == "--output-dir") {
      parsed.output_dir = *value;
    } else {
      parsed.report_options[name] = *value;
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

void Complain(const std::string& subject, const std::string& text) {
  std::fprintf(stderr, "keydecoder-cli: %s: %s\n", subject.c_str(), text.c_str());
}

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

  // The printed report's fonts and the day it is made, once for every image.
  std::optional<ReportFontBytes> fonts;
  const std::string print_date = LocalTimeText(std::chrono::system_clock::now());
  if (format.id == FormatId::kPdf) {
    Result<ReportFontBytes> read = ReadReportFonts();
    if (!read) {
      Complain("PDF", read.Reason());
      return kFileError;
    }
    fonts = *std::move(read);
  }

  if (parsed.output_dir) {
    // Two images of one name would overwrite each other's report.
    std::set<fs::path> targets;
    for (const std::string& image : parsed.images) {
      const fs::path target = OutputInDir(*parsed.output_dir, image, parsed.format);
      if (!targets.insert(target).second) return UsageError("два образа дают один файл " + target.string());
    }
  }

  int status = kOk;
  for (const std::string& image_path : parsed.images) {
    const Result<KeyImage> image = ReadImageFile(image_path);
    if (!image) {
      Complain(image_path, texts::kCannotOpenFile);
      status = std::max<int>(status, kFileError);
      continue;
    }
    KeySession session;
    session.Replace(*image, KeySource::File(image_path));
    const std::optional<TextTable> table = report.table(session.Image(), parsed.report_options);
    if (!table) {
      Complain(image_path, report.refused_message);
      status = std::max<int>(status, kRefused);
      continue;
    }
    std::string bytes;
    try {
      ReportHeading heading;
      PrintSetup print;
      if (fonts) {
        heading = report.heading(session, *table, parsed.report_options, print_date);
        print = {&heading, fonts->regular, fonts->bold, PaperForLocale(), {}};
      }
      bytes = format.write({*table, report.names.title, fonts ? &print : nullptr});
    } catch (const std::exception& e) {
      Complain(image_path, e.what());
      status = std::max<int>(status, kFileError);
      continue;
    }
    if (!parsed.output && !parsed.output_dir) {
      if (!WriteStdout(bytes)) {
        Complain("стандартный вывод", "запись не удалась");
        status = std::max<int>(status, kFileError);
      }
      continue;
    }
    const fs::path target =
        parsed.output ? fs::path(*parsed.output) : OutputInDir(*parsed.output_dir, image_path, parsed.format);
    if (const Status written = WriteFileAtomically(target, bytes); !written) {
      Complain(target.string(), std::string(texts::kCannotCreateFile) + " (" + written.Reason() + ")");
      status = std::max<int>(status, kFileError);
    }
  }
  return status;
}

}  // namespace kd::cli
