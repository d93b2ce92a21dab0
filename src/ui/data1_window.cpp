#include "data1_window.h"

#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QShowEvent>

#include "report_grid.h"
#include "reports/data1.h"

namespace kd {

namespace {

QString Cell(const TextTable& table, int column, int row) { return QString::fromStdString(table.GetCellEx(column, row)); }

}  // namespace

TForm_Dat1::TForm_Dat1(const KeyImage& image, Dialogs& dialogs, QDate start_date)
    : ReportWindow(QStringLiteral(" Данные 1"), kClientSize, kGridSize,
                   MakeData1Table(DateText(start_date.year(), start_date.month(), start_date.day())), image, dialogs, 1) {
  setObjectName("Form_Dat1");
  Grid()->SetColumnWidths({kColumnWidths[0], kColumnWidths[1]});

  N1 = MenuBar()->addMenu(QStringLiteral("Дополнительно"));
  N1->setObjectName("N1");
  N3 = N1->addAction(QStringLiteral("Наименование крана, его номер"), this, &TForm_Dat1::N3Click);
  N4 = N1->addAction(QStringLiteral("Подпись (ФИО)"), this, &TForm_Dat1::N4Click);
  N6 = N1->addSeparator();
  N7 = N1->addAction(QStringLiteral("Закончить"), this, &TForm_Dat1::N7Click);
  N3->setObjectName("N3");
  N4->setObjectName("N4");
  N6->setObjectName("N6");
  N7->setObjectName("N7");

  QMenu* report = MenuBar()->addMenu(QStringLiteral("Отчет N1"));
  report->setObjectName("N2");
  const auto exports = AddExportItems(report);
  const char* const names[] = {"N5", "Word1", "Exel1", "HTML1"};
  for (std::size_t i = 0; i < exports.size(); ++i) exports[i]->setObjectName(names[i]);

  // Set once: the table always has 35 rows and 2 columns.
  bsSkinScrollBar_V->setMaximum(table_.RowCount());
  bsSkinScrollBar_H->setMaximum(table_.ColCount());
}

void TForm_Dat1::showEvent(QShowEvent* event) {
  // The window system's own shows (a restore from the task bar) are not new shows of the report.
  if (!event->spontaneous()) FormShow();
  ReportWindow::showEvent(event);
}

void TForm_Dat1::FormShow() {
  if (!FillData1(table_, key_image_, QLocale::system().decimalPoint().toStdString())) {
    dialogs_.ShowError(this, QStringLiteral("Файл не верный !"));
  }
  ShowTable();
  FitWidthToGrid();
}

void TForm_Dat1::N3Click() { EditRow(data1::kCraneNameRow); }
void TForm_Dat1::N4Click() { EditRow(data1::kSignatureRow); }

// Closing exactly as the caption bar's close button does.
void TForm_Dat1::N7Click() { close(); }

void TForm_Dat1::EditRow(int row) {
  const std::optional<QString> text = dialogs_.InputBox(this, Cell(table_, 0, row), QString(), Cell(table_, 1, row));
  if (!text) return;
  table_.SetCellEx(1, row, text->toStdString());
  ShowTable();
}

}  // namespace kd
