#include "chart_picture.h"

#include <QBuffer>
#include <QChartView>
#include <QLineSeries>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QWidget>

#include "io/safe_file.h"

namespace kd {

namespace {

// Qt Charts draws a solid line point to point, which an SVG gets as one element per pair of
// points; a line with a dash pattern goes out whole, as one path with a vertex per point. A dash
// without gaps looks the same but paints slowly on screen, so it is only worn for the drawing.
class WholeLinesForSvg {
 public:
  explicit WholeLinesForSvg(QWidget* widget) {
    QList<QChartView*> views = widget->findChildren<QChartView*>();
    if (auto* view = qobject_cast<QChartView*>(widget)) views.append(view);
    for (QChartView* view : views) {
      for (QAbstractSeries* series : view->chart()->series()) {
        auto* line = qobject_cast<QLineSeries*>(series);
        if (line == nullptr || line->pen().style() != Qt::SolidLine) continue;
        QPen whole = line->pen();
        whole.setDashPattern({1000, 0});
        pens_.append({line, line->pen()});
        line->setPen(whole);
      }
    }
  }
  ~WholeLinesForSvg() {
    for (const auto& [line, pen] : pens_) line->setPen(pen);
  }
  WholeLinesForSvg(const WholeLinesForSvg&) = delete;
  WholeLinesForSvg& operator=(const WholeLinesForSvg&) = delete;

 private:
  QList<QPair<QLineSeries*, QPen>> pens_;
};

// The widget as it would look on screen, drawn into a file's bytes: PNG at the widget's size,
// or SVG with its elements as vectors and `title` in the file's title.
std::string PictureBytes(QWidget* widget, PictureFormat format, const QString& title) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  const QSize size = widget->size();
  if (format == PictureFormat::kSvg) {
    const WholeLinesForSvg whole_lines(widget);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    QPainter painter(&svg);
    widget->render(&painter);
  } else {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      widget->render(&painter);
    }
    image.save(&buffer, "PNG");
  }
  return bytes.toStdString();
}

}  // namespace

std::optional<PictureFormat> PictureFormatOf(const QString& file_name) {
  if (file_name.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) return PictureFormat::kSvg;
  if (file_name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) return PictureFormat::kPng;
  return std::nullopt;
}

ReportPicture RgbPicture(QWidget* widget, int scale) {
  QImage image(widget->size() * scale, QImage::Format_RGB888);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    widget->render(&painter);
  }
  ReportPicture picture{image.width(), image.height(), {}};
  const auto row = static_cast<std::size_t>(image.width()) * 3;
  picture.rgb.reserve(row * static_cast<std::size_t>(image.height()));
  // QImage pads its rows to four bytes.
  for (int y = 0; y < image.height(); ++y) picture.rgb.append(reinterpret_cast<const char*>(image.constScanLine(y)), row);
  return picture;
}

Status SavePicture(QWidget* widget, const std::filesystem::path& path, PictureFormat format, const QString& title) {
  const std::string bytes = PictureBytes(widget, format, title);
  if (bytes.empty()) return Failure{"рисунок не получился"};
  return WriteFileAtomically(path, bytes);
}

}  // namespace kd
