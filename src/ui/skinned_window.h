#pragma once

#include <QPoint>
#include <QWidget>

class QLabel;
class QToolButton;

namespace kd {

// The skinned frame's caption bar: the title, minimize and close (and maximize on a window that
// can grow). Dragging it moves the window, which snaps to the screen's edges.
class CaptionBar : public QWidget {
  Q_OBJECT
 public:
  explicit CaptionBar(const QString& title, QWidget* parent);
  QString Title() const;
  static constexpr int kSnapDistance = 5;

  QToolButton* MaximizeButton() const { return maximize_; }
  // Shows the maximize button, and lets a double click on the bar ask for it.
  void SetMaximizable(bool maximizable);
  // The button's face: maximize, or restore while the window is maximized.
  void ShowMaximized(bool maximized);

 Q_SIGNALS:
  void MaximizeToggled();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QLabel* title_;
  QToolButton* minimize_;
  QToolButton* maximize_;
  QToolButton* close_;
  bool maximizable_ = false;
  bool maximized_ = false;
  bool dragging_ = false;
  QPoint grab_offset_;
};

// A top-level window with our own frame instead of the window manager's: a caption bar on top of
// a client area of a given size, inside a 1-pixel frame. The outer size is exactly what the window
// sets; a resizable window then lets the user drag its edges or maximize it, never below the size
// it set last.
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

  void SetResizable(bool resizable);
  bool IsResizable() const { return resizable_; }
  // Fills the screen's free area, or goes back to the geometry it had before.
  void ToggleMaximized();
  bool IsMaximized() const { return maximized_; }
  // The user (or the window manager) has given the window a size of their own.
  bool UserSized() const { return user_sized_; }

 protected:
  // The client area got a new size from the user; lay out what it holds.
  virtual void LayoutClient(QSize client_size) { Q_UNUSED(client_size); }

  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Relayout(QSize outer);
  void PlaceCaption(int width);

  CaptionBar* caption_;
  QWidget* client_;
  QSize client_size_;
  // The outer size the caption and the client are laid out for.
  QSize laid_out_;
  bool resizable_ = false;
  bool maximized_ = false;
  bool user_sized_ = false;
  QRect normal_geometry_;
  // A drag of the window's edges in progress.
  Qt::Edges resizing_;
  QPoint resize_origin_;
  QRect resize_start_;
};

}  // namespace kd
