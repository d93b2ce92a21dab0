#include "report_printing.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QImage>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QProgressDialog>
#include <QRawFont>
#include <cmath>
#include <map>

#include "qt_path.h"
#include "reports/report_heading.h"

namespace kd {

const Result<ReportFontBytes>& ReportFonts() {
  static const Result<ReportFontBytes> fonts = [] {
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("fonts"));
    return ReadReportFonts({ToPath(beside)});
  }();
  return fonts;
}

PaperSize LocalePaper() {
  return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? kLetterPaper : kA4Paper;
}

std::string PrintDateNow() { return LocalTimeText(std::chrono::system_clock::now()); }

WriteProgress::WriteProgress(QWidget* parent, const QString& text)
    : dialog_(std::make_unique<QProgressDialog>(text, QString(), 0, 0, parent)) {
  dialog_->setWindowTitle(text);
  dialog_->setWindowModality(Qt::WindowModal);
  dialog_->setMinimumDuration(500);
  dialog_->setCancelButton(nullptr);
  dialog_->setAutoClose(false);
  dialog_->setAutoReset(false);
  dialog_->setValue(0);
}

WriteProgress::~WriteProgress() = default;

std::function<void(int, int)> WriteProgress::Callback() {
  return [dialog = dialog_.get()](int done, int total) {
    if (dialog->maximum() != total) dialog->setMaximum(total);
    // setValue shows the box once the minimum duration has passed, and lets it paint.
    dialog->setValue(done);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  };
}

namespace {

// The face as the font database knows it, when that is the very font of `font` (same glyphs, same
// advances); Qt's PDF engine embeds only such fonts and draws others as outlines.
QRawFont DatabaseFont(const std::filesystem::path& file, const TrueTypeFont& font, bool bold) {
  static std::map<std::filesystem::path, QString> families;
  auto family = families.find(file);
  if (family == families.end()) {
    const int id = QFontDatabase::addApplicationFont(QString::fromStdU16String(file.u16string()));
    const QStringList names = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    family = families.emplace(file, names.isEmpty() ? QString() : names.front()).first;
  }
  if (family->second.isEmpty()) return {};
  QFont qt_font(family->second);
  qt_font.setBold(bold);
  qt_font.setHintingPreference(QFont::PreferNoHinting);
  qt_font.setPixelSize(font.UnitsPerEm());
  QRawFont raw = QRawFont::fromFont(qt_font);
  const QString probe = QStringLiteral("Журнал 0123 Ёё Wj");
  const QList<quint32> glyphs = raw.glyphIndexesForString(probe);
  const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
  if (glyphs.size() != probe.size()) return {};
  for (qsizetype i = 0; i < probe.size(); ++i) {
    const std::uint16_t ours = font.GlyphOf(probe[i].unicode());
    if (glyphs[i] != ours || std::abs(advances[i].x() - font.Advance(ours)) > 0.5) return {};
  }
  return raw;
}

}  // namespace

void PaintPages(QPagedPaintDevice& device, const std::vector<PrintedPage>& pages, const PrintFontSet& fonts,
                const ReportFontBytes& files, const std::function<void(int, int)>& progress) {
  QPainter painter(&device);
  painter.setRenderHint(QPainter::Antialiasing);
  // One unit a point.
  painter.scale(device.logicalDpiX() / 72.0, device.logicalDpiY() / 72.0);

  const QByteArray regular = QByteArray::fromRawData(fonts.regular.Bytes().data(),
                                                     static_cast<qsizetype>(fonts.regular.Bytes().size()));
  const QByteArray bold =
      QByteArray::fromRawData(fonts.bold.Bytes().data(), static_cast<qsizetype>(fonts.bold.Bytes().size()));
  const QRawFont known[2] = {DatabaseFont(files.regular_file, fonts.regular, false),
                            DatabaseFont(files.bold_file, fonts.bold, true)};
  std::map<std::pair<Face, float>, QRawFont> raw_fonts;
  const auto raw_font = [&](Face face, float size) -> const QRawFont& {
    auto it = raw_fonts.find({face, size});
    if (it == raw_fonts.end()) {
      QRawFont raw = known[face == Face::kBold ? 1 : 0];
      if (raw.isValid()) {
        raw.setPixelSize(size);
      } else {
        raw = QRawFont(face == Face::kBold ? bold : regular, size, QFont::PreferNoHinting);
      }
      it = raw_fonts.emplace(std::pair{face, size}, raw).first;
    }
    return it->second;
  };
  const auto gray = [](float g) { return QColor::fromRgbF(g, g, g); };

  const int total = static_cast<int>(pages.size());
  for (int i = 0; i < total; ++i) {
    if (i && !device.newPage()) return;
    for (const DrawOp& op : pages[static_cast<std::size_t>(i)].ops) {
      if (const auto* text = std::get_if<TextOp>(&op)) {
        const TrueTypeFont& font = fonts.View().Of(text->face);
        QList<quint32> glyphs;
        QList<QPointF> positions;
        glyphs.reserve(static_cast<qsizetype>(text->glyphs.size()));
        positions.reserve(static_cast<qsizetype>(text->glyphs.size()));
        double x = 0;
        for (std::uint16_t glyph : text->glyphs) {
          glyphs.append(glyph);
          positions.append(QPointF(x, 0));
          x += font.Advance(glyph) * static_cast<double>(text->size) / font.UnitsPerEm();
        }
        QGlyphRun run;
        run.setRawFont(raw_font(text->face, text->size));
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        painter.setPen(gray(text->gray));
        painter.drawGlyphRun(QPointF(text->x, text->y), run);
      } else if (const auto* line = std::get_if<LineOp>(&op)) {
        painter.setPen(QPen(gray(line->gray), line->width, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(line->x1, line->y1), QPointF(line->x2, line->y2));
      } else if (const auto* fill = std::get_if<FillOp>(&op)) {
        painter.fillRect(QRectF(fill->x, fill->y, fill->width, fill->height), gray(fill->gray));
      } else if (const auto* image = std::get_if<ImageOp>(&op)) {
        const ReportPicture& picture = *image->picture;
        const QImage pixels(reinterpret_cast<const uchar*>(picture.rgb.data()), picture.width, picture.height,
                            static_cast<qsizetype>(picture.width) * 3, QImage::Format_RGB888);
        painter.drawImage(QRectF(image->x, image->y, image->width, image->height), pixels);
      }
    }
    if (progress) progress(i + 1, total);
  }
}

}  // namespace kd
