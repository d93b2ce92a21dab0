// keydecoder-cli chart: the event-log chart as a picture, without a display.
#include <QApplication>
#include <QChart>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "cli.h"
#include "image/image_file.h"
#include "reports/summary.h"
#include "reports/user_texts.h"
#include "ui/chart_picture.h"
#include "ui/event_chart_view.h"

namespace kd::cli {

namespace {

namespace fs = std::filesystem;

constexpr QSize kDefaultSize{1200, 600};
constexpr int kLargestSide = 20000;

void Complain(const std::string& subject, const std::string& text) {
  std::fprintf(stderr, "keydecoder-cli: %s: %s\n", subject.c_str(), text.c_str());
}

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
  std::optional<std::string> image_path;
  std::optional<std::string> output;
  std::optional<QSize> size;
  bool options_end = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_end || arg.size() < 2 || arg[0] != '-') {
      if (image_path) return UsageError("chart рисует один образ ключа");
      image_path = arg;
      continue;
    }
    if (arg == "--") {
      options_end = true;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> value;
    if (const std::size_t equals = arg.find('='); equals != std::string::npos) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
    }
    if (name != "--output" && name != "--size") return UsageError("неизвестный параметр " + name);
    if ((name == "--output" && output) || (name == "--size" && size)) return UsageError("параметр " + name + " задан дважды");
    if (!value) {
      if (i + 1 == args.size()) return UsageError("параметру " + name + " нужно значение");
      value = args[++i];
    }
    if (name == "--output") {
      if (value->empty()) return UsageError("пустое имя файла в --output");
      output = *value;
    } else {
      size = ParseSize(*value);
      if (!size) return UsageError("--size: нужно ШИРИНАxВЫСОТА, от 100x100 до 20000x20000, например 1200x600");
    }
  }
  if (!image_path) return UsageError("не указан образ ключа");
  if (!output) return UsageError("не указан файл рисунка: --output FILE.svg|FILE.png");
  const QString output_name = QString::fromLocal8Bit(*output);
  const QString suffix = QFileInfo(output_name).suffix().toLower();
  if (suffix != QLatin1String("svg") && suffix != QLatin1String("png")) {
    return UsageError("рисунок сохраняется в .svg или .png");
  }
  std::error_code ec;
  if (fs::equivalent(*output, *image_path, ec) && !ec) return UsageError("--output указывает на образ ключа");

  const Result<KeyImage> image = ReadImageFile(*image_path);
  if (!image) {
    Complain(*image_path, std::string(texts::kCannotOpenFile) + " (" + image.Reason() + ")");
    return kFileError;
  }

  // Only this command needs a display; without one it draws on Qt's offscreen platform.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's own notes (no runtime folder, no window hints offscreen) are no message of ours.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
  });
  int argc = 1;
  char program[] = "keydecoder-cli";
  char* argv[] = {program, nullptr};
  QApplication app(argc, argv);

  EventChartView view;
  view.SetPoints(EventPoints(*image));
  view.chart()->setTitle(QFileInfo(QString::fromLocal8Bit(*image_path)).fileName());
  view.setAttribute(Qt::WA_DontShowOnScreen);
  view.resize(size.value_or(kDefaultSize));
  view.show();
  QApplication::processEvents();

  const PictureFormat format = PictureFormatOf(output_name);
  if (const Status written = SavePicture(&view, *output, format, QStringLiteral("Нагрузка по блокам")); !written) {
    Complain(*output, std::string(texts::kCannotCreateFile) + " (" + written.Reason() + ")");
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
