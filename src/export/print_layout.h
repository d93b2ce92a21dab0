#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "reports/report_heading.h"
#include "reports/text_table.h"
#include "true_type.h"

namespace kd {

// Paper in points (1/72 inch).
struct PaperSize {
  double width;
  double height;
};
inline constexpr PaperSize kA4Paper{595.276, 841.890};
inline constexpr PaperSize kLetterPaper{612.0, 792.0};

// What the printed formats need beyond the table: the heading, the fonts' bytes (DejaVu Sans and
// its bold face; the caller reads them, the writers read no files), the paper, and whom to tell
// of the pages written so far.
struct PrintSetup {
  const ReportHeading* heading = nullptr;
  std::string_view regular_font;
  std::string_view bold_font;
  PaperSize paper = kA4Paper;
  std::function<void(int done, int total)> progress;
};

enum class Face : std::uint8_t { kRegular, kBold };

// The two faces a printed report is set in.
struct PrintFonts {
  const TrueTypeFont& regular;
  const TrueTypeFont& bold;
  const TrueTypeFont& Of(Face face) const { return face == Face::kBold ? bold : regular; }
};

// Both faces read from their bytes, or why they cannot be. The faces borrow the bytes, which
// must outlive them: the fonts are large, and the callers keep them anyway.
struct PrintFontSet {
  TrueTypeFont regular;
  TrueTypeFont bold;
  PrintFonts View() const { return {regular, bold}; }
};
Result<PrintFontSet> LoadPrintFonts(std::string_view regular, std::string_view bold);

// A page is a list of drawing operations in points from the paper's top-left corner, y down.
// The PDF writer and the printer replay the same list, so print and file are one document.

// One line of text: its glyphs set one after another by their advances, from x on the baseline y.
struct TextOp {
  Face face;
  float size;
  double x;
  double y;
  std::vector<std::uint16_t> glyphs;
  std::u32string text;  // the characters, one per glyph
  float gray = 0.0f;    // 0 black, 1 white
};
struct LineOp {
  double x1, y1, x2, y2;
  float width;
  float gray;
};
struct FillOp {
  double x, y, width, height;
  float gray;
};
// A picture scaled into a box; it points into the heading, which outlives the pages.
struct ImageOp {
  double x, y, width, height;
  const ReportPicture* picture;
};
using DrawOp = std::variant<TextOp, LineOp, FillOp, ImageOp>;

struct PrintedPage {
  std::vector<DrawOp> ops;
};

// Lays the report out on pages of `paper`: on the first page the title block, the log's summary
// and chart where the heading asks for them, then the table
// spanning the text width, its fixed rows repeated at the top of every page; a running head with
// the crane and the limiter on every page and "Стр. N из M" at its foot; a signature line at the
// end where the heading asks for one.
std::vector<PrintedPage> LayOutReport(const TextTable& table, const ReportHeading& heading, const PrintFonts& fonts,
                                      PaperSize paper);
// The same pages, handed to `page` one at a time as each is complete (the page is reused after);
// `count` hears how many there will be before the first.
void LayOutReport(const TextTable& table, const ReportHeading& heading, const PrintFonts& fonts, PaperSize paper,
                  const std::function<void(int count)>& count, const std::function<void(const PrintedPage&)>& page);

// The width of a text in points.
double TextWidth(std::u32string_view text, const TrueTypeFont& font, double size);

}  // namespace kd
