#include <algorithm>
#include <unordered_map>
#include <vector>

#include "text_encoding.h"
#include "writers.h"

namespace kd {

namespace {

constexpr int kTwipsPerCharacter = 110;
constexpr int kCellMarginTwips = 240;
// A4 and the margins, in twips.
constexpr int kPaperShortTwips = 11906;
constexpr int kPaperLongTwips = 16838;
constexpr int kPageMarginTwips = 850;

void AppendUnicode(std::string& out, char32_t cp) {
  static const char kHex[] = "0123456789abcdef";
  // \uN takes a signed 16-bit N, one per UTF-16 unit, each followed by a one-byte fallback in the
  // document's code page for readers that do not know \u.
  const std::uint8_t fallback = ToCp1251(cp);
  const auto append_unit = [&](char16_t unit) {
    out += "\\u";
    out += std::to_string(static_cast<std::int16_t>(unit));
    if (fallback >= 0x80) {
      out += "\\'";
      out += kHex[fallback >> 4];
      out += kHex[fallback & 0xF];
    } else {
      out += '?';
    }
  };
  for (char16_t unit : Utf16Units(cp)) append_unit(unit);
}

std::string Escaped(std::string_view text) {
  std::string out;
  for (char32_t cp : DecodeUtf8(text)) {
    if (cp == '\\' || cp == '{' || cp == '}') {
      out += '\\';
      out += static_cast<char>(cp);
    } else if (cp >= 0x20 && cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x20) {
      out += ' ';  // a control character has no place in a cell
    } else {
      AppendUnicode(out, cp);
    }
  }
  return out;
}

}  // namespace

std::string WriteRtf(const TextTable& table) {
  std::vector<int> natural_edges;
  int edge = 0;
  for (int column = 0; column < table.ColCount(); ++column) {
    std::size_t widest = 1;
    for (int row = 0; row < table.RowCount(); ++row) {
      widest = std::max(widest, CodePointCount(table.GetCellEx(column, row)));
    }
    edge += static_cast<int>(widest) * kTwipsPerCharacter + kCellMarginTwips;
    natural_edges.push_back(edge);
  }
  // Portrait where the columns fit across it, else landscape; either way the table spans the text
  // width, its columns widened (or narrowed) in proportion.
  const bool portrait = edge <= kPaperShortTwips - 2 * kPageMarginTwips;
  const int text_width = (portrait ? kPaperShortTwips : kPaperLongTwips) - 2 * kPageMarginTwips;
  std::vector<int> right_edges;
  for (int natural : natural_edges) {
    right_edges.push_back(static_cast<int>((static_cast<long long>(natural) * text_width + edge / 2) / std::max(edge, 1)));
  }

  std::string out =
      "{\\rtf1\\ansi\\ansicpg1251\\deff0\\uc1\r\n"
      "{\\fonttbl{\\f0\\fswiss\\fcharset204 Tahoma;}}\r\n";
  const std::string margin = std::to_string(kPageMarginTwips);
  out += "\\paperw" + std::to_string(portrait ? kPaperShortTwips : kPaperLongTwips) + "\\paperh" +
         std::to_string(portrait ? kPaperLongTwips : kPaperShortTwips) + "\\margl" + margin + "\\margr" + margin +
         "\\margt" + margin + "\\margb" + margin + (portrait ? "\r\n" : "\\landscape\r\n");
  // Every row repeats its definition: that is how RTF tables are made. Each cell has its own
  // borders, which is what every word processor draws.
  std::string row_definition = "\\trowd\\trgaph70\\trleft0";
  for (int right : right_edges) {
    row_definition += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx";
    row_definition += std::to_string(right);
  }
  // Event logs repeat most of their texts; each is escaped once.
  std::unordered_map<std::string_view, std::string> escaped;
  const auto append_row = [&](int row) {
    const bool header = row < table.FixedRows();
    out += row_definition;
    out += header ? "\r\n\\pard\\intbl\\plain\\f0\\fs16\\b " : "\r\n\\pard\\intbl\\plain\\f0\\fs16 ";
    for (int column = 0; column < table.ColCount(); ++column) {
      const std::string& text = table.GetCellEx(column, row);
      auto it = escaped.find(text);
      if (it == escaped.end()) it = escaped.emplace(text, Escaped(text)).first;
      out += it->second;
      out += "\\cell ";
    }
    out += "\\row\r\n";
  };
  // The header rows stand on top of every page. A table header row (\trhdr) would do that in
  // Word, but LibreOffice's RTF import drops the mark; the page header of pages 2 and on holds
  // them in both, lined up with the table below (same text width, same cell edges). Page 1 has
  // them at the top of the table itself.
  if (table.FixedRows() > 0) {
    out += "\\titlepg{\\headerf\\pard\\plain\\f0\\fs16\\par}{\\header\r\n";
    for (int row = 0; row < table.FixedRows(); ++row) append_row(row);
    out += "\\pard\\plain\\f0\\fs2\\par}\r\n";
  }
  out += "\\pard\\plain\\f0\\fs16\r\n";
  for (int row = 0; row < table.RowCount(); ++row) append_row(row);
  out += "\\pard\\par\r\n}\r\n";
  return out;
}

}  // namespace kd
