#pragma once

#include <memory>

class QApplication;

namespace kd::cli {

// A QApplication for the commands that draw charts: on Qt's offscreen platform unless one is
// chosen, so no display is needed, and with Qt's own notes kept off standard error.
std::unique_ptr<QApplication> OffscreenApplication();

}  // namespace kd::cli
