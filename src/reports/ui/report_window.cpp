#include "report_window.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QScrollBar>

#include "report_grid.h"

namespace kd {

namespace {

QScrollBar* MakeScrollBar(Qt::Orientation orientation, const char* name, QWidget* parent) {
  auto* bar = new QScrollBar(orientation, parent);
  bar->setObjectName(name);
  bar->setFocusPolicy(Qt::NoFocus);
  bar->setRange(0, 100);
  bar->setSingleStep(1);
  bar->setPageStep(1);
  return bar;
}

}  // namespace

ReportWindow::ReportWindow(const QString& caption, QSize client_size, QSize grid_size, TextTable table,
                           const KeyImage& image, Dialogs& dialogs)
    : SkinnedWindow(caption, client_size),
      bsSkinScrollBar_V(MakeScrollBar(Qt::Vertical, "bsSkinScrollBar_V", Client())),
      bsSkinScrollBar_H(MakeScrollBar(Qt::Horizontal, "bsSkinScrollBar_H", Client())),
      table_(std::move(table)),
      key_image_(image),
      dialogs_(dialogs),
      menu_bar_(new QMenuBar(Client())),
      grid_(new ReportGrid(table_, Client())) {
  menu_bar_->setObjectName("bsSkinMainMenuBar1");
  menu_bar_->setGeometry(0, 0, client_size.width(), kBarHeight);
  grid_->setGeometry(0, kBarHeight, grid_size.width(), grid_size.height());
  bsSkinScrollBar_V->setGeometry(grid_size.width(), kBarHeight, kScrollBarSize, grid_size.height());
  bsSkinScrollBar_H->setGeometry(0, client_size.height() - kScrollBarSize, client_size.width(), kScrollBarSize);
}

ReportWindow::~ReportWindow() {
  // The grid shows table_, which goes before QWidget's destructor would delete the grid (and
  // hide it, asking the table for cells).
  delete grid_;
}

void ReportWindow::FitWidthToGrid() {
  const int width = grid_->width() + kScrollBarSize;
  SetClientWidth(width);
  menu_bar_->resize(width, kBarHeight);
  bsSkinScrollBar_V->move(width - kScrollBarSize, kBarHeight);
  bsSkinScrollBar_H->resize(width, kScrollBarSize);
}

void ReportWindow::closeEvent(QCloseEvent* event) {
  // Hidden, not destroyed: the window lives as long as the program.
  event->accept();
  Q_EMIT Closed();
}

}  // namespace kd
