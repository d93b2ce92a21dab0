#include "skinned_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

#include "snap.h"

namespace kd {

CaptionBar::CaptionBar(const QString& title, QWidget* parent)
    : QWidget(parent),
      title_(new QLabel(title, this)),
      minimize_(new QToolButton(this)),
      close_(new QToolButton(this)) {
  setObjectName("CaptionBar");
  setAttribute(Qt::WA_StyledBackground);
  title_->setObjectName("CaptionTitle");
  minimize_->setObjectName("CaptionMinimize");
  close_->setObjectName("CaptionClose");
  minimize_->setText(QStringLiteral("_"));
  close_->setText(QStringLiteral("×"));
  for (QToolButton* button : {minimize_, close_}) {
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(true);
  }
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 2, 4, 2);
  layout->setSpacing(2);
  layout->addWidget(title_, 1);
  layout->addWidget(minimize_);
  layout->addWidget(close_);
  connect(minimize_, &QToolButton::clicked, this, [this] { window()->showMinimized(); });
  connect(close_, &QToolButton::clicked, this, [this] { window()->close(); });
}

QString CaptionBar::Title() const { return title_->text(); }

void CaptionBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  dragging_ = true;
  grab_offset_ = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
}

void CaptionBar::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return QWidget::mouseMoveEvent(event);
  QWidget* win = window();
  const QPoint wanted = event->globalPosition().toPoint() - grab_offset_;
  QScreen* screen = QGuiApplication::screenAt(event->globalPosition().toPoint());
  if (screen == nullptr) screen = win->screen();
  const QRect target(wanted, win->frameGeometry().size());
  win->move(screen ? SnapToEdges(target, screen->availableGeometry(), kSnapDistance) : wanted);
}

void CaptionBar::mouseReleaseEvent(QMouseEvent* event) {
  dragging_ = false;
  QWidget::mouseReleaseEvent(event);
}

SkinnedWindow::SkinnedWindow(const QString& caption, QSize client_size, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint),
      caption_(new CaptionBar(caption, this)),
      client_(new QWidget(this)),
      client_size_(client_size) {
  setObjectName("SkinnedWindow");
  setAttribute(Qt::WA_StyledBackground);
  setWindowTitle(caption);
  client_->setObjectName("Client");
  Relayout({client_size.width() + 2 * kBorder, kCaptionHeight + client_size.height() + kBorder});
}

void SkinnedWindow::Relayout(QSize outer) {
  setFixedSize(outer);
  caption_->setGeometry(0, 0, outer.width(), kCaptionHeight);
  client_->setGeometry(kBorder, kCaptionHeight, client_size_.width(), client_size_.height());
}

void SkinnedWindow::SetOuterHeight(int height) { Relayout({width(), height}); }

void SkinnedWindow::SetClientWidth(int width) {
  client_size_.setWidth(width);
  Relayout({width + 2 * kBorder, height()});
}

int SkinnedWindow::ClientWidth() const { return client_size_.width(); }

void SkinnedWindow::CenterOnScreen() {
  const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
  if (target == nullptr) return;
  QRect frame = frameGeometry();
  frame.moveCenter(target->availableGeometry().center());
  move(frame.topLeft());
}

}  // namespace kd
