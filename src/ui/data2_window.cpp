#include "data2_window.h"

#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <algorithm>

#include "event_chart_view.h"
#include "report_grid.h"
#include "reports/data1.h"
#include "reports/data2.h"

namespace kd {

Data2Window::Data2Window(const KeySession& session, Dialogs& dialogs)
    : ReportWindow(QStringLiteral(" Данные 2"), kClientSize, kGridSize, MakeData2Table(), session, dialogs,
                   kData2Names) {
  setObjectName("Form_Dat2");

  QMenu* report = MenuBar()->addMenu(QString::fromUtf8(kData2Names.title));
  report->setObjectName("N1");
  AddExportItems(report, {{FormatId::kTxt, "N4"}, {FormatId::kDoc, "Word1"}, {FormatId::kXls, "Exel1"},
                          {FormatId::kHtm, "HTML1"}});
  goToBlockAction = report->addAction(QStringLiteral("Перейти к блоку..."), this, &Data2Window::AskForBlock);
  goToBlockAction->setObjectName("goToBlockAction");
  goToBlockAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  addAction(goToBlockAction);
  report->addSeparator()->setObjectName("N3");
  finishAction = report->addAction(QStringLiteral("Закончить"), this, &QWidget::close);
  finishAction->setObjectName("N2");

  chartMenu = MenuBar()->addMenu(QStringLiteral("График"));
  chartMenu->setObjectName("chartMenu");
  loadChartAction = chartMenu->addAction(QStringLiteral("Нагрузка по блокам..."));
  loadChartAction->setObjectName("loadChartAction");
}


void Data2Window::GoToBlock(int block) { rowScrollBar->setValue(std::min(block, LastRow())); }

void Data2Window::AskForBlock() {
  const std::optional<QString> answer = dialogs_.InputBox(this, QStringLiteral("Перейти к блоку"),
                                                          QStringLiteral("Номер блока:"),
                                                          QString::number(rowScrollBar->value()));
  if (!answer) return;
  bool number = false;
  const int block = answer->trimmed().toInt(&number);
  if (number && block >= 0) GoToBlock(block);
}

ReportHeading Data2Window::PrintedHeading(std::string print_date) const {
  const std::string crane = crane_name_ ? crane_name_() : std::string(kDefaultCraneName);
  ReportHeading heading = MakeReportHeading(PrintedReport::kData2, session_, crane, {}, std::move(print_date));
  heading.chart = PrintedEventChart(table_);
  return heading;
}

void Data2Window::Refill() {
  // The maxima come before the fill; a lower maximum pulls the position down with it.
  rowScrollBar->setMaximum(Data2RowCount(Image()));
  columnScrollBar->setMaximum(table_.ColCount());
  FillData2(table_, Image());
  ShowTable();
  Grid()->AutoSizeColumns(kColumnPadding);
  FitWidthToGrid();
}

}  // namespace kd
