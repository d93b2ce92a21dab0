#include "report_grid.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace kd {

namespace {

QString Text(const TextTable& table, int column, int row) { return QString::fromStdString(table.GetCellEx(column, row)); }

QFont BoldFont(QFont font) {
  font.setBold(true);
  return font;
}

}  // namespace

TextTableModel::TextTableModel(const TextTable& table, QObject* parent) : QAbstractTableModel(parent), table_(table) {}

int TextTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(0, table_.RowCount() - table_.FixedRows());
}

int TextTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : table_.ColCount(); }

QVariant TextTableModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return Text(table_, index.column(), index.row() + table_.FixedRows());
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || table_.FixedRows() == 0 || section >= table_.ColCount()) return {};
  if (role == Qt::DisplayRole) return Text(table_, section, 0);
  return {};
}

void TextTableModel::Reload() {
  beginResetModel();
  endResetModel();
}

ReportGrid::ReportGrid(const TextTable& table, QWidget* parent)
    : QTableView(parent), table_(table), model_(new TextTableModel(table, this)) {
  setObjectName("ReportGrid");
  setModel(model_);
  QFont font(QStringLiteral("Tahoma"));
  font.setPointSize(8);
  setFont(font);
  horizontalHeader()->setFont(BoldFont(font));

  // Display only; the window's own scroll bars move it.
  setEnabled(false);
  setFocusPolicy(Qt::NoFocus);
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  // A disabled view would grey its text; the report must stay readable.
  QPalette readable = palette();
  for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText, QPalette::Base, QPalette::Window}) {
    readable.setColor(QPalette::Disabled, role, readable.color(QPalette::Active, role));
  }
  setPalette(readable);
  horizontalHeader()->setPalette(readable);

  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  verticalHeader()->setMinimumSectionSize(kRowHeight);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setFixedHeight(kRowHeight);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setVisible(table.FixedRows() > 0);
  setShowGrid(true);
  setGridStyle(Qt::SolidLine);
  // The skin's font rule would otherwise take the header's bold away.
  setStyleSheet(QStringLiteral("QTableView { gridline-color: silver; }"
                               "QHeaderView { font-weight: bold; }"
                               "QHeaderView::section { border: none; border-right: 1px solid silver;"
                               " border-bottom: 1px solid silver; padding-left: 2px; }"));
}

void ReportGrid::Reload() {
  model_->Reload();
  horizontalHeader()->setVisible(table_.FixedRows() > 0);
}

void ReportGrid::SetColumnWidths(std::initializer_list<int> widths) {
  int column = 0;
  for (int width : widths) setColumnWidth(column++, width);
}

void ReportGrid::AutoSizeColumns(int padding) {
  const QFontMetrics body(font());
  const QFontMetrics header(horizontalHeader()->font());
  // Measuring a text is what costs; a column repeats many of its texts, so each is measured once.
  std::unordered_set<std::string_view> measured;
  for (int column = 0; column < table_.ColCount(); ++column) {
    int widest = 0;
    measured.clear();
    for (int row = 0; row < table_.RowCount(); ++row) {
      const std::string& text = table_.GetCellEx(column, row);
      if (row < table_.FixedRows()) {
        widest = std::max(widest, header.horizontalAdvance(QString::fromStdString(text)));
      } else if (measured.insert(text).second) {
        widest = std::max(widest, body.horizontalAdvance(QString::fromStdString(text)));
      }
    }
    setColumnWidth(column, widest + padding);
  }
}

int ReportGrid::ColumnsWidth() const {
  int total = 0;
  for (int column = 0; column < table_.ColCount(); ++column) total += columnWidth(column);
  return total;
}

}  // namespace kd
