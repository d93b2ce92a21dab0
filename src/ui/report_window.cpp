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

constexpr std::array<ReportFormat, 4> kFormats = {ReportFormat::Txt, ReportFormat::Doc, ReportFormat::Xls,
                                                  ReportFormat::Htm};

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

// What names a format to the user: the tag of its dialog's title, and the description that is
// both its menu item's caption and its filter's.
struct FormatTexts {
  const char* tag;
  const char* description;
};

FormatTexts TextsOf(ReportFormat format) {
  static const FormatTexts kTexts[] = {
      {"TXT", "Текстовый документ"}, {"DOC", "Документ Word"}, {"XLS", "Книга Exel"}, {"HTML", "Документ HTML"}};
  return kTexts[static_cast<int>(format)];
}

FileDialog ExportDialog(int report, ReportFormat format) {
  const FormatTexts texts = TextsOf(format);
  const QString pattern = QStringLiteral("*") + QString::fromLatin1(ExtensionOf(format));
  return FileDialog(FileDialog::Mode::Save,
                    QStringLiteral(" Сохранение отчета %1 (%2)").arg(report).arg(QString::fromLatin1(texts.tag)),
                    QStringLiteral("%1 (%2)").arg(QString::fromUtf8(texts.description), pattern), pattern,
                    QStringLiteral("Отчет_N%1").arg(report), DocumentsFolder());
}

}  // namespace

ReportWindow::ReportWindow(const QString& caption, QSize client_size, QSize grid_size, TextTable table,
                           const KeyImage& image, Dialogs& dialogs, int report_number)
    : SkinnedWindow(caption, client_size),
      bsSkinScrollBar_V(MakeScrollBar(Qt::Vertical, "bsSkinScrollBar_V", Client())),
      bsSkinScrollBar_H(MakeScrollBar(Qt::Horizontal, "bsSkinScrollBar_H", Client())),
      table_(std::move(table)),
      key_image_(image),
      dialogs_(dialogs),
      menu_bar_(new QMenuBar(Client())),
      grid_(new ReportGrid(table_, Client())),
      report_title_(QStringLiteral("Отчет N%1").arg(report_number)),
      export_dialogs_{ExportDialog(report_number, ReportFormat::Txt), ExportDialog(report_number, ReportFormat::Doc),
                      ExportDialog(report_number, ReportFormat::Xls), ExportDialog(report_number, ReportFormat::Htm)} {
  menu_bar_->setObjectName("bsSkinMainMenuBar1");
  menu_bar_->setGeometry(0, 0, client_size.width(), kBarHeight);
  grid_->setGeometry(0, kBarHeight, grid_size.width(), grid_size.height());
  bsSkinScrollBar_V->setGeometry(grid_size.width(), kBarHeight, kScrollBarSize, grid_size.height());
  bsSkinScrollBar_H->setGeometry(0, client_size.height() - kScrollBarSize, client_size.width(), kScrollBarSize);
  connect(bsSkinScrollBar_V, &QScrollBar::valueChanged, this, &ReportWindow::bsSkinScrollBar_VChange);
  connect(bsSkinScrollBar_H, &QScrollBar::valueChanged, this, &ReportWindow::bsSkinScrollBar_HChange);
}

void ReportWindow::bsSkinScrollBar_VChange(int position) { grid_->SetTopRow(position); }
void ReportWindow::bsSkinScrollBar_HChange(int position) { grid_->SetLeftColumn(position); }

std::array<QAction*, 4> ReportWindow::AddExportItems(QMenu* menu) {
  std::array<QAction*, 4> items{};
  for (std::size_t i = 0; i < kFormats.size(); ++i) {
    const ReportFormat format = kFormats[i];
    items[i] = menu->addAction(QString::fromUtf8(TextsOf(format).description), this, [this, format] { Export(format); });
  }
  return items;
}

void ReportWindow::Export(ReportFormat format) {
  FileDialog& dialog = export_dialogs_[static_cast<std::size_t>(format)];
  if (!dialog.Execute(dialogs_, this)) return;
  const QString name = dialog.FileName() + QString::fromLatin1(ExtensionOf(format));
  Status written;
  try {
    written = WriteFileAtomically(ToPath(name), WriteReport(table_, format, report_title_.toStdString()));
  } catch (const std::exception& e) {
    written = Failure{e.what()};
  }
  if (!written) {
    dialogs_.ShowError(this, QStringLiteral("Не удается создать файл !\n%1\n%2").arg(name, QString::fromStdString(written.Reason())));
  }
}

ReportWindow::~ReportWindow() {
  // The grid shows table_, which goes before QWidget's destructor would delete the grid (and
  // hide it, asking the table for cells).
  delete grid_;
}

void ReportWindow::ShowTable() {
  grid_->Reload();
  grid_->SetTopRow(bsSkinScrollBar_V->value());
  grid_->SetLeftColumn(bsSkinScrollBar_H->value());
}

void ReportWindow::FitWidthToGrid() {
  const int width = grid_->width() + kScrollBarSize;
  SetClientWidth(width);
  menu_bar_->resize(width, kBarHeight);
  bsSkinScrollBar_V->move(width - kScrollBarSize, kBarHeight);
  bsSkinScrollBar_H->resize(width, kScrollBarSize);
}

void ReportWindow::closeEvent(QCloseEvent* event) {
  // Hidden, not destroyed: the window lives as long as the program.
  event->accept();
  Q_EMIT Closed();
}

}  // namespace kd
