#pragma once

#include <QPoint>
#include <QRect>

namespace kd {

// Where a window dragged to `window` comes to rest: an edge within `distance` pixels of an edge
// of `screen` sticks to it, on each axis independently.
QPoint SnapToEdges(const QRect& window, const QRect& screen, int distance);

}  // namespace kd

namespace kd {

// The window edges a point of a window of `size` grabs: those within `margin` pixels of it.
Qt::Edges EdgesAt(QPoint point, QSize size, int margin);

// A window's geometry after its `edges` were dragged by `delta` from `start`; it never gets
// smaller than `minimum`, and the edges that were not grabbed stay where they were.
QRect ResizedGeometry(const QRect& start, Qt::Edges edges, QPoint delta, QSize minimum);

}  // namespace kd
