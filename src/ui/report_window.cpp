#include "report_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QStandardPaths>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <exception>

#include "io/safe_file.h"
#include "report_grid.h"
#include "qt_path.h"

namespace kd {

namespace {

QScrollBar* MakeScrollBar(Qt::Orientation orientation, const char* name, QWidget* parent) {
  auto* bar = new QScrollBar(orientation, parent);
  bar->setObjectName(name);
  bar->setFocusPolicy(Qt::NoFocus);
  bar->setRange(0, 100);
  bar->setSingleStep(1);
  bar->setPageStep(1);
  return bar;
}

// Reports go where the user keeps documents: the program's own folder is often not writable.
QString DocumentsFolder() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return QDir(documents).exists() ? documents : QDir::homePath();
}

FileDialog ExportDialog(const ReportNames& names, const ExportFormat& format) {
  const QString pattern = QStringLiteral("*") + QString::fromLatin1(format.extension);
  return FileDialog(FileDialog::Mode::Save,
                    QStringLiteral(" Сохранение отчета %1 (%2)").arg(names.number).arg(QString::fromLatin1(format.dialog_tag)),
                    QStringLiteral("%1 (%2)").arg(QString::fromUtf8(format.menu_text), pattern), pattern,
                    QString::fromUtf8(names.file_stem), DocumentsFolder());
}

}  // namespace

ReportWindow::ReportWindow(const QString& caption, QSize client_size, QSize grid_size, TextTable table,
                           const KeySession& session, Dialogs& dialogs, const ReportNames& names)
    : SkinnedWindow(caption, client_size),
      rowScrollBar(MakeScrollBar(Qt::Vertical, "bsSkinScrollBar_V", Client())),
      columnScrollBar(MakeScrollBar(Qt::Horizontal, "bsSkinScrollBar_H", Client())),
      table_(std::move(table)),
      session_(session),
      dialogs_(dialogs),
      menu_bar_(new QMenuBar(Client())),
      grid_(new ReportGrid(table_, Client())),
      names_(names) {
  for (const ExportFormat& format : kExportFormats) {
    if (format.menu_text) export_dialogs_.emplace(format.id, ExportDialog(names_, format));
  }
  menu_bar_->setObjectName("bsSkinMainMenuBar1");
  menu_bar_->setGeometry(0, 0, client_size.width(), kBarHeight);
  grid_->setGeometry(0, kBarHeight, grid_size.width(), grid_size.height());
  rowScrollBar->setGeometry(grid_size.width(), kBarHeight, kScrollBarSize, grid_size.height());
  columnScrollBar->setGeometry(0, client_size.height() - kScrollBarSize, client_size.width(), kScrollBarSize);
  connect(rowScrollBar, &QScrollBar::valueChanged, this, &ReportWindow::ScrollToRow);
  connect(columnScrollBar, &QScrollBar::valueChanged, this, &ReportWindow::ScrollToColumn);
}

void ReportWindow::ScrollToRow(int position) { grid_->SetTopRow(position); }
void ReportWindow::ScrollToColumn(int position) { grid_->SetLeftColumn(position); }

void ReportWindow::AddExportItems(QMenu* menu, const std::map<FormatId, const char*>& object_names) {
  for (const ExportFormat& format : kExportFormats) {
    if (!format.menu_text) continue;
    const FormatId id = format.id;
    QAction* item = menu->addAction(QString::fromUtf8(format.menu_text), this, [this, id] { Export(id); });
    if (const auto name = object_names.find(id); name != object_names.end()) item->setObjectName(name->second);
  }
}

void ReportWindow::Export(FormatId id) {
  const ExportFormat& format = FormatOf(id);
  FileDialog& dialog = export_dialogs_.at(id);
  if (!dialog.Execute(dialogs_, this)) return;
  const QString name = dialog.FileName() + QString::fromLatin1(format.extension);
  Status written;
  try {
    if (IsSourceFile(session_, ToPath(name))) {
      written = Failure{texts::kIsTheKeyImage};
    } else {
      written = WriteFileAtomically(ToPath(name), format.write({table_, names_.title}));
    }
  } catch (const std::exception& e) {
    written = Failure{e.what()};
  }
  if (!written) {
    dialogs_.ShowError(this, QStringLiteral("%1\n%2\n%3")
                                 .arg(QString::fromUtf8(texts::kCannotCreateFile), name,
                                      QString::fromStdString(written.Reason())));
  }
}

ReportWindow::~ReportWindow() {
  // The grid shows table_, which goes before QWidget's destructor would delete the grid (and
  // hide it, asking the table for cells).
  delete grid_;
}

void ReportWindow::ShowTable() {
  grid_->Reload();
  grid_->SetTopRow(rowScrollBar->value());
  grid_->SetLeftColumn(columnScrollBar->value());
}

void ReportWindow::FitWidthToGrid() {
  const int width = grid_->width() + kScrollBarSize;
  SetClientWidth(width);
  menu_bar_->resize(width, kBarHeight);
  rowScrollBar->move(width - kScrollBarSize, kBarHeight);
  columnScrollBar->resize(width, kScrollBarSize);
}

void ReportWindow::closeEvent(QCloseEvent* event) {
  // Hidden, not destroyed: the window lives as long as the program.
  event->accept();
  Q_EMIT Closed();
}

}  // namespace kd
