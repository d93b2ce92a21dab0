#pragma once

#include <QPoint>
#include <QRect>

namespace kd {

// Where a window dragged to `window` comes to rest: an edge within `distance` pixels of an edge
// of `screen` sticks to it, on each axis independently.
QPoint SnapToEdges(const QRect& window, const QRect& screen, int distance);

}  // namespace kd
