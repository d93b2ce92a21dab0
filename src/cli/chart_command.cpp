// keydecoder-cli chart: the event-log chart as a picture, without a display.
#include <QApplication>
#include <QChart>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <variant>

#include "cli.h"
#include "messages.h"
#include "offscreen_app.h"
#include "options.h"
#include "output.h"
#include "image/image_file.h"
#include "reports/summary.h"
#include "reports/user_texts.h"
#include "ui/chart_picture.h"
#include "ui/event_chart_view.h"

namespace kd::cli {

namespace {

constexpr QSize kDefaultSize{1200, 600};
constexpr int kLargestSide = 20000;

std::optional<QSize> ParseSize(const std::string& text) {
  static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,5})x([0-9]{1,5})$"));
  const QRegularExpressionMatch match = pattern.match(QString::fromStdString(text));
  if (!match.hasMatch()) return std::nullopt;
  const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
  if (size.width() < 100 || size.height() < 100 || size.width() > kLargestSide || size.height() > kLargestSide) {
    return std::nullopt;
  }
  return size;
}

int Run(const std::vector<std::string>& args) {
  auto split = ParseArguments(args, {"--output", "--size"});
  if (auto* problem = std::get_if<std::string>(&split)) return UsageError(*problem);
  const ParsedArguments& parsed = std::get<ParsedArguments>(split);
  if (parsed.operands.size() > 1) return UsageError("chart рисует один образ ключа");
  const std::optional<std::string> image_path =
      parsed.operands.empty() ? std::nullopt : std::optional<std::string>(parsed.operands.front());
  std::optional<std::string> output;
  if (auto it = parsed.values.find("--output"); it != parsed.values.end()) {
    if (it->second.empty()) return UsageError("пустое имя файла в --output");
    output = it->second;
  }
  std::optional<QSize> size;
  if (auto it = parsed.values.find("--size"); it != parsed.values.end()) {
    size = ParseSize(it->second);
    if (!size) return UsageError("--size: нужно ШИРИНАxВЫСОТА, от 100x100 до 20000x20000, например 1200x600");
  }
  if (!image_path) return UsageError("не указан образ ключа");
  if (!output) return UsageError("не указан файл рисунка: --output FILE.svg|FILE.png");
  const std::optional<PictureFormat> format = PictureFormatOf(QString::fromLocal8Bit(*output));
  if (!format) return UsageError("рисунок сохраняется в .svg или .png");
  if (TargetsAKeyImage({*output}, {*image_path})) return kFileError;

  const Result<KeyImage> image = ReadImageFile(*image_path);
  if (!image) {
    ComplainFile(*image_path, texts::kCannotOpenFile, image.Reason());
    return kFileError;
  }

  const auto app = OffscreenApplication();

  EventChartView view;
  view.SetPoints(EventPoints(*image));
  view.chart()->setTitle(QFileInfo(QString::fromLocal8Bit(*image_path)).fileName());
  view.LayOutOffscreen(size.value_or(kDefaultSize));

  if (const Status written = SavePicture(&view, *output, *format, QStringLiteral("Нагрузка по блокам")); !written) {
    ComplainFile(*output, texts::kCannotCreateFile, written.Reason());
    return kFileError;
  }
  return kOk;
}

}  // namespace

const Command kChartCommand = {
    "chart",
    "keydecoder-cli chart IMAGE.512 --output FILE.svg|FILE.png [--size WxH]",
    Run,
};

}  // namespace kd::cli
