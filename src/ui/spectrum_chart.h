#pragma once

#include <QString>

#include "reports/load_spectrum.h"
#include "reports/text_table.h"

class QChart;

namespace kd {

// The load spectrum as bars over the load classes Q1 to Q5: the working cycles, and the loading
// times in hours. The caller owns the charts.
QChart* MakeCyclesChart(const LoadSpectrum& spectrum);
QChart* MakeLoadTimeChart(const LoadSpectrum& spectrum);

// The crane's and the mechanism's classification as a filled Data 1 table shows them, on two lines.
QString ClassificationCaption(const TextTable& data1_table);

}  // namespace kd
