#include "snap.h"

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
