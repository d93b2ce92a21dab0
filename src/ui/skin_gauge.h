#pragma once

#include <QString>
#include <QWidget>

namespace kd {

// Progress gauge. Its value always lies within its range: a value outside it is taken as the nearer
// bound, and a bound moved past the value carries the value along.
class SkinGauge : public QWidget {
  Q_OBJECT
 public:
  explicit SkinGauge(QWidget* parent = nullptr);

  int MinValue() const { return min_; }
  int MaxValue() const { return max_; }
  int Value() const { return value_; }
  void SetMinValue(int min);
  void SetMaxValue(int max);
  void SetValue(int value);

  // "Считано ..." and the whole percentage of the range covered, a half rounded to even.
  QString Text() const;
  // The percentage alone; a range of one point shows as full.
  int Percent() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
};

}  // namespace kd
