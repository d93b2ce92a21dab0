#include "snap.h"

#include <algorithm>
#include <cstdlib>

namespace kd {

namespace {

int SnapAxis(int start, int length, int screen_start, int screen_length, int distance) {
  const int end = start + length;
  const int screen_end = screen_start + screen_length;
  if (std::abs(start - screen_start) <= distance) return screen_start;
  if (std::abs(end - screen_end) <= distance) return screen_end - length;
  return start;
}

}  // namespace

QPoint SnapToEdges(const QRect& window, const QRect& screen, int distance) {
  return {SnapAxis(window.x(), window.width(), screen.x(), screen.width(), distance),
          SnapAxis(window.y(), window.height(), screen.y(), screen.height(), distance)};
}

}  // namespace kd

namespace kd {

Qt::Edges EdgesAt(QPoint point, QSize size, int margin) {
  Qt::Edges edges;
  if (point.x() < margin) edges |= Qt::LeftEdge;
  if (point.x() >= size.width() - margin) edges |= Qt::RightEdge;
  if (point.y() < margin) edges |= Qt::TopEdge;
  if (point.y() >= size.height() - margin) edges |= Qt::BottomEdge;
  return edges;
}

QRect ResizedGeometry(const QRect& start, Qt::Edges edges, QPoint delta, QSize minimum) {
  QRect result = start;
  if (edges & Qt::LeftEdge) result.setLeft(std::min(start.left() + delta.x(), start.right() + 1 - minimum.width()));
  if (edges & Qt::RightEdge) result.setRight(std::max(start.right() + delta.x(), start.left() + minimum.width() - 1));
  if (edges & Qt::TopEdge) result.setTop(std::min(start.top() + delta.y(), start.bottom() + 1 - minimum.height()));
  if (edges & Qt::BottomEdge) {
    result.setBottom(std::max(start.bottom() + delta.y(), start.top() + minimum.height() - 1));
  }
  return result;
}

}  // namespace kd
