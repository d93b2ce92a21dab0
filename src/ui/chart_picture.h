#pragma once

#include <QSize>
#include <QString>
#include <filesystem>
#include <optional>
#include <string>

#include "io/result.h"
#include "reports/report_heading.h"

class QWidget;

namespace kd {

// The picture formats a chart is saved in, told by the file's extension.
enum class PictureFormat { kPng, kSvg };

// ".svg" or ".png" (any case): the format a file name asks for; none for any other name.
std::optional<PictureFormat> PictureFormatOf(const QString& file_name);

// The widget drawn on white at `scale` times its size, as RGB pixels.
ReportPicture RgbPicture(QWidget* widget, int scale);

// Draws the widget into the file, replacing an old one only once the new one is complete.
Status SavePicture(QWidget* widget, const std::filesystem::path& path, PictureFormat format, const QString& title);

}  // namespace kd
