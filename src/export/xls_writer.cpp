#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "compound_file.h"
#include "text_encoding.h"
#include "writers.h"

namespace kd {

namespace {

// BIFF8 record types.
enum : std::uint16_t {
  kBof = 0x0809,
  kEof = 0x000A,
  kCodepage = 0x0042,
  kWindow1 = 0x003D,
  kFont = 0x0031,
  kXf = 0x00E0,
  kStyle = 0x0293,
  kBoundSheet = 0x0085,
  kSst = 0x00FC,
  kExtSst = 0x00FF,
  kContinue = 0x003C,
  kDimensions = 0x0200,
  kColInfo = 0x007D,
  kLabelSst = 0x00FD,
  kWindow2 = 0x023E,
  kPane = 0x0041,
  kWsBool = 0x0081,
  kFooter = 0x0015,
  kSetup = 0x00A1,
  kSupBook = 0x01AE,
  kExternSheet = 0x0017,
  kName = 0x0018,
};

constexpr std::size_t kMaxRecordData = 8224;
constexpr std::uint16_t kCellXf = 15;
constexpr std::uint16_t kHeaderXf = 16;
constexpr std::uint16_t kBoldFont = 5;  // font index 4 does not exist in the format

void Put8(std::string& out, std::uint8_t v) { out += static_cast<char>(v); }
void Put16(std::string& out, std::uint16_t v) {
  Put8(out, static_cast<std::uint8_t>(v & 0xFF));
  Put8(out, static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
  Put16(out, static_cast<std::uint16_t>(v >> 16));
}

void Record(std::string& out, std::uint16_t type, std::string_view data) {
  Put16(out, type);
  Put16(out, static_cast<std::uint16_t>(data.size()));
  out += data;
}

std::string Bof(std::uint16_t kind) {
  std::string d;
  Put16(d, 0x0600);  // BIFF8
  Put16(d, kind);    // 0x0005 workbook globals, 0x0010 worksheet
  Put16(d, 0x0DBB);  // build
  Put16(d, 0x07CC);  // year
  Put32(d, 0x00000041);
  Put32(d, 0x00000006);
  return d;
}

std::string Font(bool bold) {
  std::string d;
  Put16(d, 200);  // 10 points, in twips
  Put16(d, 0);
  Put16(d, 0x7FFF);  // automatic colour
  Put16(d, bold ? 700 : 400);
  Put16(d, 0);
  Put8(d, 0);
  Put8(d, 0);
  Put8(d, 204);  // Cyrillic character set
  Put8(d, 0);
  const std::string_view name = "Arial";
  Put8(d, static_cast<std::uint8_t>(name.size()));
  Put8(d, 0);  // 8-bit characters
  d += name;
  return d;
}

std::string Xf(std::uint16_t font, bool style) {
  std::string d;
  Put16(d, font);
  Put16(d, 0);                        // "General" number format
  Put16(d, style ? 0xFFF5 : 0x0001);  // style XF with no parent, or locked cell XF of style 0
  Put8(d, 0x20);                      // aligned to the bottom
  Put8(d, 0);
  Put8(d, 0);
  Put8(d, style ? 0xF4 : 0xF8);  // which attribute groups the record sets, as Excel's own files say
  Put32(d, 0);
  Put32(d, 0);
  Put16(d, 0x20C0);  // default pattern colours
  return d;
}

// The unique strings of the table, in first-seen order.
struct StringTable {
  std::vector<std::u16string> strings;
  std::unordered_map<std::string, std::uint32_t> index;
  std::uint32_t total = 0;

  std::uint32_t Add(const std::string& text) {
    ++total;
    auto [it, added] = index.try_emplace(text, static_cast<std::uint32_t>(strings.size()));
    if (added) strings.push_back(Utf8ToUtf16(text));
    return it->second;
  }
};

// SST, continued in CONTINUE records where it outgrows one record, then EXTSST. A string's
// characters may run into the next record, which then starts with the flag byte again; a string's
// length and flags never split.
void WriteSst(std::string& out, const StringTable& sst) {
  // At most 128 buckets, at least 8 strings each, as Excel itself writes them.
  const auto strings_per_bucket = static_cast<std::uint16_t>(std::max<std::size_t>(8, sst.strings.size() / 128 + 1));
  std::string extsst;
  Put16(extsst, strings_per_bucket);

  std::vector<std::string> records(1);
  Put32(records[0], sst.total);
  Put32(records[0], static_cast<std::uint32_t>(sst.strings.size()));
  // Bucket positions need the stream offset of each record, known only as they are laid down.
  std::size_t stream_offset_of_record = out.size();
  std::vector<std::pair<std::size_t, std::size_t>> bucket_marks;  // (record number, offset in data)

  const auto room = [&] { return kMaxRecordData - records.back().size(); };
  for (std::size_t i = 0; i < sst.strings.size(); ++i) {
    const std::u16string& s = sst.strings[i];
    if (room() < 3 + 2) records.emplace_back();
    if (i % strings_per_bucket == 0) bucket_marks.emplace_back(records.size() - 1, records.back().size());
    Put16(records.back(), static_cast<std::uint16_t>(s.size()));
    Put8(records.back(), 0x01);  // UTF-16LE characters
    std::size_t done = 0;
    while (done < s.size()) {
      if (room() < 2) {
        records.emplace_back();
        Put8(records.back(), 0x01);
      }
      const std::size_t take = std::min(s.size() - done, room() / 2);
      for (std::size_t k = 0; k < take; ++k) Put16(records.back(), s[done + k]);
      done += take;
    }
  }

  std::vector<std::size_t> record_offsets;
  for (std::size_t r = 0; r < records.size(); ++r) {
    record_offsets.push_back(stream_offset_of_record);
    stream_offset_of_record += 4 + records[r].size();
  }
  for (std::size_t r = 0; r < records.size(); ++r) Record(out, r == 0 ? kSst : kContinue, records[r]);

  for (auto [record, offset] : bucket_marks) {
    Put32(extsst, static_cast<std::uint32_t>(record_offsets[record] + 4 + offset));
    Put16(extsst, static_cast<std::uint16_t>(4 + offset));
    Put16(extsst, 0);
  }
  Record(out, kExtSst, extsst);
}

// A BIFF8 unicode string with a 16-bit length, in UTF-16.
std::string LongString(std::string_view utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  std::string d;
  Put16(d, static_cast<std::uint16_t>(text.size()));
  Put8(d, 0x01);
  for (char16_t unit : text) Put16(d, unit);
  return d;
}

// Printed one page wide, as many pages long as it takes, portrait A4, numbered at the foot.
void PageSetup(std::string& out) {
  std::string ws_bool;
  Put16(ws_bool, 0x05C1);  // Excel's defaults and "fit to pages"
  Record(out, kWsBool, ws_bool);
  Record(out, kFooter, LongString("&CСтр. &P из &N"));
  std::string setup;
  Put16(setup, 9);    // A4
  Put16(setup, 100);  // scale, unused when fitting
  Put16(setup, 1);    // first page number
  Put16(setup, 1);    // one page wide
  Put16(setup, 0);    // as many pages long as needed
  Put16(setup, 0x0002);  // portrait; paper, scale and orientation are set
  Put16(setup, 600);
  Put16(setup, 600);
  const std::uint64_t half_inch = 0x3FE0000000000000;  // header and footer margins, 0.5 as a double
  Put32(setup, static_cast<std::uint32_t>(half_inch));
  Put32(setup, static_cast<std::uint32_t>(half_inch >> 32));
  Put32(setup, static_cast<std::uint32_t>(half_inch));
  Put32(setup, static_cast<std::uint32_t>(half_inch >> 32));
  Put16(setup, 1);  // copies
  Record(out, kSetup, setup);
}

std::string Worksheet(const TextTable& table, StringTable& sst) {
  std::string out;
  Record(out, kBof, Bof(0x0010));
  PageSetup(out);
  std::string dimensions;
  Put32(dimensions, 0);
  Put32(dimensions, static_cast<std::uint32_t>(table.RowCount()));
  Put16(dimensions, 0);
  Put16(dimensions, static_cast<std::uint16_t>(table.ColCount()));
  Put16(dimensions, 0);
  Record(out, kDimensions, dimensions);

  // Columns as wide as their longest text, in 1/256 of a character, within Excel's limit.
  for (int column = 0; column < table.ColCount(); ++column) {
    std::size_t widest = 4;
    for (int row = 0; row < table.RowCount(); ++row) {
      widest = std::max(widest, CodePointCount(table.GetCellEx(column, row)));
    }
    std::string info;
    Put16(info, static_cast<std::uint16_t>(column));
    Put16(info, static_cast<std::uint16_t>(column));
    Put16(info, static_cast<std::uint16_t>(std::min<std::size_t>((widest + 2) * 256, 255 * 256)));
    Put16(info, kCellXf);
    Put16(info, 0);
    Put16(info, 0);
    Record(out, kColInfo, info);
  }

  for (int row = 0; row < table.RowCount(); ++row) {
    for (int column = 0; column < table.ColCount(); ++column) {
      const std::string& text = table.GetCellEx(column, row);
      if (text.empty()) continue;
      std::string cell;
      Put16(cell, static_cast<std::uint16_t>(row));
      Put16(cell, static_cast<std::uint16_t>(column));
      Put16(cell, row < table.FixedRows() ? kHeaderXf : kCellXf);
      Put32(cell, sst.Add(text));
      Record(out, kLabelSst, cell);
    }
  }

  // The header rows stay in view while the rest scrolls, frozen above a pane.
  const auto fixed = static_cast<std::uint16_t>(table.FixedRows());
  std::string window2;
  Put16(window2, fixed ? 0x07BE : 0x06B6);  // grid lines, headers, zeros, selected and active sheet; frozen panes
  Put16(window2, 0);
  Put16(window2, 0);
  Put32(window2, 64);
  Put16(window2, 0);
  Put16(window2, 0);
  Put32(window2, 0);
  Record(out, kWindow2, window2);
  if (fixed) {
    std::string pane;
    Put16(pane, 0);      // no columns frozen
    Put16(pane, fixed);  // rows frozen
    Put16(pane, fixed);  // first row shown under them
    Put16(pane, 0);
    Put8(pane, 2);  // the lower pane is active
    Put8(pane, 0);
    Record(out, kPane, pane);
  }
  Record(out, kEof, {});
  return out;
}

}  // namespace

std::string WriteXls(const TextTable& table, std::string_view sheet_name) {
  // A worksheet holds at most 65,536 rows and 256 columns; our tables stay far below.
  if (table.RowCount() > 65536 || table.ColCount() > 256) throw std::length_error("таблица слишком велика для книги Excel");

  StringTable sst;
  const std::string sheet = Worksheet(table, sst);

  std::string globals;
  Record(globals, kBof, Bof(0x0005));
  std::string codepage;
  Put16(codepage, 1200);  // UTF-16
  Record(globals, kCodepage, codepage);
  std::string window1;
  for (std::uint16_t v : {0, 0, 0x3000, 0x2000, 0x0038, 0, 0, 1, 0x0258}) Put16(window1, v);
  Record(globals, kWindow1, window1);
  for (int i = 0; i < 4; ++i) Record(globals, kFont, Font(false));
  Record(globals, kFont, Font(true));
  for (int i = 0; i < 15; ++i) Record(globals, kXf, Xf(0, true));
  Record(globals, kXf, Xf(0, false));
  Record(globals, kXf, Xf(kBoldFont, false));
  Record(globals, kStyle, std::string("\x00\x80\x00\xFF", 4));  // built-in "Normal" on XF 0

  const std::u16string name = Utf8ToUtf16(sheet_name.substr(0, 31));
  std::string boundsheet;
  Put32(boundsheet, 0);  // the sheet's offset, patched below
  Put16(boundsheet, 0);  // visible worksheet
  Put8(boundsheet, static_cast<std::uint8_t>(name.size()));
  Put8(boundsheet, 0x01);
  for (char16_t unit : name) Put16(boundsheet, unit);
  const std::size_t boundsheet_at = globals.size() + 4;
  Record(globals, kBoundSheet, boundsheet);

  // The header rows print at the top of every page: the built-in name Print_Titles, which refers
  // to them through the workbook's one sheet reference.
  if (table.FixedRows() > 0) {
    std::string supbook;
    Put16(supbook, 1);       // sheets in this workbook
    Put16(supbook, 0x0401);  // this workbook itself
    Record(globals, kSupBook, supbook);
    std::string externsheet;
    Put16(externsheet, 1);
    Put16(externsheet, 0);  // the SUPBOOK above
    Put16(externsheet, 0);  // first and last sheet: sheet 0
    Put16(externsheet, 0);
    Record(globals, kExternSheet, externsheet);
    std::string formula;
    Put8(formula, 0x3B);  // tArea3d
    Put16(formula, 0);    // the EXTERNSHEET entry
    Put16(formula, 0);    // first row
    Put16(formula, static_cast<std::uint16_t>(table.FixedRows() - 1));
    Put16(formula, 0);     // first column
    Put16(formula, 0xFF);  // last column: whole rows
    std::string name;
    Put16(name, 0x0020);  // built-in
    Put8(name, 0);
    Put8(name, 1);  // the name is one character
    Put16(name, static_cast<std::uint16_t>(formula.size()));
    Put16(name, 0);
    Put16(name, 1);  // local to sheet 1
    Put32(name, 0);  // no menu, description, help or status texts
    Put8(name, 0);   // 8-bit characters
    Put8(name, 0x07);  // Print_Titles
    name += formula;
    Record(globals, kName, name);
  }

  WriteSst(globals, sst);
  Record(globals, kEof, {});

  const auto sheet_offset = static_cast<std::uint32_t>(globals.size());
  for (int i = 0; i < 4; ++i) globals[boundsheet_at + i] = static_cast<char>((sheet_offset >> (8 * i)) & 0xFF);

  const std::optional<std::string> file = WriteCompoundFile("Workbook", globals + sheet);
  if (!file) throw std::length_error("таблица слишком велика для книги Excel");
  return *file;
}

}  // namespace kd
