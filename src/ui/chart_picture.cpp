#include "chart_picture.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QWidget>

#include "io/safe_file.h"

namespace kd {

PictureFormat PictureFormatOf(const QString& file_name) {
  return file_name.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive) ? PictureFormat::kSvg : PictureFormat::kPng;
}

std::string PictureBytes(QWidget* widget, PictureFormat format, const QString& title) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  const QSize size = widget->size();
  if (format == PictureFormat::kSvg) {
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

Status SavePicture(QWidget* widget, const std::filesystem::path& path, PictureFormat format, const QString& title) {
  const std::string bytes = PictureBytes(widget, format, title);
  if (bytes.empty()) return Failure{"рисунок не получился"};
  return WriteFileAtomically(path, bytes);
}

}  // namespace kd
