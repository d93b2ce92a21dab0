#include "data1_window.h"

#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>

#include "report_grid.h"

namespace kd {

Data1Window::Data1Window(const KeySession& session, Dialogs& dialogs, QDate start_date)
    : ReportWindow(QStringLiteral(" Данные 1"), kClientSize, kGridSize,
                   MakeData1Table(DateText(start_date.year(), start_date.month(), start_date.day())), session, dialogs,
                   kData1Names) {
  setObjectName("Form_Dat1");
  Grid()->SetColumnWidths({kColumnWidths[0], kColumnWidths[1]});

  extraMenu = MenuBar()->addMenu(QStringLiteral("Дополнительно"));
  extraMenu->setObjectName("N1");
  editCraneNameAction = extraMenu->addAction(QStringLiteral("Наименование крана, его номер"), this,
                                             &Data1Window::EditCraneName);
  editSignatureAction = extraMenu->addAction(QStringLiteral("Подпись (ФИО)"), this, &Data1Window::EditSignature);
  finishSeparator = extraMenu->addSeparator();
  finishAction = extraMenu->addAction(QStringLiteral("Закончить"), this, &QWidget::close);
  editCraneNameAction->setObjectName("N3");
  editSignatureAction->setObjectName("N4");
  finishSeparator->setObjectName("N6");
  finishAction->setObjectName("N7");

  QMenu* report = MenuBar()->addMenu(QString::fromUtf8(kData1Names.title));
  report->setObjectName("N2");
  AddExportItems(report, {{FormatId::kTxt, "N5"}, {FormatId::kDoc, "Word1"}, {FormatId::kXls, "Exel1"},
                          {FormatId::kHtm, "HTML1"}});

  chartMenu = MenuBar()->addMenu(QStringLiteral("График"));
  chartMenu->setObjectName("chartMenu");
  spectrumChartAction = chartMenu->addAction(QStringLiteral("Спектр нагружения..."));
  spectrumChartAction->setObjectName("spectrumChartAction");

  // Set once: the table always has 35 rows and 2 columns.
  rowScrollBar->setMaximum(table_.RowCount());
  columnScrollBar->setMaximum(table_.ColCount());
}

void Data1Window::Refill() {
  if (!FillData1(table_, Image(), QLocale::system().decimalPoint().toStdString())) {
    dialogs_.ShowError(this, QString::fromUtf8(texts::kWrongFile));
  }
  ShowTable();
  FitWidthToGrid();
}

ReportHeading Data1Window::PrintedHeading(std::string print_date) const {
  return MakeReportHeading(PrintedReport::kData1, session_, Data1Value(table_, Data1Row::kCraneName),
                           Data1Value(table_, Data1Row::kSignature), std::move(print_date));
}

void Data1Window::EditCraneName() { EditRow(Data1Row::kCraneName); }
void Data1Window::EditSignature() { EditRow(Data1Row::kSignature); }

void Data1Window::EditRow(Data1Row row) {
  const QString label = QString::fromStdString(table_.GetCellEx(data1::kLabelColumn, RowOf(row)));
  const std::optional<QString> text =
      dialogs_.InputBox(this, label, QString(), QString::fromStdString(Data1Value(table_, row)));
  if (!text) return;
  SetData1Value(table_, row, text->toStdString());
  ShowTable();
}

}  // namespace kd
