#pragma once

#include <QComboBox>

namespace kd {

// The read source selector: a drop-down list that says when it is about to drop down, so that
// its list of ports can be brought up to date first.
class SourceSelector : public QComboBox {
  Q_OBJECT
 public:
  using QComboBox::QComboBox;

  void showPopup() override {
    Q_EMIT AboutToDropDown();
    QComboBox::showPopup();
  }

 Q_SIGNALS:
  void AboutToDropDown();
};

}  // namespace kd
