#include "report_window.h"

#include <QCloseEvent>

namespace kd {

ReportWindow::ReportWindow(const QString& caption, QSize client_size, const KeyImage& image, Dialogs& dialogs)
    : SkinnedWindow(caption, client_size), key_image_(image), dialogs_(dialogs) {}

void ReportWindow::closeEvent(QCloseEvent* event) {
  // Hidden, not destroyed: the window lives as long as the program.
  event->accept();
  Q_EMIT Closed();
}

}  // namespace kd
