#include "report_grid.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QScrollBar>
#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace kd {

namespace {

QString Text(const TextTable& table, int column, int row) { return QString::fromStdString(table.GetCellEx(column, row)); }

QFont BoldFont(QFont font) {
  font.setBold(true);
  return font;
}

// Report texts are mostly digits: block numbers, dates, times, loads. In the usual UI fonts every
// digit has the same advance and kerns alike against its neighbours; where the font shows that,
// a text is as wide as its shape, the same text with each digit made "0", and texts of one shape
// need one measurement. Kerning between pairs is the only context such fonts apply to digits;
// anything the check cannot vouch for keeps its own text and is measured as it is.
class DigitBlindWidths {
 public:
  explicit DigitBlindWidths(const QFont& font) : metrics_(font) {
    ascii_neutral_.fill(-1);
    // Every digit as wide as "0", and every pair of digits as wide as "00".
    const qreal zero = metrics_.horizontalAdvance(QLatin1Char('0'));
    for (char digit = '0'; digit <= '9' && digits_alike_; ++digit) {
      digits_alike_ = metrics_.horizontalAdvance(QLatin1Char(digit)) == zero && Neutral(std::string_view(&digit, 1));
    }
  }

  // The text with its digits made "0", or the text itself where that might change its width.
  std::string Shape(const std::string& text) {
    std::string shape = text;
    bool any_digit = false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
      if (!IsDigit(shape[i])) continue;
      any_digit = true;
      if (!digits_alike_ || !Neutral(CodePointBefore(text, i)) || !Neutral(CodePointAfter(text, i))) return text;
      shape[i] = '0';
    }
    return any_digit ? shape : text;
  }

 private:
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  // The UTF-8 of the character ending just before byte i, or "" at the start.
  static std::string_view CodePointBefore(const std::string& text, std::size_t i) {
    if (i == 0) return {};
    std::size_t start = i - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    return std::string_view(text).substr(start, i - start);
  }

  // The UTF-8 of the character starting just after byte i, or "" at the end.
  static std::string_view CodePointAfter(const std::string& text, std::size_t i) {
    std::size_t end = i + 1;
    if (end >= text.size()) return {};
    do ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80);
    return std::string_view(text).substr(i + 1, end - i - 1);
  }

  // Whether every digit is as wide beside `neighbour`, on either side, as "0" is.
  bool Neutral(std::string_view neighbour) {
    if (neighbour.empty()) return true;
    // Neighbours are mostly ASCII (":", "-", digits): those are looked up by their byte.
    const bool ascii = neighbour.size() == 1 && static_cast<unsigned char>(neighbour[0]) < 0x80;
    std::int8_t& ascii_known = ascii_neutral_[ascii ? static_cast<unsigned char>(neighbour[0]) : 0];
    if (ascii && ascii_known >= 0) return ascii_known == 1;
    if (!ascii) {
      const auto known = neutral_.find(std::string(neighbour));
      if (known != neutral_.end()) return known->second;
    }
    const QString n = QString::fromUtf8(neighbour.data(), static_cast<qsizetype>(neighbour.size()));
    const qreal before = metrics_.horizontalAdvance(n + QLatin1Char('0'));
    const qreal after = metrics_.horizontalAdvance(QLatin1Char('0') + n);
    bool neutral = true;
    for (char digit = '1'; digit <= '9' && neutral; ++digit) {
      neutral = metrics_.horizontalAdvance(n + QLatin1Char(digit)) == before &&
                metrics_.horizontalAdvance(QLatin1Char(digit) + n) == after;
    }
    if (ascii) {
      ascii_known = neutral ? 1 : 0;
    } else {
      neutral_.emplace(neighbour, neutral);
    }
    return neutral;
  }

  QFontMetricsF metrics_;
  bool digits_alike_ = true;
  std::array<std::int8_t, 128> ascii_neutral_;  // -1 not yet known
  std::unordered_map<std::string, bool> neutral_;
};

// The header row, struck twice a pixel apart: Wine's Tahoma Bold, which stands in for Windows'
// own, draws as thin as the regular face at 8 points. Its widths stay those of the bold face.
class BoldHeader : public QHeaderView {
 public:
  explicit BoldHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logical_index) const override {
    QHeaderView::paintSection(painter, rect, logical_index);
    if (!rect.isValid()) return;
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logical_index;
    option.text = model()->headerData(logical_index, Qt::Horizontal, Qt::DisplayRole).toString();
    const QRect label = style()->subElementRect(QStyle::SE_HeaderLabel, &option, this);
    painter->save();
    painter->setClipRect(rect.adjusted(0, 0, -2, 0));
    painter->setFont(font());
    painter->setPen(palette().color(QPalette::Active, QPalette::ButtonText));
    painter->drawText(label.translated(1, 0), static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter), option.text);
    painter->restore();
  }
};

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
  setHorizontalHeader(new BoldHeader(this));
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
                               // The section's own rule sets the font it draws with: bold, as it is measured.
                               "QHeaderView::section { border: none; border-right: 1px solid silver;"
                               " border-bottom: 1px solid silver; padding-left: 2px; font-weight: bold; }"));
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
  DigitBlindWidths widths(font());
  // Measuring a text is what costs. A column repeats many of its texts, and many more differ only
  // in their digits; each text, and each such shape, is measured once.
  std::unordered_set<std::string_view> seen;
  std::unordered_set<std::string> measured;
  for (int column = 0; column < table_.ColCount(); ++column) {
    int widest = 0;
    seen.clear();
    measured.clear();
    for (int row = 0; row < table_.RowCount(); ++row) {
      const std::string& text = table_.GetCellEx(column, row);
      if (row < table_.FixedRows()) {
        widest = std::max(widest, header.horizontalAdvance(QString::fromStdString(text)));
        continue;
      }
      if (!seen.insert(text).second) continue;
      std::string shape = widths.Shape(text);
      if (!measured.insert(shape).second) continue;
      widest = std::max(widest, body.horizontalAdvance(QString::fromStdString(shape)));
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

namespace kd {

void ReportGrid::updateGeometries() {
  QTableView::updateGeometries();
  // Qt stops scrolling once the last row is in view, and at its bar's maximum it shows the last
  // page; our bars may bring any row to the top, so the inner range reaches one beyond the last.
  verticalScrollBar()->setRange(0, model_->rowCount());
  horizontalScrollBar()->setRange(0, model_->columnCount());
}

void ReportGrid::SetTopRow(int row) {
  // A table rebuilt in this same event has not been laid out yet; its range must be current.
  executeDelayedItemsLayout();
  verticalScrollBar()->setValue(std::clamp(row, 0, std::max(0, model_->rowCount() - 1)));
}

void ReportGrid::SetLeftColumn(int column) {
  executeDelayedItemsLayout();
  horizontalScrollBar()->setValue(std::clamp(column, 0, std::max(0, model_->columnCount() - 1)));
}

int ReportGrid::TopRow() const { return verticalScrollBar()->value(); }
int ReportGrid::LeftColumn() const { return horizontalScrollBar()->value(); }

}  // namespace kd
