#include "chart_window.h"

#include <QMenu>
#include <QMenuBar>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <exception>

#include "qt_path.h"
#include "reports/user_texts.h"

namespace kd {

namespace {

struct PictureKind {
  PictureFormat format;
  const char* menu_text;
  const char* tag;
  const char* extension;
  const char* object_name;
};

const PictureKind kPictureKinds[] = {
    {PictureFormat::kPng, "Сохранить как PNG...", "PNG", ".png", "savePngAction"},
    {PictureFormat::kSvg, "Сохранить как SVG...", "SVG", ".svg", "saveSvgAction"},
};

const PictureKind& KindOf(PictureFormat format) {
  for (const PictureKind& kind : kPictureKinds) {
    if (kind.format == format) return kind;
  }
  return kPictureKinds[0];
}

}  // namespace

ChartWindow::ChartWindow(const QString& caption, QSize client_size, const KeySession& session, Dialogs& dialogs,
                         const QString& picture_stem)
    : SkinnedWindow(caption, client_size),
      session_(session),
      dialogs_(dialogs),
      menu_bar_(new QMenuBar(Client())),
      panel_(new QWidget(Client())),
      panel_layout_(new QVBoxLayout(panel_)) {
  // A chart is worth a bigger window: the user may drag the frame or maximize it.
  SetResizable(true);
  menu_bar_->setObjectName("chartMenuBar");
  menu_bar_->setFixedHeight(kBarHeight);
  panel_->setObjectName("chartPanel");
  panel_->setAutoFillBackground(true);
  panel_layout_->setContentsMargins(6, 6, 6, 6);
  // The panel fills the client area and follows its size.
  auto* client_layout = new QVBoxLayout(Client());
  client_layout->setContentsMargins(0, 0, 0, 0);
  client_layout->setSpacing(0);
  client_layout->addWidget(menu_bar_);
  client_layout->addWidget(panel_, 1);

  QMenu* picture = menu_bar_->addMenu(QStringLiteral("Рисунок"));
  picture->setObjectName("pictureMenu");
  for (const PictureKind& kind : kPictureKinds) {
    const QString pattern = QStringLiteral("*") + QString::fromLatin1(kind.extension);
    save_dialogs_.emplace(kind.format,
                          FileDialog(FileDialog::Mode::Save,
                                     QStringLiteral(" Сохранение рисунка (%1)").arg(QString::fromLatin1(kind.tag)),
                                     QStringLiteral("Рисунок %1 (%2)").arg(QString::fromLatin1(kind.tag), pattern),
                                     pattern, picture_stem, DocumentsFolder()));
    const PictureFormat format = kind.format;
    QAction* item = picture->addAction(QString::fromUtf8(kind.menu_text), this, [this, format] { SavePictureAs(format); });
    item->setObjectName(kind.object_name);
  }
  picture->addSeparator();
  picture->addAction(QStringLiteral("Закрыть"), this, &QWidget::close)->setObjectName("closeChartAction");
}

void ChartWindow::keyPressEvent(QKeyEvent* event) {
  // Escape reaches here from whichever child has the focus and does not want it.
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  SkinnedWindow::keyPressEvent(event);
}

void ChartWindow::SavePictureAs(PictureFormat format) {
  const PictureKind& kind = KindOf(format);
  FileDialog& dialog = save_dialogs_.at(format);
  if (!dialog.Execute(dialogs_, this)) return;
  QString name = dialog.FileName();
  if (!name.endsWith(QString::fromLatin1(kind.extension), Qt::CaseInsensitive)) name += QString::fromLatin1(kind.extension);
  Status written;
  try {
    // A picture saved over the file the key came from would destroy the key.
    written = IsSourceFile(session_, ToPath(name)) ? Status(Failure{texts::kIsTheKeyImage})
                                                   : SavePicture(panel_, ToPath(name), format, windowTitle().trimmed());
  } catch (const std::exception& e) {
    written = Failure{e.what()};
  }
  if (!written) {
    dialogs_.ShowError(this, FileErrorText(texts::kCannotCreateFile, name, written.Reason()));
  }
}

}  // namespace kd
