#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "io/result.h"

namespace kd {

// What the PDF report needs of a TrueType font: glyphs of characters, their advances, the
// metrics a PDF font descriptor names, and a subset holding only the glyphs a document uses.
// Every read is bounds-checked; a font that does not hold together is refused with a reason.
class TrueTypeFont {
 public:
  // Reads the font in `bytes`, which are not copied: they must outlive the font (and its copies).
  static Result<TrueTypeFont> Borrow(std::string_view bytes);

  // The glyph of a character; 0 (the "missing" glyph) where the font has none.
  std::uint16_t GlyphOf(char32_t code_point) const;
  // A glyph's advance width in font units.
  int Advance(std::uint16_t glyph) const;
  int GlyphCount() const { return glyph_count_; }

  int UnitsPerEm() const { return units_per_em_; }
  int Ascent() const { return ascent_; }    // above the baseline, font units
  int Descent() const { return descent_; }  // below it, negative
  int CapHeight() const { return cap_height_; }
  const std::array<int, 4>& BoundingBox() const { return bbox_; }
  // The PostScript name ("DejaVuSans").
  const std::string& Name() const { return name_; }
  std::string_view Bytes() const { return bytes_; }

  // A font with the same glyph numbers whose outlines are those of `glyphs` (and of the glyphs
  // they are composed of) and glyph 0; every other glyph is empty. Only the tables a PDF
  // renderer reads are kept.
  std::string Subset(const std::set<std::uint16_t>& glyphs) const;

 private:
  struct Table {
    std::size_t offset;
    std::size_t length;
  };
  const Table* Find(std::string_view tag) const;
  // The outline bytes of a glyph (empty for an empty glyph).
  std::string_view GlyphData(std::uint16_t glyph) const;

  std::string_view bytes_;
  std::unordered_map<std::string, Table> tables_;
  std::vector<char16_t> bmp_glyphs_;  // glyph per BMP code point
  std::unordered_map<char32_t, std::uint16_t> astral_glyphs_;
  std::vector<std::uint16_t> advances_;
  std::vector<std::uint32_t> loca_;  // glyph_count + 1 offsets into glyf
  int glyph_count_ = 0;
  int units_per_em_ = 2048;
  int ascent_ = 0;
  int descent_ = 0;
  int cap_height_ = 0;
  std::array<int, 4> bbox_{};
  std::string name_;
};

}  // namespace kd
