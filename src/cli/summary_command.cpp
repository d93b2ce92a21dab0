// keydecoder-cli summary: the fleet table, one CSV row per key image.
#include <algorithm>
#include <optional>
#include <variant>

#include "cli.h"
#include "messages.h"
#include "options.h"
#include "output.h"
#include "export/csv_writer.h"
#include "image/image_file.h"
#include "io/safe_file.h"
#include "reports/fleet_table.h"
#include "reports/user_texts.h"

namespace kd::cli {

namespace {

int Run(const std::vector<std::string>& args) {
  auto split = ParseArguments(args, {"--output"});
  if (auto* problem = std::get_if<std::string>(&split)) return UsageError(*problem);
  const ParsedArguments& parsed = std::get<ParsedArguments>(split);
  const std::vector<std::string>& images = parsed.operands;
  std::optional<std::string> output;
  if (auto it = parsed.values.find("--output"); it != parsed.values.end()) output = it->second;
  if (images.empty()) return UsageError("не указан ни один образ ключа");
  if (output && output->empty()) return UsageError("пустое имя файла в --output");
  if (output && TargetsAKeyImage({*output}, images)) return kFileError;

  int status = kOk;
  TextTable table = MakeFleetTable();
  for (const std::string& path : images) {
    const Result<KeyImage> image = ReadImageFile(path);
    if (!image) {
      ComplainFile(path, texts::kCannotOpenFile, image.Reason());
      AddFleetFailure(table, path, std::string(texts::kCannotOpenFile) + " " + image.Reason());
      status = std::max<int>(status, kFileError);
    } else if (!AddFleetRow(table, path, *image)) {
      Complain(path, texts::kWrongFile);
      status = std::max<int>(status, kRefused);
    }
  }

  // A file name is the user's text: a spreadsheet must not take it for a formula.
  std::vector<CellPosition> names;
  for (int row = 1; row < table.RowCount(); ++row) names.push_back({fleet::kFileColumn, row});
  const std::string csv = CsvText(table, names);
  if (!output) {
    if (!WriteStdout(csv)) {
      Complain("стандартный вывод", "запись не удалась");
      return kFileError;
    }
    return status;
  }
  if (const Status written = WriteFileAtomically(*output, std::string(kUtf8ByteOrderMark) + csv); !written) {
    ComplainFile(*output, texts::kCannotCreateFile, written.Reason());
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
