#include "input_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kd {

InputBox::InputBox(QWidget* parent, const QString& caption, const QString& prompt, const QString& text)
    : QDialog(parent), prompt_(new QLabel(prompt, this)), edit_(new QLineEdit(this)) {
  setObjectName("InputBox");
  setWindowTitle(caption);
  setModal(true);
  edit_->setObjectName("InputBoxEdit");
  edit_->setMaxLength(kMaxLength);
  edit_->setText(text);
  edit_->selectAll();
  edit_->setMinimumWidth(300);
  prompt_->setVisible(!prompt.isEmpty());

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  // Qt's Russian catalogue leaves OK in Latin letters.
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ОК"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt_);
  layout->addWidget(edit_);
  layout->addWidget(buttons);
  edit_->setFocus();
}

QString InputBox::Text() const { return edit_->text(); }

}  // namespace kd
