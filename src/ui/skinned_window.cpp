#include "skinned_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

#include "snap.h"

namespace kd {

CaptionBar::CaptionBar(const QString& title, QWidget* parent)
    : QWidget(parent),
      title_(new QLabel(title, this)),
      minimize_(new QToolButton(this)),
      maximize_(new QToolButton(this)),
      close_(new QToolButton(this)) {
  setObjectName("CaptionBar");
  setAttribute(Qt::WA_StyledBackground);
  title_->setObjectName("CaptionTitle");
  minimize_->setObjectName("CaptionMinimize");
  maximize_->setObjectName("CaptionMaximize");
  close_->setObjectName("CaptionClose");
  minimize_->setText(QStringLiteral("_"));
  close_->setText(QStringLiteral("×"));
  maximize_->hide();
  ShowMaximized(false);
  for (QToolButton* button : {minimize_, maximize_, close_}) {
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(true);
  }
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 2, 4, 2);
  layout->setSpacing(2);
  layout->addWidget(title_, 1);
  layout->addWidget(minimize_);
  layout->addWidget(maximize_);
  layout->addWidget(close_);
  connect(minimize_, &QToolButton::clicked, this, [this] { window()->showMinimized(); });
  connect(maximize_, &QToolButton::clicked, this, &CaptionBar::MaximizeToggled);
  connect(close_, &QToolButton::clicked, this, [this] { window()->close(); });
}

QString CaptionBar::Title() const { return title_->text(); }

void CaptionBar::SetMaximizable(bool maximizable) {
  maximizable_ = maximizable;
  maximize_->setVisible(maximizable);
}

void CaptionBar::ShowMaximized(bool maximized) {
  maximized_ = maximized;
  maximize_->setText(maximized ? QStringLiteral("❐") : QStringLiteral("□"));
  maximize_->setToolTip(maximized ? QStringLiteral("Восстановить") : QStringLiteral("Развернуть"));
}

void CaptionBar::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!maximizable_ || event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
  dragging_ = false;
  Q_EMIT MaximizeToggled();
}

void CaptionBar::mousePressEvent(QMouseEvent* event) {
  // A maximized window stays where it is.
  if (event->button() != Qt::LeftButton || maximized_) return QWidget::mousePressEvent(event);
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
  connect(caption_, &CaptionBar::MaximizeToggled, this, &SkinnedWindow::ToggleMaximized);
  Relayout({client_size.width() + 2 * kBorder, kCaptionHeight + client_size.height() + kBorder});
}

void SkinnedWindow::PlaceCaption(int width) {
  // Inside the frame, which stays in view on every side.
  caption_->setGeometry(1, 1, width - 2, kCaptionHeight - 1);
}

void SkinnedWindow::Relayout(QSize outer) {
  laid_out_ = outer;
  if (resizable_) {
    setMinimumSize(outer);
    resize(outer);
  } else {
    setFixedSize(outer);
  }
  PlaceCaption(outer.width());
  client_->setGeometry(kBorder, kCaptionHeight, client_size_.width(), client_size_.height());
}

void SkinnedWindow::SetResizable(bool resizable) {
  resizable_ = resizable;
  caption_->SetMaximizable(resizable);
  setMouseTracking(resizable);
  if (resizable) {
    setMinimumSize(size());
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    setFixedSize(size());
  }
}

void SkinnedWindow::ToggleMaximized() {
  if (!resizable_) return;
  if (maximized_) {
    maximized_ = false;
    setGeometry(normal_geometry_);
  } else {
    const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (target == nullptr) return;
    normal_geometry_ = geometry();
    maximized_ = true;
    setGeometry(target->availableGeometry());
  }
  caption_->ShowMaximized(maximized_);
}

void SkinnedWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The window's own sizes are laid out where they are set; only a size from outside lands here.
  if (event->size() == laid_out_ || !resizable_) return;
  laid_out_ = event->size();
  user_sized_ = true;
  PlaceCaption(laid_out_.width());
  client_size_ = {laid_out_.width() - 2 * kBorder, laid_out_.height() - kCaptionHeight - kBorder};
  client_->setGeometry(kBorder, kCaptionHeight, client_size_.width(), client_size_.height());
  LayoutClient(client_size_);
}

void SkinnedWindow::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  // The frame shows the window's edge on any desktop, a light one too.
  QPainter painter(this);
  painter.setPen(QColor(0x3d, 0x5a, 0x80));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void SkinnedWindow::mousePressEvent(QMouseEvent* event) {
  const Qt::Edges edges = EdgesAt(event->position().toPoint(), size(), kBorder);
  if (!resizable_ || maximized_ || event->button() != Qt::LeftButton || !edges) {
    return QWidget::mousePressEvent(event);
  }
  resizing_ = edges;
  resize_origin_ = event->globalPosition().toPoint();
  resize_start_ = geometry();
}

void SkinnedWindow::mouseMoveEvent(QMouseEvent* event) {
  if (resizing_) {
    setGeometry(ResizedGeometry(resize_start_, resizing_, event->globalPosition().toPoint() - resize_origin_,
                                minimumSize()));
    return;
  }
  if (!resizable_ || maximized_) return QWidget::mouseMoveEvent(event);
  const Qt::Edges edges = EdgesAt(event->position().toPoint(), size(), kBorder);
  const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
  const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
  if (horizontal && vertical) {
    const bool falling = edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge);
    setCursor(falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor);
  } else if (horizontal) {
    setCursor(Qt::SizeHorCursor);
  } else if (vertical) {
    setCursor(Qt::SizeVerCursor);
  } else {
    unsetCursor();
  }
}

void SkinnedWindow::mouseReleaseEvent(QMouseEvent* event) {
  resizing_ = {};
  QWidget::mouseReleaseEvent(event);
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
