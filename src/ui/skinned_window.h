#pragma once

#include <QPoint>
#include <QWidget>

class QLabel;
class QToolButton;

namespace kd {

// The skinned frame's caption bar: the title, minimize and close. Dragging it moves the window,
// which snaps to the screen's edges.
class CaptionBar : public QWidget {
  Q_OBJECT
 public:
  explicit CaptionBar(const QString& title, QWidget* parent);
  QString Title() const;
  static constexpr int kSnapDistance = 5;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QLabel* title_;
  QToolButton* minimize_;
  QToolButton* close_;
  bool dragging_ = false;
  QPoint grab_offset_;
};

// A top-level window with our own frame instead of the window manager's: a caption bar on top of
// a client area of a given size. The outer size is exactly what the window sets, and the user
// cannot resize it.
class SkinnedWindow : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kCaptionHeight = 30;
  static constexpr int kBorder = 3;

  SkinnedWindow(const QString& caption, QSize client_size, QWidget* parent = nullptr);

  QWidget* Client() const { return client_; }
  CaptionBar* Caption() const { return caption_; }

  // The whole window's height, frame included; the client area below it is cut off.
  void SetOuterHeight(int height);
  void SetClientWidth(int width);
  int ClientWidth() const;
  void CenterOnScreen();

 private:
  void Relayout(QSize outer);

  CaptionBar* caption_;
  QWidget* client_;
  QSize client_size_;
};

}  // namespace kd
