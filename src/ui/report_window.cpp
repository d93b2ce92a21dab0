#include "report_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QMenu>
#include <QShowEvent>
#include <QMenuBar>
#include <QPrinter>
#include <QScrollBar>
#include <algorithm>
#include <exception>
#include <optional>
#include <stdexcept>

#include "io/safe_file.h"
#include "report_grid.h"
#include "report_printing.h"
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

FileDialog ExportDialog(const ReportNames& names, const ExportFormat& format) {
  const QString pattern = QStringLiteral("*") + QString::fromLatin1(format.extension);
  return FileDialog(FileDialog::Mode::Save,
                    QStringLiteral(" Сохранение отчета %1 (%2)").arg(names.number).arg(QString::fromLatin1(format.dialog_tag)),
                    QStringLiteral("%1 (%2)").arg(QString::fromUtf8(format.menu_text), pattern), pattern,
                    // Reports go where the user keeps documents: the program's own folder is often not writable.
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
  // The grid is display only: the window takes the keys, and the wheel over the grid.
  setFocusPolicy(Qt::StrongFocus);
  grid_->viewport()->installEventFilter(this);
  grid_->installEventFilter(this);
  SetResizable(true);
}

void ReportWindow::LayoutClient(QSize client) {
  const int grid_height = client.height() - kBarHeight - kScrollBarSize;
  menu_bar_->setGeometry(0, 0, client.width(), kBarHeight);
  grid_->setGeometry(0, kBarHeight, client.width() - kScrollBarSize, grid_height);
  rowScrollBar->setGeometry(client.width() - kScrollBarSize, kBarHeight, kScrollBarSize, grid_height);
  columnScrollBar->setGeometry(0, client.height() - kScrollBarSize, client.width(), kScrollBarSize);
}

int ReportWindow::LastRow() const { return std::max(0, table_.RowCount() - table_.FixedRows() - 1); }

int ReportWindow::VisibleRows() const {
  return std::max(1, grid_->viewport()->height() / ReportGrid::kRowHeight);
}

int ReportWindow::LastPageRow() const { return std::max(0, LastRow() + 1 - VisibleRows()); }

int ReportWindow::LastPageColumn() const {
  int column = table_.ColCount();
  int width = 0;
  while (column > 0 && width + grid_->columnWidth(column - 1) <= grid_->viewport()->width()) {
    width += grid_->columnWidth(--column);
  }
  return std::min(column, std::max(0, table_.ColCount() - 1));
}

namespace {

// Moves a bar by `delta`, never past `last` on the way down (but a bar already past it stays).
void Step(QScrollBar* bar, int delta, int last) {
  const int target = bar->value() + delta;
  bar->setValue(delta > 0 ? std::min(target, std::max(bar->value(), last)) : std::max(target, 0));
}

}  // namespace

bool ReportWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel || (watched != grid_ && watched != grid_->viewport())) {
    return SkinnedWindow::eventFilter(watched, event);
  }
  auto* wheel = static_cast<QWheelEvent*>(event);
  QPoint angle = wheel->angleDelta();
  // A horizontal turn with Shift held on a plain wheel.
  if (wheel->modifiers() & Qt::ShiftModifier && angle.x() == 0) angle = {angle.y(), 0};
  wheel_rest_ += angle;
  const int rows = wheel_rest_.y() / QWheelEvent::DefaultDeltasPerStep;
  const int columns = wheel_rest_.x() / QWheelEvent::DefaultDeltasPerStep;
  wheel_rest_ -= QPoint(columns, rows) * QWheelEvent::DefaultDeltasPerStep;
  if (rows != 0) Step(rowScrollBar, -rows * kWheelRows, LastPageRow());
  if (columns != 0) Step(columnScrollBar, -columns, LastPageColumn());
  event->accept();
  return true;
}

void ReportWindow::showEvent(QShowEvent* event) {
  // The window system's own shows (a restore from the task bar) are not new shows of the report.
  if (!event->spontaneous()) Refill();
  SkinnedWindow::showEvent(event);
  setFocus();
}

void ReportWindow::keyPressEvent(QKeyEvent* event) {
  const bool control = event->modifiers() & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_Up: Step(rowScrollBar, -1, LastPageRow()); break;
    case Qt::Key_Down: Step(rowScrollBar, 1, LastPageRow()); break;
    case Qt::Key_PageUp: Step(rowScrollBar, -VisibleRows(), LastPageRow()); break;
    case Qt::Key_PageDown: Step(rowScrollBar, VisibleRows(), LastPageRow()); break;
    case Qt::Key_Left: Step(columnScrollBar, -1, LastPageColumn()); break;
    // Any column may come to the left edge, as with the bar.
    case Qt::Key_Right: Step(columnScrollBar, 1, table_.ColCount() - 1); break;
    case Qt::Key_Home:
      rowScrollBar->setValue(0);
      if (control) columnScrollBar->setValue(0);
      break;
    case Qt::Key_End:
      rowScrollBar->setValue(LastPageRow());
      if (control) columnScrollBar->setValue(LastPageColumn());
      break;
    case Qt::Key_Escape: close(); break;
    default: return SkinnedWindow::keyPressEvent(event);
  }
  event->accept();
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
  printAction = menu->addAction(QStringLiteral("Печать..."), this, &ReportWindow::Print);
  printAction->setObjectName("printAction");
}

void ReportWindow::Print() {
  try {
    const Result<ReportFontBytes>& font_bytes = ReportFonts();
    if (!font_bytes) throw std::runtime_error(font_bytes.Reason());
    const Result<PrintFontSet> fonts = LoadPrintFonts(font_bytes->regular, font_bytes->bold);
    if (!fonts) throw std::runtime_error(fonts.Reason());
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(LocalePaper().width == kLetterPaper.width ? QPageSize(QPageSize::Letter)
                                                                   : QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(QString::fromUtf8(names_.title));
    if (!dialogs_.SetUpPrinter(this, printer)) return;
    // Laid out for the paper chosen, drawn from its corner.
    printer.setFullPage(true);
    const QSizeF paper = printer.pageLayout().fullRectPoints().size();
    const ReportHeading heading = PrintedHeading(PrintDateNow());
    std::vector<PrintedPage> pages = LayOutReport(table_, heading, fonts->View(), {paper.width(), paper.height()});
    // The pages the dialog asked for keep their numbers ("Стр. 5 из 87").
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
      const auto last = std::min<std::size_t>(pages.size(), static_cast<std::size_t>(std::max(printer.toPage(), printer.fromPage())));
      const auto first = std::min<std::size_t>(last, static_cast<std::size_t>(printer.fromPage() - 1));
      pages = std::vector<PrintedPage>(pages.begin() + static_cast<std::ptrdiff_t>(first),
                                       pages.begin() + static_cast<std::ptrdiff_t>(last));
    }
    WriteProgress progress(this, QStringLiteral("Печать отчета..."));
    PaintPages(printer, pages, *fonts, *font_bytes, progress.Callback());
  } catch (const std::exception& e) {
    dialogs_.ShowError(this, QString::fromUtf8(e.what()));
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
      // The printed formats take the heading and the fonts besides the table.
      std::optional<ReportHeading> heading;
      std::optional<WriteProgress> progress;
      PrintSetup print;
      if (id == FormatId::kPdf) {
        const Result<ReportFontBytes>& fonts = ReportFonts();
        if (!fonts) throw std::runtime_error(fonts.Reason());
        heading = PrintedHeading(PrintDateNow());
        progress.emplace(this, QStringLiteral("Сохранение отчета..."));
        print = {&*heading, fonts->regular, fonts->bold, LocalePaper(), progress->Callback()};
      }
      written = WriteFileAtomically(ToPath(name), format.write({table_, names_.title, {}, heading ? &print : nullptr}));
    }
  } catch (const std::exception& e) {
    written = Failure{e.what()};
  }
  if (!written) {
    dialogs_.ShowError(this, FileErrorText(texts::kCannotCreateFile, name, written.Reason()));
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
  // A size the user chose stays.
  if (UserSized()) return;
  SetClientWidth(grid_->width() + kScrollBarSize);
  LayoutClient(Client()->size());
}

void ReportWindow::closeEvent(QCloseEvent* event) {
  // Hidden, not destroyed: the window lives as long as the program.
  event->accept();
  Q_EMIT Closed();
}

}  // namespace kd
