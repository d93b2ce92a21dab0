#include <algorithm>
#include <vector>

#include "text_encoding.h"
#include "writers.h"

namespace kd {

namespace {

constexpr int kTwipsPerCharacter = 110;
constexpr int kCellMarginTwips = 240;

void AppendEscaped(std::string& out, std::string_view text) {
  for (char32_t cp : DecodeUtf8(text)) {
    if (cp == '\\' || cp == '{' || cp == '}') {
      out += '\\';
      out += static_cast<char>(cp);
    } else if (cp >= 0x20 && cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x20) {
      out += ' ';  // a control character has no place in a cell
    } else {
      // \uN takes a signed 16-bit N, one per UTF-16 unit, each followed by a one-byte fallback
      // in the document's code page for readers that do not know \u.
      const std::u16string units = cp < 0x10000 ? std::u16string(1, static_cast<char16_t>(cp))
                                                 : std::u16string{static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)),
                                                                  static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF))};
      for (char16_t unit : units) {
        out += "\\u" + std::to_string(static_cast<std::int16_t>(unit));
        const std::uint8_t fallback = ToCp1251(cp);
        if (fallback >= 0x80) {
          static const char kHex[] = "0123456789abcdef";
          out += "\\'";
          out += kHex[fallback >> 4];
          out += kHex[fallback & 0xF];
        } else {
          out += '?';
        }
      }
    }
  }
}

}  // namespace

std::string WriteRtf(const TextTable& table) {
  std::vector<int> right_edges;
  int edge = 0;
  for (int column = 0; column < table.ColCount(); ++column) {
    std::size_t widest = 1;
    for (int row = 0; row < table.RowCount(); ++row) {
      widest = std::max(widest, DecodeUtf8(table.GetCellEx(column, row)).size());
    }
    edge += static_cast<int>(widest) * kTwipsPerCharacter + kCellMarginTwips;
    right_edges.push_back(edge);
  }

  std::string out =
      "{\\rtf1\\ansi\\ansicpg1251\\deff0\\uc1\r\n"
      "{\\fonttbl{\\f0\\fswiss\\fcharset204 Tahoma;}}\r\n"
      "\\paperw16838\\paperh11906\\margl850\\margr850\\margt850\\margb850\\landscape\r\n"
      "\\pard\\plain\\f0\\fs16\r\n";
  std::string row_definition = "\\trowd\\trgaph70\\trleft0";
  for (int right : right_edges) {
    row_definition +=
        "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx" +
        std::to_string(right);
  }
  for (int row = 0; row < table.RowCount(); ++row) {
    out += row_definition;
    if (row < table.FixedRows()) out += "\\trhdr";
    out += "\r\n";
    for (int column = 0; column < table.ColCount(); ++column) {
      out += "\\pard\\intbl\\plain\\f0\\fs16";
      if (row < table.FixedRows()) out += "\\b";
      out += ' ';
      AppendEscaped(out, table.GetCellEx(column, row));
      out += "\\cell\r\n";
    }
    out += "\\row\r\n";
  }
  out += "\\pard\\par\r\n}\r\n";
  return out;
}

}  // namespace kd
