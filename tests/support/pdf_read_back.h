#pragma once

#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "reports/text_table.h"
#include "support/run_command.h"

namespace kd::test {

// Poppler's tools (poppler-utils) and qpdf read a PDF back the way a reader would.
inline bool HavePdfTools() {
#ifdef _WIN32
  return false;  // Debian's programs
#endif
  return std::filesystem::exists("/usr/bin/pdftotext") && std::filesystem::exists("/usr/bin/pdfinfo") &&
         std::filesystem::exists("/usr/bin/pdffonts") && std::filesystem::exists("/usr/bin/pdfimages") &&
         std::filesystem::exists("/usr/bin/qpdf");
}

// The text pdftotext finds, laid out as on the page; pages end with a form feed.
inline std::string PdfText(const std::filesystem::path& pdf) {
  return RunCommand("pdftotext -layout -enc UTF-8 " + ShellQuote(pdf.string()) + " -").output;
}

inline std::vector<std::string> PdfPages(const std::filesystem::path& pdf) {
  std::vector<std::string> pages;
  const std::string text = PdfText(pdf);
  for (std::size_t start = 0, end; (end = text.find('\f', start)) != std::string::npos; start = end + 1) {
    pages.push_back(text.substr(start, end - start));
  }
  return pages;
}

// The page count pdfinfo gives, or nothing.
inline std::optional<int> PdfPageCount(const std::filesystem::path& pdf) {
  const std::string info = RunCommand("pdfinfo " + ShellQuote(pdf.string())).output;
  std::smatch match;
  if (!std::regex_search(info, match, std::regex("Pages:\\s+(\\d+)"))) return std::nullopt;
  return std::stoi(match[1]);
}

inline std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The first cell of rows [first_row, table end) whose text (without its outer blanks) is not
// found in `text` after the previous one's, or nothing when every cell is there in table order.
// Where a cell is set on several lines, each of its words is looked for in turn.
inline std::optional<std::string> MissingCell(const std::string& text, const TextTable& table, int first_row = 0) {
  std::size_t at = 0;
  for (int row = first_row; row < table.RowCount(); ++row) {
    for (int column = 0; column < table.ColCount(); ++column) {
      const std::string cell = Trim(table.GetCellEx(column, row));
      if (cell.empty()) continue;
      if (const std::size_t found = text.find(cell, at); found != std::string::npos) {
        at = found + cell.size();
        continue;
      }
      std::size_t word_at = at;
      for (std::size_t start = 0; start < cell.size();) {
        std::size_t end = cell.find(' ', start);
        if (end == std::string::npos) end = cell.size();
        const std::string word = cell.substr(start, end - start);
        start = end + 1;
        if (word.empty()) continue;
        const std::size_t found = text.find(word, word_at);
        if (found == std::string::npos) {
          return "row " + std::to_string(row) + ", column " + std::to_string(column) + ": \"" + cell + "\"";
        }
        word_at = found + word.size();
      }
      at = word_at;
    }
  }
  return std::nullopt;
}

// Whether a line of `text` has `label`, then blanks only, then `value`.
inline bool HasLabelledValue(const std::string& text, const std::string& label, const std::string& value) {
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    for (std::size_t at = line.find(label); at != std::string::npos; at = line.find(label, at + 1)) {
      const std::size_t after = at + label.size();
      const std::size_t next = line.find_first_not_of(' ', after);
      if (next > after && next != std::string::npos && line.compare(next, value.size(), value) == 0) return true;
    }
  }
  return false;
}

// The pictures pdfimages lists: page, width and height of each.
struct PdfImage {
  int page, width, height;
  friend bool operator==(const PdfImage&, const PdfImage&) = default;
};
inline std::vector<PdfImage> PdfImages(const std::filesystem::path& pdf) {
  const std::string list = RunCommand("pdfimages -list " + ShellQuote(pdf.string())).output;
  std::vector<PdfImage> images;
  const std::regex row("^\\s*(\\d+)\\s+\\d+\\s+image\\s+(\\d+)\\s+(\\d+)");
  std::size_t start = 0;
  for (std::size_t end; (end = list.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = list.substr(start, end - start);
    std::smatch match;
    if (std::regex_search(line, match, row)) images.push_back({std::stoi(match[1]), std::stoi(match[2]), std::stoi(match[3])});
  }
  return images;
}

}  // namespace kd::test
