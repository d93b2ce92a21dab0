#include "event_chart_window.h"

#include <QCursor>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QToolTip>
#include <QVBoxLayout>

#include "event_chart_view.h"
#include "reports/data2.h"

namespace kd {

namespace {

// The summary's lines go down this many columns of label and value.
constexpr int kSummaryColumns = 3;
const QString kPointHint = QStringLiteral("Наведите указатель на точку, чтобы увидеть ее запись; щелчок покажет ее в \"Данные 2\".");

}  // namespace

EventChartWindow::EventChartWindow(const KeySession& session, Dialogs& dialogs)
    : ChartWindow(QStringLiteral(" Нагрузка по блокам"), kClientSize, session, dialogs,
                  QStringLiteral("Нагрузка_по_блокам")),
      table_(MakeData2Table()),
      view_(new EventChartView) {
  setObjectName("EventChartWindow");

  auto* box = new QGroupBox(QStringLiteral("Сводка"));
  box->setObjectName("summaryBox");
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(8, 4, 8, 4);
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(1);
  const auto lines = SummaryLines(summary_);
  const int rows = (static_cast<int>(lines.size()) + kSummaryColumns - 1) / kSummaryColumns;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    auto* label = new QLabel(QString::fromStdString(lines[static_cast<std::size_t>(i)].first) + QStringLiteral(":"));
    auto* value = new QLabel;
    value->setObjectName(QStringLiteral("summaryValue%1").arg(i));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const int column = 2 * (i / rows);
    grid->addWidget(label, i % rows, column);
    grid->addWidget(value, i % rows, column + 1);
    summary_values_.push_back(value);
  }
  // Columns of label and value side by side, room left over on the right.
  for (int column = 1; column + 2 < 2 * kSummaryColumns; column += 2) grid->setColumnMinimumWidth(column, 250);
  grid->setColumnStretch(2 * kSummaryColumns, 1);

  PanelLayout()->addWidget(box);
  PanelLayout()->addWidget(view_, 1);
  record_line_ = new QLabel(kPointHint);
  record_line_->setObjectName("recordLine");
  record_line_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  PanelLayout()->addWidget(record_line_);

  connect(view_, &EventChartView::RecordHovered, this, &EventChartWindow::ShowRecordTip);
  connect(view_, &EventChartView::RecordClicked, this, &EventChartWindow::RecordChosen);
}

void EventChartWindow::ShowChart() {
  Refill();
  show();
  raise();
  activateWindow();
}

void EventChartWindow::Refill() {
  FillData2(table_, Image());
  std::vector<EventPoint> points = EventPoints(table_);
  summary_ = Summarize(points);
  const auto lines = SummaryLines(summary_);
  for (std::size_t i = 0; i < lines.size(); ++i) summary_values_[i]->setText(QString::fromStdString(lines[i].second));
  view_->SetPoints(std::move(points));
  record_line_->setText(kPointHint);
}

QString EventChartWindow::RecordText(int block) const {
  if (block < 0 || RecordRow(block) >= table_.RowCount()) return {};
  QStringList parts;
  for (const Data2ColumnSpec& column : kData2Columns) {
    parts << QStringLiteral("%1: %2").arg(QString::fromUtf8(column.header),
                                          QString::fromStdString(Data2Cell(table_, block, column.id)).trimmed());
  }
  return parts.join(QStringLiteral("\n"));
}

void EventChartWindow::ShowRecordTip(int block) {
  if (block < 0) {
    QToolTip::hideText();
    record_line_->setText(kPointHint);
    return;
  }
  const QString text = RecordText(block);
  record_line_->setText(QString(text).replace(QLatin1Char('\n'), QStringLiteral("    ")));
  QToolTip::showText(QCursor::pos(), text, view_);
}

}  // namespace kd
