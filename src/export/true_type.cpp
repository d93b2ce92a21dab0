#include "true_type.h"

#include <algorithm>
#include <map>

namespace kd {

namespace {

// Big-endian reads that fail instead of reading past the end.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool Has(std::size_t at, std::size_t size) const { return at <= bytes_.size() && size <= bytes_.size() - at; }
  std::uint8_t U8(std::size_t at) const {
    Need(at, 1);
    return static_cast<std::uint8_t>(bytes_[at]);
  }
  std::uint16_t U16(std::size_t at) const {
    Need(at, 2);
    return static_cast<std::uint16_t>(U8(at) << 8 | U8(at + 1));
  }
  std::int16_t S16(std::size_t at) const { return static_cast<std::int16_t>(U16(at)); }
  std::uint32_t U32(std::size_t at) const { return static_cast<std::uint32_t>(U16(at)) << 16 | U16(at + 2); }
  std::string_view Slice(std::size_t at, std::size_t size) const {
    Need(at, size);
    return bytes_.substr(at, size);
  }

 private:
  void Need(std::size_t at, std::size_t size) const {
    if (!Has(at, size)) throw Failure{"шрифт повреждён"};
  }
  std::string_view bytes_;
};

void Put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>((v >> 8) & 0xFF);
  out += static_cast<char>(v & 0xFF);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v >> 16);
  Put16(out, v & 0xFFFF);
}

std::uint32_t CheckSum(std::string_view table) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < table.size(); i += 4) {
    std::uint32_t word = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      word = word << 8 | (i + k < table.size() ? static_cast<std::uint8_t>(table[i + k]) : 0);
    }
    sum += word;
  }
  return sum;
}

// Composite glyph flags.
constexpr std::uint16_t kArgsAreWords = 0x0001;
constexpr std::uint16_t kHaveScale = 0x0008;
constexpr std::uint16_t kMoreComponents = 0x0020;
constexpr std::uint16_t kHaveXYScale = 0x0040;
constexpr std::uint16_t kHaveTwoByTwo = 0x0080;

}  // namespace

const TrueTypeFont::Table* TrueTypeFont::Find(std::string_view tag) const {
  const auto it = tables_.find(std::string(tag));
  return it == tables_.end() ? nullptr : &it->second;
}

Result<TrueTypeFont> TrueTypeFont::Borrow(std::string_view bytes) {
  TrueTypeFont font;
  font.bytes_ = bytes;
  const Reader r(font.bytes_);
  try {
    const std::uint32_t version = r.U32(0);
    if (version != 0x00010000 && version != 0x74727565) return Failure{"это не шрифт TrueType"};
    const int table_count = r.U16(4);
    for (int i = 0; i < table_count; ++i) {
      const std::size_t entry = 12 + 16 * static_cast<std::size_t>(i);
      const Table table{r.U32(entry + 8), r.U32(entry + 12)};
      if (!r.Has(table.offset, table.length)) return Failure{"шрифт повреждён"};
      font.tables_[std::string(r.Slice(entry, 4))] = table;
    }
    for (const char* tag : {"head", "hhea", "hmtx", "maxp", "cmap", "loca", "glyf"}) {
      if (!font.Find(tag)) return Failure{std::string("в шрифте нет таблицы ") + tag};
    }

    const Table& head = *font.Find("head");
    font.units_per_em_ = r.U16(head.offset + 18);
    if (font.units_per_em_ == 0) return Failure{"шрифт повреждён"};
    font.bbox_ = {r.S16(head.offset + 36), r.S16(head.offset + 38), r.S16(head.offset + 40), r.S16(head.offset + 42)};
    const bool long_loca = r.S16(head.offset + 50) == 1;

    font.glyph_count_ = r.U16(font.Find("maxp")->offset + 4);
    const Table& hhea = *font.Find("hhea");
    font.ascent_ = r.S16(hhea.offset + 4);
    font.descent_ = r.S16(hhea.offset + 6);
    font.cap_height_ = font.ascent_;
    if (const Table* os2 = font.Find("OS/2"); os2 && r.U16(os2->offset) >= 2 && os2->length >= 90) {
      font.cap_height_ = r.S16(os2->offset + 88);
    }

    // Glyphs past the last long metric share its advance.
    const int long_metrics = r.U16(hhea.offset + 34);
    if (long_metrics == 0) return Failure{"шрифт повреждён"};
    const Table& hmtx = *font.Find("hmtx");
    font.advances_.resize(static_cast<std::size_t>(font.glyph_count_));
    for (int g = 0; g < font.glyph_count_; ++g) {
      font.advances_[g] = r.U16(hmtx.offset + 4 * static_cast<std::size_t>(std::min(g, long_metrics - 1)));
    }

    const Table& loca = *font.Find("loca");
    font.loca_.resize(static_cast<std::size_t>(font.glyph_count_) + 1);
    for (std::size_t g = 0; g < font.loca_.size(); ++g) {
      font.loca_[g] = long_loca ? r.U32(loca.offset + 4 * g) : 2u * r.U16(loca.offset + 2 * g);
      if (font.loca_[g] > font.Find("glyf")->length || (g && font.loca_[g] < font.loca_[g - 1])) {
        return Failure{"шрифт повреждён"};
      }
    }

    // Windows Unicode subtables: format 4 for the BMP, format 12 for the rest.
    const Table& cmap = *font.Find("cmap");
    font.bmp_glyphs_.assign(0x10000, 0);
    std::size_t format4 = 0;
    std::size_t format12 = 0;
    for (int i = 0, n = r.U16(cmap.offset + 2); i < n; ++i) {
      const std::size_t record = cmap.offset + 4 + 8 * static_cast<std::size_t>(i);
      const int platform = r.U16(record);
      const int encoding = r.U16(record + 2);
      const std::size_t at = cmap.offset + r.U32(record + 4);
      if (platform == 3 && encoding == 1 && r.U16(at) == 4) format4 = at;
      if (platform == 3 && encoding == 10 && r.U16(at) == 12) format12 = at;
    }
    if (!format4 && !format12) return Failure{"в шрифте нет таблицы символов Unicode"};
    if (format4) {
      const std::size_t segments = r.U16(format4 + 6) / 2;
      const std::size_t ends = format4 + 14;
      const std::size_t starts = ends + 2 * segments + 2;
      const std::size_t deltas = starts + 2 * segments;
      const std::size_t range_offsets = deltas + 2 * segments;
      for (std::size_t s = 0; s < segments; ++s) {
        const std::uint32_t end = r.U16(ends + 2 * s);
        const std::uint32_t start = r.U16(starts + 2 * s);
        const std::uint16_t delta = r.U16(deltas + 2 * s);
        const std::uint16_t range_offset = r.U16(range_offsets + 2 * s);
        for (std::uint32_t c = start; c <= end && c < 0xFFFF; ++c) {
          std::uint16_t glyph = 0;
          if (range_offset == 0) {
            glyph = static_cast<std::uint16_t>(c + delta);
          } else {
            glyph = r.U16(range_offsets + 2 * s + range_offset + 2 * (c - start));
            if (glyph) glyph = static_cast<std::uint16_t>(glyph + delta);
          }
          if (glyph < font.glyph_count_) font.bmp_glyphs_[c] = glyph;
        }
      }
    }
    if (format12) {
      const std::uint32_t groups = r.U32(format12 + 12);
      for (std::uint32_t i = 0; i < groups; ++i) {
        const std::size_t group = format12 + 16 + 12 * static_cast<std::size_t>(i);
        const std::uint32_t start = r.U32(group);
        const std::uint32_t end = std::min<std::uint32_t>(r.U32(group + 4), 0x10FFFF);
        const std::uint32_t first = r.U32(group + 8);
        for (std::uint32_t c = start; c <= end; ++c) {
          const std::uint32_t glyph = first + (c - start);
          if (glyph >= static_cast<std::uint32_t>(font.glyph_count_)) break;
          if (c < 0x10000) {
            if (!font.bmp_glyphs_[c]) font.bmp_glyphs_[c] = static_cast<char16_t>(glyph);
          } else {
            font.astral_glyphs_[c] = static_cast<std::uint16_t>(glyph);
          }
        }
      }
    }

    // The PostScript name, from a Windows (UTF-16) or Macintosh (ASCII) name record.
    if (const Table* name = font.Find("name")) {
      const std::size_t strings = name->offset + r.U16(name->offset + 4);
      for (int i = 0, n = r.U16(name->offset + 2); i < n && font.name_.empty(); ++i) {
        const std::size_t record = name->offset + 6 + 12 * static_cast<std::size_t>(i);
        if (r.U16(record + 6) != 6) continue;
        const int platform = r.U16(record);
        const std::string_view text = r.Slice(strings + r.U16(record + 10), r.U16(record + 8));
        for (std::size_t k = platform == 3 ? 1 : 0; k < text.size(); k += platform == 3 ? 2 : 1) {
          const char c = text[k];
          if (c > ' ' && c < 0x7F && c != '/' && c != '[' && c != ']' && c != '(' && c != ')') font.name_ += c;
        }
      }
    }
    if (font.name_.empty()) font.name_ = "Font";
  } catch (const Failure& failure) {
    return failure;
  }
  return font;
}

std::uint16_t TrueTypeFont::GlyphOf(char32_t code_point) const {
  if (code_point < 0x10000) return bmp_glyphs_[code_point];
  const auto it = astral_glyphs_.find(code_point);
  return it == astral_glyphs_.end() ? 0 : it->second;
}

int TrueTypeFont::Advance(std::uint16_t glyph) const {
  return glyph < advances_.size() ? advances_[glyph] : 0;
}

std::string_view TrueTypeFont::GlyphData(std::uint16_t glyph) const {
  if (glyph >= glyph_count_) return {};
  const Table& glyf = *Find("glyf");
  return bytes_.substr(glyf.offset + loca_[glyph], loca_[glyph + 1u] - loca_[glyph]);
}

std::string TrueTypeFont::Subset(const std::set<std::uint16_t>& glyphs) const {
  // The glyphs asked for, glyph 0 (drawn for a missing character), and every component of a
  // composite glyph, transitively.
  std::set<std::uint16_t> keep = {0};
  std::vector<std::uint16_t> pending(glyphs.begin(), glyphs.end());
  while (!pending.empty()) {
    const std::uint16_t glyph = pending.back();
    pending.pop_back();
    if (glyph >= glyph_count_ || !keep.insert(glyph).second) continue;
    const std::string_view data = GlyphData(glyph);
    const Reader g(data);
    if (data.size() < 10 || g.S16(0) >= 0) continue;  // empty or simple
    std::size_t at = 10;
    std::uint16_t flags = kMoreComponents;
    while ((flags & kMoreComponents) && g.Has(at, 4)) {
      flags = g.U16(at);
      pending.push_back(g.U16(at + 2));
      at += 4 + ((flags & kArgsAreWords) ? 4 : 2);
      if (flags & kHaveScale) at += 2;
      else if (flags & kHaveXYScale) at += 4;
      else if (flags & kHaveTwoByTwo) at += 8;
    }
  }
  std::string glyf;
  std::string loca;
  for (int glyph = 0; glyph < glyph_count_; ++glyph) {
    Put32(loca, static_cast<std::uint32_t>(glyf.size()));
    if (!keep.count(static_cast<std::uint16_t>(glyph))) continue;
    glyf += GlyphData(static_cast<std::uint16_t>(glyph));
    while (glyf.size() % 4) glyf += '\0';
  }
  Put32(loca, static_cast<std::uint32_t>(glyf.size()));

  std::map<std::string, std::string> out_tables;
  const std::string_view all(bytes_);
  for (const char* tag : {"cvt ", "fpgm", "prep", "head", "hhea", "hmtx", "maxp", "OS/2", "post"}) {
    if (const Table* t = Find(tag)) out_tables[tag] = std::string(all.substr(t->offset, t->length));
  }
  // A format 3 "post" table: no glyph names, which a PDF font does not need.
  if (out_tables.count("post") && out_tables["post"].size() >= 32) {
    out_tables["post"].resize(32);
    out_tables["post"].replace(0, 4, std::string("\x00\x03\x00\x00", 4));
  }
  std::string& head = out_tables["head"];
  if (head.size() < 54) return {};
  head.replace(8, 4, std::string(4, '\0'));   // checkSumAdjustment, set below
  head.replace(50, 2, std::string("\x00\x01", 2));  // long loca offsets
  out_tables["glyf"] = std::move(glyf);
  out_tables["loca"] = std::move(loca);

  // Offset table, table records in tag order, then the tables, each on a 4-byte boundary.
  const auto count = static_cast<std::uint16_t>(out_tables.size());
  int power = 1;
  int log2 = 0;
  while (power * 2 <= count) power *= 2, ++log2;
  std::string font;
  Put32(font, 0x00010000);
  Put16(font, count);
  Put16(font, static_cast<std::uint32_t>(power * 16));
  Put16(font, static_cast<std::uint32_t>(log2));
  Put16(font, static_cast<std::uint32_t>(count * 16 - power * 16));
  std::size_t offset = 12 + 16 * static_cast<std::size_t>(count);
  std::size_t head_at = 0;
  std::string body;
  for (const auto& [tag, data] : out_tables) {
    font += tag;
    Put32(font, CheckSum(data));
    Put32(font, static_cast<std::uint32_t>(offset));
    Put32(font, static_cast<std::uint32_t>(data.size()));
    if (tag == "head") head_at = offset;
    body += data;
    while (body.size() % 4) body += '\0';
    offset = 12 + 16 * static_cast<std::size_t>(count) + body.size();
  }
  font += body;
  const std::uint32_t adjustment = 0xB1B0AFBA - CheckSum(font);
  for (int i = 0; i < 4; ++i) font[head_at + 8 + i] = static_cast<char>((adjustment >> (24 - 8 * i)) & 0xFF);
  return font;
}

}  // namespace kd
