#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

namespace kd {

// A modal box asking for one line of text: a prompt, an edit field of at most 255 characters that
// opens with its default fully selected, OK and Cancel.
class InputBox : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kMaxLength = 255;

  InputBox(QWidget* parent, const QString& caption, const QString& prompt, const QString& text);

  QString Text() const;
  QLineEdit* Edit() const { return edit_; }

 private:
  QLabel* prompt_;
  QLineEdit* edit_;
};

}  // namespace kd
