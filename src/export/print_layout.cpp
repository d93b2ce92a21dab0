#include "print_layout.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "reports/summary.h"
#include "text_encoding.h"

namespace kd {

namespace {

constexpr double kMillimetre = 72.0 / 25.4;
// A wider left margin leaves room to punch and file the sheets.
constexpr double kLeftMargin = 25 * kMillimetre;
constexpr double kRightMargin = 15 * kMillimetre;
constexpr double kTopMargin = 12 * kMillimetre;
constexpr double kBottomMargin = 12 * kMillimetre;

constexpr float kHeadSize = 7.5f;      // running head and foot
constexpr float kTitleSize = 15.0f;
constexpr float kTitleBlockSize = 9.0f;
constexpr float kCellSize = 8.0f;
constexpr float kSmallestSize = 6.0f;
constexpr double kCellPadX = 4.0;
constexpr double kCellPadY = 2.0;
constexpr double kHeadBand = 20.0;     // from the top margin to the table area
constexpr double kFootBand = 18.0;

constexpr float kRuleGray = 0.45f;
constexpr float kGridGray = 0.55f;
constexpr float kHeaderFill = 0.88f;
constexpr float kLabelGray = 0.3f;

std::u32string Trimmed(std::u32string text) {
  const auto blank = [](char32_t c) { return c == U' ' || c == U'\t'; };
  while (!text.empty() && blank(text.back())) text.pop_back();
  std::size_t first = 0;
  while (first < text.size() && blank(text[first])) ++first;
  return text.substr(first);
}

double LineHeight(const TrueTypeFont& font, double size) {
  return size * (font.Ascent() - font.Descent()) / font.UnitsPerEm();
}

double AscentOf(const TrueTypeFont& font, double size) { return size * font.Ascent() / font.UnitsPerEm(); }

TextOp Text(const PrintFonts& fonts, Face face, float size, double x, double y, std::u32string text, float gray = 0) {
  TextOp op{face, size, x, y, {}, std::move(text), gray};
  op.glyphs.reserve(op.text.size());
  const TrueTypeFont& font = fonts.Of(face);
  for (char32_t c : op.text) op.glyphs.push_back(font.GlyphOf(c));
  return op;
}

// Breaks a text into lines no wider than `width`: at blanks where it can, inside a word where a
// word alone is too wide.
std::vector<std::u32string> Wrap(const std::u32string& text, const TrueTypeFont& font, double size, double width) {
  if (TextWidth(text, font, size) <= width) return {text};
  std::vector<std::u32string> lines;
  std::u32string line;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t end = text.find(U' ', i);
    if (end == std::u32string::npos) end = text.size();
    const std::u32string word = text.substr(i, end - i);
    std::u32string candidate = line.empty() ? word : line + U' ' + word;
    if (TextWidth(candidate, font, size) <= width) {
      line = std::move(candidate);
    } else {
      if (!line.empty()) lines.push_back(std::move(line));
      line.clear();
      for (char32_t c : word) {
        if (!line.empty() && TextWidth(line + c, font, size) > width) {
          lines.push_back(std::move(line));
          line.clear();
        }
        line += c;
      }
    }
    i = end + 1;
  }
  if (!line.empty() || lines.empty()) lines.push_back(std::move(line));
  return lines;
}

// Column widths that fill `total`: each column gets its widest text, and what is left over is
// shared out evenly; when the texts are too wide together, the narrow columns keep their width
// and the wide ones share the rest equally and wrap.
std::vector<double> ColumnWidths(const std::vector<double>& natural, double total) {
  const double sum = std::accumulate(natural.begin(), natural.end(), 0.0);
  std::vector<double> widths = natural;
  if (sum <= total) {
    const double extra = (total - sum) / static_cast<double>(natural.size());
    for (double& w : widths) w += extra;
    return widths;
  }
  std::vector<bool> fixed(natural.size(), false);
  double left = total;
  std::size_t open = natural.size();
  for (bool changed = true; changed && open;) {
    changed = false;
    const double share = left / static_cast<double>(open);
    for (std::size_t c = 0; c < natural.size(); ++c) {
      if (!fixed[c] && natural[c] <= share) {
        fixed[c] = true;
        left -= natural[c];
        --open;
        changed = true;
      }
    }
  }
  for (std::size_t c = 0; c < natural.size(); ++c) {
    if (!fixed[c]) widths[c] = left / static_cast<double>(open);
  }
  return widths;
}

// One table row ready to place: each cell's lines, and the row's height.
struct RowLayout {
  std::vector<std::vector<std::u32string>> cells;
  double height = 0;
  bool header = false;
};

class Layout {
 public:
  Layout(const TextTable& table, const ReportHeading& heading, const PrintFonts& fonts, PaperSize paper)
      : table_(table), heading_(heading), fonts_(fonts), paper_(paper) {}

  // Lays the pages out twice: first only to count them, for the foot ("Стр. 5 из 87"), then
  // handing each to `sink` as it is complete, so one page at a time is held.
  void Run(const std::function<void(int count)>& count, const std::function<void(const PrintedPage&)>& sink) {
    PrepareTable();
    counting_ = true;
    Pass();
    total_ = pages_done_;
    if (count) count(total_);
    counting_ = false;
    sink_ = &sink;
    Pass();
  }

 private:
  void Pass() {
    pages_done_ = 0;
    started_ = false;
    NewPage();
    TitleBlock();
    if (heading_.event_summary) SummaryBlock();
    if (const auto& chart = heading_.chart; chart && chart->width > 0 && chart->height > 0 &&
                                            chart->rgb.size() == std::size_t{3} * chart->width * chart->height) {
      ChartBlock(*chart);
    }
    for (int row = table_.FixedRows(); row < table_.RowCount(); ++row) PlaceRow(RowAt(row));
    // An empty log still shows its header, so the page says there is nothing under it.
    if (table_.RowCount() == table_.FixedRows()) {
      table_top_ = y_;
      for (const RowLayout& header : header_rows_) DrawRow(header);
    }
    CloseTable();
    if (heading_.signature_line) SignatureLine();
    FinishPage();
  }

  double Left() const { return kLeftMargin; }
  double Right() const { return paper_.width - kRightMargin; }
  double TableTop() const { return kTopMargin + kHeadBand; }
  double Bottom() const { return paper_.height - kBottomMargin - kFootBand; }
  std::vector<DrawOp>& Ops() { return page_.ops; }

  void PrepareTable() {
    const TrueTypeFont& regular = fonts_.regular;
    const TrueTypeFont& bold = fonts_.bold;
    const auto columns = static_cast<std::size_t>(table_.ColCount());
    std::vector<double> natural(columns, 0.0);
    for (int row = 0; row < table_.RowCount(); ++row) {
      const bool header = row < table_.FixedRows();
      for (int column = 0; column < table_.ColCount(); ++column) {
        const double w = TextWidth(CellText(column, row), header ? bold : regular, kCellSize);
        natural[static_cast<std::size_t>(column)] = std::max(natural[static_cast<std::size_t>(column)], w + 2 * kCellPadX);
      }
    }
    widths_ = ColumnWidths(natural, Right() - Left());
    // A log's cells are short codes under their heads; centred, they line up with them.
    centre_ = table_.FixedRows() > 0;
    for (int row = 0; row < table_.FixedRows(); ++row) header_rows_.push_back(RowAt(row));
    if (heading_.event_summary) summary_ = SummaryLines(Summarize(EventPoints(table_)));
  }

  std::u32string CellText(int column, int row) const { return Trimmed(DecodeUtf8(table_.GetCellEx(column, row))); }

  // A row is made ready when it is placed, not kept: a full log has thousands.
  RowLayout RowAt(int row) const {
    const TrueTypeFont& regular = fonts_.regular;
    const TrueTypeFont& bold = fonts_.bold;
    RowLayout layout;
    layout.header = row < table_.FixedRows();
    std::size_t lines = 1;
    for (int c = 0; c < table_.ColCount(); ++c) {
      const double inner = widths_[static_cast<std::size_t>(c)] - 2 * kCellPadX;
      layout.cells.push_back(Wrap(CellText(c, row), layout.header ? bold : regular, kCellSize, inner));
      lines = std::max(lines, layout.cells.back().size());
    }
    layout.height = static_cast<double>(lines) * LineHeight(regular, kCellSize) + 2 * kCellPadY;
    return layout;
  }

  void NewPage() {
    if (started_) {
      CloseTable();
      FinishPage();
    }
    started_ = true;
    page_.ops.clear();
    y_ = TableTop();
    table_top_ = -1;
  }

  void TitleBlock() {
    const TrueTypeFont& bold = fonts_.bold;
    const TrueTypeFont& regular = fonts_.regular;
    y_ += AscentOf(bold, kTitleSize);
    Ops().push_back(Text(fonts_, Face::kBold, kTitleSize, Left(), y_, DecodeUtf8(heading_.report_name)));
    y_ += kTitleSize * 0.6;

    const std::vector<HeadingLine> lines = TitleLines(heading_);
    double label_width = 0;
    for (const HeadingLine& line : lines) {
      label_width = std::max(label_width, TextWidth(DecodeUtf8(line.label), regular, kTitleBlockSize));
    }
    const double value_x = Left() + label_width + 8;
    const double line_height = LineHeight(regular, kTitleBlockSize) + 1.5;
    const double room = Right() - value_x;
    for (const HeadingLine& line : lines) {
      const std::u32string value = DecodeUtf8(line.value);
      // One word too long for the line (the fingerprint) is set smaller rather than broken, so that
      // it reads, and copies, in one piece.
      Face face = Face::kBold;
      float size = kTitleBlockSize;
      if (value.find(U' ') == std::u32string::npos && TextWidth(value, bold, size) > room) {
        face = Face::kRegular;
        const double fitting = size * room / TextWidth(value, regular, size);
        size = std::max(kSmallestSize, static_cast<float>(std::floor(std::min<double>(size, fitting) * 10) / 10));
      }
      const auto values = Wrap(value, fonts_.Of(face), size, room);
      y_ += line_height;
      Ops().push_back(Text(fonts_, Face::kRegular, kTitleBlockSize, Left(), y_, DecodeUtf8(line.label), kLabelGray));
      for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) y_ += line_height;
        Ops().push_back(Text(fonts_, face, size, value_x, y_, values[i]));
      }
    }
    y_ += 12;
  }

  // The log at a glance, as the chart window sums it up: label and value pairs in two columns,
  // the longer values (the peaks) in the first.
  void SummaryBlock() {
    const TrueTypeFont& regular = fonts_.regular;
    const TrueTypeFont& bold = fonts_.bold;
    const auto& lines = summary_;
    y_ += AscentOf(bold, kTitleBlockSize);
    Ops().push_back(Text(fonts_, Face::kBold, kTitleBlockSize, Left(), y_, DecodeUtf8("Сводка")));
    y_ -= AscentOf(bold, kTitleBlockSize);
    y_ += LineHeight(bold, kTitleBlockSize) + 2;
    const double line_height = LineHeight(regular, kCellSize) + 1;
    const std::size_t split = (lines.size() + 1) / 2;
    constexpr double kLabelGap = 6;
    constexpr double kColumnGap = 18;
    double x = Left();
    double bottom = y_;
    for (std::size_t begin = 0; begin < lines.size(); begin += split) {
      const std::size_t end = std::min(lines.size(), begin + split);
      double label_width = 0;
      double value_width = 0;
      for (std::size_t i = begin; i < end; ++i) {
        label_width = std::max(label_width, TextWidth(DecodeUtf8(lines[i].first), regular, kCellSize));
        value_width = std::max(value_width, TextWidth(DecodeUtf8(lines[i].second), bold, kCellSize));
      }
      const double value_x = x + label_width + kLabelGap;
      const double room = std::max(10.0, Right() - value_x);
      double y = y_;
      for (std::size_t i = begin; i < end; ++i) {
        y += line_height;
        Ops().push_back(Text(fonts_, Face::kRegular, kCellSize, x, y, DecodeUtf8(lines[i].first), kLabelGray));
        const auto values = Wrap(DecodeUtf8(lines[i].second), bold, kCellSize, room);
        for (std::size_t v = 0; v < values.size(); ++v) {
          if (v) y += line_height;
          Ops().push_back(Text(fonts_, Face::kBold, kCellSize, value_x, y, values[v]));
        }
      }
      bottom = std::max(bottom, y);
      x = value_x + value_width + kColumnGap;
    }
    y_ = bottom + 10;
  }

  // The chart the width of the text, its sides in proportion.
  void ChartBlock(const ReportPicture& chart) {
    const double width = Right() - Left();
    const double height = width * chart.height / chart.width;
    Ops().push_back(ImageOp{Left(), y_, width, height, &chart});
    y_ += height + 12;
  }

  void PlaceRow(const RowLayout& row) {
    const double header_height = HeaderHeight();
    // A page takes a row only together with the header above it.
    const bool needs_header = table_top_ < 0;
    const double needed = row.height + (needs_header ? header_height : 0);
    if (y_ + needed > Bottom() && !(needs_header && y_ == TableTop())) NewPage();
    if (table_top_ < 0) {
      table_top_ = y_;
      for (const RowLayout& header : header_rows_) DrawRow(header);
    }
    DrawRow(row);
  }

  double HeaderHeight() const {
    double h = 0;
    for (const RowLayout& header : header_rows_) h += header.height;
    return h;
  }

  void DrawRow(const RowLayout& row) {
    // Counting pages needs only where the rows end.
    if (counting_) {
      y_ += row.height;
      return;
    }
    const Face face = row.header ? Face::kBold : Face::kRegular;
    const TrueTypeFont& font = fonts_.Of(face);
    if (row.header) Ops().push_back(FillOp{Left(), y_, Right() - Left(), row.height, kHeaderFill});
    const double line_height = LineHeight(fonts_.regular, kCellSize);
    double x = Left();
    for (std::size_t c = 0; c < row.cells.size(); ++c) {
      double baseline = y_ + kCellPadY + AscentOf(fonts_.regular, kCellSize);
      for (const std::u32string& line : row.cells[c]) {
        if (!line.empty()) {
          const double inner = widths_[c] - 2 * kCellPadX;
          const double indent = centre_ ? std::max(0.0, (inner - TextWidth(line, font, kCellSize)) / 2) : 0.0;
          Ops().push_back(Text(fonts_, face, kCellSize, x + kCellPadX + indent, baseline, line));
        }
        baseline += line_height;
      }
      x += widths_[c];
    }
    y_ += row.height;
    row_edges_.push_back(y_);
  }

  // The grid of the rows placed on this page: a rule under each row, the outer frame, the
  // column separators.
  void CloseTable() {
    if (table_top_ < 0) return;
    auto& ops = Ops();
    ops.push_back(LineOp{Left(), table_top_, Right(), table_top_, 0.5f, kGridGray});
    for (double edge : row_edges_) ops.push_back(LineOp{Left(), edge, Right(), edge, 0.5f, kGridGray});
    double x = Left();
    ops.push_back(LineOp{x, table_top_, x, y_, 0.5f, kGridGray});
    for (double w : widths_) {
      x += w;
      ops.push_back(LineOp{x, table_top_, x, y_, 0.5f, kGridGray});
    }
    row_edges_.clear();
    table_top_ = -1;
  }

  void SignatureLine() {
    const TrueTypeFont& regular = fonts_.regular;
    const double height = 40;
    if (y_ + height > Bottom()) NewPage();
    y_ += height;
    const std::u32string label = DecodeUtf8(SignatureLabel());
    Ops().push_back(Text(fonts_, Face::kRegular, kTitleBlockSize, Left(), y_, label));
    const double line_x = Left() + TextWidth(label, regular, kTitleBlockSize) + 8;
    const double line_end = line_x + 170;
    Ops().push_back(LineOp{line_x, y_ + 2, line_end, y_ + 2, 0.6f, 0.0f});
    Ops().push_back(Text(fonts_, Face::kBold, kTitleBlockSize, line_end + 10, y_, DecodeUtf8(heading_.signature)));
  }

  void FinishPage() {
    if (!counting_) {
      Foot(pages_done_ + 1);
      (*sink_)(page_);
    }
    ++pages_done_;
  }

  // The running head and foot of a page.
  void Foot(int number) {
    const TrueTypeFont& regular = fonts_.regular;
    const std::u32string crane =
        DecodeUtf8("Кран: " + heading_.crane_name + "    Ограничитель № " + heading_.limiter_id);
    const std::u32string name = DecodeUtf8(heading_.report_name);
    const std::u32string printed = DecodeUtf8("Напечатано " + heading_.print_date);
    const double head_base = kTopMargin + AscentOf(regular, kHeadSize);
    const double head_rule = kTopMargin + LineHeight(regular, kHeadSize) + 2;
    const double foot_rule = paper_.height - kBottomMargin - LineHeight(regular, kHeadSize) - 4;
    const double foot_base = paper_.height - kBottomMargin - LineHeight(regular, kHeadSize) + AscentOf(regular, kHeadSize);
    auto& ops = Ops();
    const double name_width = TextWidth(name, regular, kHeadSize);
    const auto head = Wrap(crane, regular, kHeadSize, Right() - Left() - name_width - 12).front();
    ops.push_back(Text(fonts_, Face::kRegular, kHeadSize, Left(), head_base, head, kLabelGray));
    ops.push_back(Text(fonts_, Face::kRegular, kHeadSize, Right() - name_width, head_base, name, kLabelGray));
    ops.push_back(LineOp{Left(), head_rule, Right(), head_rule, 0.5f, kRuleGray});
    ops.push_back(LineOp{Left(), foot_rule, Right(), foot_rule, 0.5f, kRuleGray});
    ops.push_back(Text(fonts_, Face::kRegular, kHeadSize, Left(), foot_base, printed, kLabelGray));
    const std::u32string page =
        DecodeUtf8("Стр. " + std::to_string(number) + " из " + std::to_string(total_));
    ops.push_back(Text(fonts_, Face::kRegular, kHeadSize, Right() - TextWidth(page, regular, kHeadSize), foot_base,
                       page, kLabelGray));
  }

  const TextTable& table_;
  const ReportHeading& heading_;
  const PrintFonts& fonts_;
  PaperSize paper_;
  std::vector<double> widths_;
  bool centre_ = false;
  std::vector<RowLayout> header_rows_;
  std::vector<std::pair<std::string, std::string>> summary_;
  PrintedPage page_;
  bool started_ = false;
  bool counting_ = false;
  int pages_done_ = 0;
  int total_ = 0;
  const std::function<void(const PrintedPage&)>* sink_ = nullptr;
  double y_ = 0;
  double table_top_ = -1;
  std::vector<double> row_edges_;
};

}  // namespace

double TextWidth(std::u32string_view text, const TrueTypeFont& font, double size) {
  long units = 0;
  for (char32_t c : text) units += font.Advance(font.GlyphOf(c));
  return static_cast<double>(units) * size / font.UnitsPerEm();
}

Result<PrintFontSet> LoadPrintFonts(std::string_view regular, std::string_view bold) {
  Result<TrueTypeFont> r = TrueTypeFont::Borrow(regular);
  if (!r) return Failure{r.Reason()};
  Result<TrueTypeFont> b = TrueTypeFont::Borrow(bold);
  if (!b) return Failure{b.Reason()};
  return PrintFontSet{*std::move(r), *std::move(b)};
}

void LayOutReport(const TextTable& table, const ReportHeading& heading, const PrintFonts& fonts, PaperSize paper,
                  const std::function<void(int count)>& count, const std::function<void(const PrintedPage&)>& page) {
  Layout(table, heading, fonts, paper).Run(count, page);
}

std::vector<PrintedPage> LayOutReport(const TextTable& table, const ReportHeading& heading, const PrintFonts& fonts,
                                      PaperSize paper) {
  std::vector<PrintedPage> pages;
  LayOutReport(
      table, heading, fonts, paper, [&](int count) { pages.reserve(static_cast<std::size_t>(count)); },
      [&](const PrintedPage& page) { pages.push_back(page); });
  return pages;
}

}  // namespace kd
