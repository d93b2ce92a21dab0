#include "spectrum_chart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QValueAxis>
#include <algorithm>

#include "reports/data1.h"

namespace kd {

namespace {

// The classes as the Data 1 labels bound them.
const char* const kClassNames[kLoadClasses] = {"Q1: 5-24 %", "Q2: 25-49 %", "Q3: 50-74 %", "Q4: 75-99 %",
                                               "Q5: > 100 %"};

// Bar labels take a number of significant digits: enough for every whole digit of the highest
// bar and `decimals` more, so that no label is cut to an exponent.
int LabelDigits(const QList<qreal>& values, int decimals) {
  const qreal highest = values.isEmpty() ? 0 : *std::max_element(values.begin(), values.end());
  return QString::number(static_cast<qint64>(highest)).size() + decimals;
}

QChart* BarChart(const QString& title, const QString& set_name, const QList<qreal>& values, const QColor& color,
                 int decimals) {
  auto* chart = new QChart;
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->setTitle(title);
  chart->legend()->hide();
  auto* set = new QBarSet(set_name);
  set->append(values);
  set->setColor(color);
  set->setBorderColor(color.darker(130));
  set->setLabelColor(Qt::black);
  auto* series = new QBarSeries;
  series->append(set);
  series->setLabelsVisible(true);
  series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
  series->setLabelsPrecision(LabelDigits(values, decimals));
  chart->addSeries(series);

  auto* classes = new QBarCategoryAxis;
  for (const char* name : kClassNames) classes->append(QString::fromUtf8(name));
  auto* values_axis = new QValueAxis;
  values_axis->setTitleText(set_name);
  values_axis->setLabelFormat(QStringLiteral("%g"));
  // Room above the highest bar for its label.
  const qreal highest = values.isEmpty() ? 0 : *std::max_element(values.begin(), values.end());
  values_axis->setRange(0, std::max<qreal>(1, highest * 1.15));
  values_axis->applyNiceNumbers();
  chart->addAxis(classes, Qt::AlignBottom);
  chart->addAxis(values_axis, Qt::AlignLeft);
  series->attachAxis(classes);
  series->attachAxis(values_axis);
  return chart;
}

}  // namespace

QChart* MakeCyclesChart(const LoadSpectrum& spectrum) {
  QList<qreal> cycles;
  for (std::uint16_t count : spectrum.CycleCount) cycles.append(count);
  QChart* chart = BarChart(QStringLiteral("Рабочие циклы по классам нагрузки"), QStringLiteral("Циклов"), cycles,
                           QColor(0x1f, 0x5f, 0xbf), 0);
  chart->setObjectName("cyclesChart");
  return chart;
}

QChart* MakeLoadTimeChart(const LoadSpectrum& spectrum) {
  QList<qreal> hours;
  // Minutes as the key stores them, possibly above 59, as the Data 1 totals count them.
  for (std::uint32_t minutes : spectrum.LoadMinutes) hours.append(minutes / 60.0);
  QChart* chart = BarChart(QStringLiteral("Время загрузки по классам нагрузки"), QStringLiteral("Часов"), hours,
                           QColor(0x2e, 0x9a, 0x3c), 1);
  chart->setObjectName("loadTimeChart");
  return chart;
}

QString ClassificationCaption(const TextTable& table) {
  const auto value = [&](Data1Row row) { return QString::fromStdString(Data1Value(table, row)); };
  return QStringLiteral("Кран: класс использования %1, режим нагружения %2, группа режима %3\n"
                        "Механизм: класс использования %4, режим нагружения %5, группа режима %6")
      .arg(value(Data1Row::kCraneClass), value(Data1Row::kCraneMode), value(Data1Row::kCraneGroup),
           value(Data1Row::kMechanismClass), value(Data1Row::kMechanismMode), value(Data1Row::kMechanismGroup));
}

}  // namespace kd
