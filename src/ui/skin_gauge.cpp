#include "skin_gauge.h"

#include <QPainter>
#include <qdrawutil.h>
#include <QStyleOption>
#include <algorithm>
#include <cstdint>

namespace kd {

SkinGauge::SkinGauge(QWidget* parent) : QWidget(parent) {
  setObjectName("SkinGauge");
  setAttribute(Qt::WA_StyledBackground);
}

void SkinGauge::SetMinValue(int min) {
  min_ = min;
  max_ = std::max(max_, min_);
  SetValue(value_);
}

void SkinGauge::SetMaxValue(int max) {
  max_ = max;
  min_ = std::min(min_, max_);
  SetValue(value_);
}

void SkinGauge::SetValue(int value) {
  value_ = std::clamp(value, min_, max_);
  update();
}

int SkinGauge::Percent() const {
  const std::int64_t span = std::int64_t{max_} - min_;
  if (span == 0) return 100;
  const std::int64_t scaled = (std::int64_t{value_} - min_) * 100;
  std::int64_t quotient = scaled / span;
  const std::int64_t twice_rest = (scaled % span) * 2;
  if (twice_rest > span || (twice_rest == span && quotient % 2 != 0)) ++quotient;
  return static_cast<int>(quotient);
}

QString SkinGauge::Text() const { return QStringLiteral("Считано ...%1%").arg(Percent()); }

void SkinGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOption option;
  option.initFrom(this);
  style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
  // A sunken trough, so the gauge shows its whole length while it is still empty.
  const QBrush trough = palette().base();
  qDrawShadePanel(&painter, rect(), palette(), true, 1, &trough);
  const QRect inner = rect().adjusted(1, 1, -1, -1);
  QRect filled = inner;
  filled.setWidth(inner.width() * Percent() / 100);
  painter.fillRect(filled, palette().highlight());
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(inner, Qt::AlignCenter, Text());
}

}  // namespace kd
