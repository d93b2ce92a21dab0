#include "export/writers.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <filesystem>
#include <fstream>
#include <regex>

#include "export/compound_file.h"
#include "support/pdf_read_back.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace kd {
namespace {

namespace fs = std::filesystem;
using test::RunCommand;
using test::ShellQuote;

const char* const kAwkwardName = "<b>\"Кран\" {1}\\";

// The clients that read the files back are Debian's programs; a Windows build has none of them.
#ifdef _WIN32
const char* const kNoClients = "the clients that read files back (python3, LibreOffice) are Debian's";
#else
const char* const kNoClients = nullptr;
#endif

// A small report with everything a writer must get through: a bold header row, Cyrillic, markup
// and format characters typed by a user, blanks at both ends, empty cells, a character outside
// Windows-1251.
TextTable SmallTable() {
  const std::vector<std::vector<std::string>> rows = {
      {"Блок", "Дата", "Реле", "Датчик"},
      {"0000", "31-12", "Защита", "Норма "},
      {" Наименование крана, его номер:", kAwkwardName, "", "Ёё №5"},
      {"", "a,b;c 'x'", "&amp; </td>", "✓ ok"},
  };
  TextTable table(static_cast<int>(rows.size()), 4);
  table.SetFixedRows(1);
  for (int r = 0; r < table.RowCount(); ++r) {
    for (int c = 0; c < 4; ++c) table.SetCellEx(c, r, rows[r][c]);
  }
  return table;
}

// As large as a full event log, every text different, some long enough to cross the record
// boundaries of a workbook's string table.
TextTable BigTable() {
  TextTable table(4676, 11);
  table.SetFixedRows(1);
  for (int r = 0; r < table.RowCount(); ++r) {
    for (int c = 0; c < 11; ++c) {
      std::string text = "Ж" + std::to_string(r) + "-" + std::to_string(c);
      if ((r * 11 + c) % 97 == 0) {
        for (int k = 0; k < 60; ++k) text += "Щы";
      }
      table.SetCellEx(c, r, text);
    }
  }
  return table;
}

std::string Json(const TextTable& table) {
  std::string out = "[";
  for (int r = 0; r < table.RowCount(); ++r) {
    out += r ? ",[" : "[";
    for (int c = 0; c < table.ColCount(); ++c) {
      out += c ? ",\"" : "\"";
      for (char ch : table.GetCellEx(c, r)) {
        if (ch == '"' || ch == '\\') {
          out += '\\';
          out += ch;
        } else if (static_cast<unsigned char>(ch) < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", ch);
          out += buffer;
        } else {
          out += ch;
        }
      }
      out += '"';
    }
    out += ']';
  }
  return out + "]";
}

void Save(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class WritersTest : public ::testing::Test {
 protected:
  // Compares the cells a real client reads from `file` with `table`.
  void ExpectReadBack(const char* kind, const fs::path& file, const TextTable& table) {
    const fs::path expected = dir / (file.filename().string() + ".json");
    Save(expected, Json(table));
    const auto result = RunCommand("/usr/bin/python3 " + ShellQuote(kReadBack) + " " + kind + " " +
                                   ShellQuote(file.string()) + " " + ShellQuote(expected.string()));
    EXPECT_EQ(result.status, 0) << kind << " " << file << ": " << result.output;
  }

  // Has LibreOffice convert `file`; the path of what it made.
  std::optional<fs::path> Convert(const fs::path& file, const std::string& filter, const std::string& extension) {
    const std::string profile = "file://" + (dir / "lo-profile").string();
    const auto result = RunCommand("soffice -env:UserInstallation=" + ShellQuote(profile) +
                                   " --headless --convert-to " + ShellQuote(filter) + " --outdir " +
                                   ShellQuote((dir / "converted").string()) + " " + ShellQuote(file.string()));
    const fs::path made = dir / "converted" / (file.stem().string() + "." + extension);
    if (result.status != 0 || !fs::exists(made)) {
      ADD_FAILURE() << "LibreOffice could not convert " << file << ": " << result.output;
      return std::nullopt;
    }
    return made;
  }

  static bool Have(const char* program) { return fs::exists(program); }
  static bool HaveXlrd() { return RunCommand("/usr/bin/python3 -c 'import xlrd'").status == 0; }

  const std::string kReadBack = std::string(KD_TEST_SOURCE_DIR) + "/support/read_back.py";
  test::TempDir dir;
};

std::string FromCp1251(const std::string& bytes) {
#ifdef _WIN32
  const int size = static_cast<int>(bytes.size());
  const int wide_size = MultiByteToWideChar(1251, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  EXPECT_TRUE(wide_size > 0 || bytes.empty()) << "not valid Windows-1251";
  std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
  MultiByteToWideChar(1251, 0, bytes.data(), size, wide.data(), wide_size);
  std::string out(static_cast<std::size_t>(wide_size) * 3, '\0');
  out.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_size, out.data(),
                                                          static_cast<int>(out.size()), nullptr, nullptr)));
  return out;
#else
  iconv_t cd = iconv_open("UTF-8", "WINDOWS-1251");
  std::string in = bytes;
  std::string out(bytes.size() * 3 + 1, '\0');
  char* in_ptr = in.data();
  char* out_ptr = out.data();
  std::size_t in_left = in.size();
  std::size_t out_left = out.size();
  const std::size_t rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
  iconv_close(cd);
  EXPECT_NE(rc, static_cast<std::size_t>(-1)) << "not valid Windows-1251";
  out.resize(out.size() - out_left);
  return out;
#endif
}

// Each cell starts in its column's place, where the widest text before it ends plus a blank.
TEST_F(WritersTest, TextIsWindows1251AlignedIntoColumns) {
  const TextTable table = SmallTable();
  const std::string bytes = WriteTxt(table);
  const std::u32string text = [&] {
    const std::string utf8 = FromCp1251(bytes);
    std::u32string decoded;
    for (std::size_t i = 0; i < utf8.size();) {  // enough decoding for a test of positions
      const auto lead = static_cast<unsigned char>(utf8[i]);
      const int len = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
      char32_t cp = len == 1 ? lead : lead & (0xFF >> (len + 1));
      for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
      decoded += cp;
      i += static_cast<std::size_t>(len);
    }
    return decoded;
  }();
  std::vector<std::u32string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find(U"\r\n", start);
    ASSERT_NE(end, std::u32string::npos) << "every line ends with CRLF";
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  ASSERT_EQ(lines.size(), 4u);
  const std::vector<std::vector<std::u32string>> expected = {
      {U"Блок", U"Дата", U"Реле", U"Датчик"},
      {U"0000", U"31-12", U"Защита", U"Норма "},
      {U" Наименование крана, его номер:", U"<b>\"Кран\" {1}\\", U"", U"Ёё №5"},
      {U"", U"a,b;c 'x'", U"&amp; </td>", U"? ok"},  // no Windows-1251 byte for the tick
  };
  const std::size_t columns_at[] = {0, 31 + 1, 31 + 1 + 14 + 1, 31 + 1 + 14 + 1 + 11 + 1};
  for (std::size_t r = 0; r < lines.size(); ++r) {
    for (std::size_t c = 0; c < 4; ++c) {
      EXPECT_EQ(lines[r].substr(columns_at[c], expected[r][c].size()), expected[r][c]) << "row " << r << " column " << c;
    }
  }
}

TEST_F(WritersTest, HtmlParsesBackToTheCells) {
  const TextTable table = SmallTable();
  const std::string html = WriteHtml(table, "Отчет <N2>");
  EXPECT_EQ(html.find("<b>"), std::string::npos) << "typed markup must stay text";
  EXPECT_NE(html.find("<table width=\"100%\""), std::string::npos);
  EXPECT_EQ(html.rfind("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\"", 0), 0u);
  if (kNoClients) GTEST_SKIP() << kNoClients;
  Save(dir / "r.htm", html);
  ExpectReadBack("html", dir / "r.htm", table);
}

TEST_F(WritersTest, WorkbookReadsBackInXlrd) {
  if (kNoClients) GTEST_SKIP() << kNoClients;
  if (!HaveXlrd()) GTEST_SKIP() << "python3-xlrd is not installed";
  for (const TextTable& table : {SmallTable(), BigTable()}) {
    const fs::path file = dir / ("r" + std::to_string(table.RowCount()) + ".xls");
    Save(file, WriteXls(table, "Отчет N2"));
    ExpectReadBack("xls", file, table);
  }
}

TEST_F(WritersTest, WorkbookOpensInLibreOffice) {
  if (kNoClients) GTEST_SKIP() << kNoClients;
  if (!Have("/usr/bin/soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  for (const TextTable& table : {SmallTable(), BigTable()}) {
    const fs::path file = dir / ("r" + std::to_string(table.RowCount()) + ".xls");
    Save(file, WriteXls(table, "Отчет N2"));
    if (auto csv = Convert(file, "csv:Text - txt - csv (StarCalc):44,34,76", "csv")) ExpectReadBack("csv", *csv, table);
  }
}

TEST_F(WritersTest, WordDocumentOpensInLibreOffice) {
  if (kNoClients) GTEST_SKIP() << kNoClients;
  if (!Have("/usr/bin/soffice")) GTEST_SKIP() << "LibreOffice is not installed";
  const TextTable table = SmallTable();
  Save(dir / "r.doc", WriteRtf(table));
  if (auto text = Convert(dir / "r.doc", "txt:Text (encoded):UTF8", "txt")) ExpectReadBack("text", *text, table);
}

// The table spans the text width of a portrait page where its columns fit, else of a landscape
// one; the header rows, and only they, stand again in the header of pages 2 and on.
TEST_F(WritersTest, WordDocumentSpansThePageAndRepeatsItsHeader) {
  TextTable wide(3, 11);
  wide.SetFixedRows(1);
  for (int c = 0; c < 11; ++c) wide.SetCellEx(c, 1, std::string(20, 'x'));
  TextTable plain = SmallTable();
  plain.SetFixedRows(0);
  const struct {
    TextTable table;
    const char* paper;
    int text_width;
  } cases[] = {{SmallTable(), "\\paperw11906\\paperh16838", 11906 - 1700},
               {wide, "\\paperw16838\\paperh11906", 16838 - 1700},
               {plain, "\\paperw11906\\paperh16838", 11906 - 1700}};
  for (const auto& c : cases) {
    const std::string rtf = WriteRtf(c.table);
    EXPECT_NE(rtf.find(c.paper), std::string::npos) << c.paper;
    EXPECT_EQ(rtf.find("\\landscape") != std::string::npos, c.text_width > 11906);
    std::smatch last;
    ASSERT_TRUE(std::regex_search(rtf, last, std::regex("cellx(\\d+)\r\n")));
    EXPECT_EQ(std::stoi(last[1]), c.text_width);
    const std::size_t header = rtf.find("{\\header\r\n");
    if (c.table.FixedRows() == 0) {
      EXPECT_EQ(header, std::string::npos);
      continue;
    }
    ASSERT_NE(header, std::string::npos);
    EXPECT_NE(rtf.find("\\titlepg{\\headerf"), std::string::npos) << "page 1 shows the table's own header row";
    const std::size_t header_end = rtf.find("\\par}", header);
    std::size_t rows_in_header = 0;
    for (std::size_t at = header; (at = rtf.find("\\row\r\n", at)) < header_end; ++at) ++rows_in_header;
    EXPECT_EQ(rows_in_header, static_cast<std::size_t>(c.table.FixedRows()));
  }
}

// LibreOffice prints the header row at the top of page 2 and after, once per page.
TEST_F(WritersTest, WordDocumentShowsItsHeaderOnEveryPageInLibreOffice) {
  if (kNoClients) GTEST_SKIP() << kNoClients;
  if (!Have("/usr/bin/soffice") || !Have("/usr/bin/pdftotext")) GTEST_SKIP() << "LibreOffice or poppler missing";
  TextTable table(150, 3);
  table.SetFixedRows(1);
  for (int c = 0; c < 3; ++c) table.SetCellEx(c, 0, "Заголовок" + std::to_string(c));
  for (int r = 1; r < table.RowCount(); ++r) table.SetCellEx(0, r, "Строка" + std::to_string(r));
  Save(dir / "long.doc", WriteRtf(table));
  const auto pdf = Convert(dir / "long.doc", "pdf", "pdf");
  ASSERT_TRUE(pdf);
  const std::vector<std::string> pages = test::PdfPages(*pdf);
  ASSERT_GT(pages.size(), 1u);
  for (std::size_t i = 0; i < pages.size(); ++i) {
    std::size_t headers = 0;
    for (std::size_t at = 0; (at = pages[i].find("Заголовок0", at)) != std::string::npos; ++at) ++headers;
    EXPECT_EQ(headers, 1u) << "page " << i + 1;
  }
}

// xlrd finds the header rows frozen and named as the print titles; LibreOffice prints the sheet
// one page wide, the header on top of every page and its number at the foot.
TEST_F(WritersTest, WorkbookKeepsItsHeaderOnScreenAndOnEveryPage) {
  // Shaped like an event log: short texts under a header row, a few pages long.
  TextTable table(300, 11);
  table.SetFixedRows(1);
  for (int r = 0; r < table.RowCount(); ++r) {
    for (int c = 0; c < 11; ++c) table.SetCellEx(c, r, "Ж" + std::to_string(r) + "-" + std::to_string(c));
  }
  const fs::path file = dir / "big.xls";
  Save(file, WriteXls(table, "Отчет N2"));
  if (kNoClients) GTEST_SKIP() << kNoClients;
  if (HaveXlrd()) {
    const auto result = RunCommand(
        "/usr/bin/python3 -c \"import sys, xlrd; b = xlrd.open_workbook(sys.argv[1]); s = b.sheet_by_index(0); "
        "n = b.name_and_scope_map[('print_titles', 0)]; "
        "print(s.panes_are_frozen, s.horz_split_pos, s.vert_split_pos, n.area2d()[1:])\" " + ShellQuote(file.string()));
    EXPECT_EQ(result.output, "1 1 0 (0, 1, 0, 11)\n");  // xlrd cuts the whole rows to the columns in use
  }
  TextTable plain = SmallTable();
  plain.SetFixedRows(0);
  Save(dir / "plain.xls", WriteXls(plain, "Отчет N1"));
  if (HaveXlrd()) {
    const auto result = RunCommand("/usr/bin/python3 -c \"import sys, xlrd; b = xlrd.open_workbook(sys.argv[1]); "
                                   "print(b.sheet_by_index(0).panes_are_frozen, len(b.name_obj_list))\" " +
                                   ShellQuote((dir / "plain.xls").string()));
    EXPECT_EQ(result.output, "0 0\n");
  }
  if (!Have("/usr/bin/soffice") || !Have("/usr/bin/pdftotext")) GTEST_SKIP() << "LibreOffice or poppler missing";
  const auto pdf = Convert(file, "pdf", "pdf");
  ASSERT_TRUE(pdf);
  const std::vector<std::string> pages = test::PdfPages(*pdf);
  ASSERT_GT(pages.size(), 2u);
  for (std::size_t i = 0; i < pages.size(); ++i) {
    EXPECT_NE(pages[i].find("Ж0-0 "), std::string::npos) << "page " << i + 1 << " has no header";
    EXPECT_NE(pages[i].find("Ж0-10"), std::string::npos) << "page " << i + 1 << " is not a whole row wide";
    const std::string number = "Стр. " + std::to_string(i + 1) + " из " + std::to_string(pages.size());
    EXPECT_NE(pages[i].find(number), std::string::npos) << number;
  }
}

TEST_F(WritersTest, OutputIsDeterministic) {
  const TextTable table = SmallTable();
  EXPECT_EQ(WriteXls(table, "a"), WriteXls(table, "a"));
  EXPECT_EQ(WriteRtf(table), WriteRtf(table));
  EXPECT_EQ(WriteCompoundFile("Workbook", "x")->size(), 512u * (1 + 8 + 1 + 1));
}

}  // namespace
}  // namespace kd
