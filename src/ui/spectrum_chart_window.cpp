#include "spectrum_chart_window.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

#include "reports/data1.h"
#include "reports/load_spectrum.h"
#include "reports/user_texts.h"
#include "spectrum_chart.h"

namespace kd {

namespace {

QChartView* NewView(const char* name) {
  auto* view = new QChartView;
  view->setObjectName(name);
  view->setRenderHint(QPainter::Antialiasing);
  return view;
}

void Replace(QChartView* view, QChart* chart) {
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;
}

}  // namespace

SpectrumChartWindow::SpectrumChartWindow(const KeySession& session, Dialogs& dialogs)
    : ChartWindow(QStringLiteral(" Спектр нагружения"), kClientSize, session, dialogs,
                  QStringLiteral("Спектр_нагружения")),
      caption_(new QLabel),
      cycles_(NewView("cyclesView")),
      load_time_(NewView("loadTimeView")) {
  setObjectName("SpectrumChartWindow");
  caption_->setObjectName("classificationCaption");
  caption_->setAlignment(Qt::AlignCenter);
  QFont bold = caption_->font();
  bold.setBold(true);
  caption_->setFont(bold);
  PanelLayout()->addWidget(caption_);
  PanelLayout()->addWidget(cycles_, 1);
  PanelLayout()->addWidget(load_time_, 1);
}

void SpectrumChartWindow::ShowChart() {
  if (!Refill()) {
    dialogs_.ShowError(this, QString::fromUtf8(texts::kWrongFile));
    return;
  }
  show();
  raise();
  activateWindow();
}

bool SpectrumChartWindow::Refill() {
  TextTable data1 = MakeData1Table({});
  if (!FillData1(data1, Image(), QLocale::system().decimalPoint().toStdString())) return false;
  const LoadSpectrum spectrum = DecodeLoadSpectrum(Image());
  caption_->setText(ClassificationCaption(data1));
  Replace(cycles_, MakeCyclesChart(spectrum));
  Replace(load_time_, MakeLoadTimeChart(spectrum));
  return true;
}

}  // namespace kd
