#include "pdf_writer.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <set>
#include <stdexcept>

#include "text_encoding.h"

namespace kd {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendHex16(std::string& out, unsigned value) {
  out += kHex[(value >> 12) & 0xF];
  out += kHex[(value >> 8) & 0xF];
  out += kHex[(value >> 4) & 0xF];
  out += kHex[value & 0xF];
}

// A number with at most two decimals, always with a point, whatever the C locale says.
void AppendNumber(std::string& out, double value) {
  long hundredths = std::lround(value * 100);
  if (hundredths < 0) {
    out += '-';
    hundredths = -hundredths;
  }
  out += std::to_string(hundredths / 100);
  if (const long fraction = hundredths % 100) {
    out += '.';
    out += static_cast<char>('0' + fraction / 10);
    if (fraction % 10) out += static_cast<char>('0' + fraction % 10);
  }
}

std::string Number(double value) {
  std::string out;
  AppendNumber(out, value);
  return out;
}

std::string Deflate(std::string_view data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                static_cast<uLong>(data.size()), Z_DEFAULT_COMPRESSION) != Z_OK) {
    throw std::runtime_error("не удалось сжать данные PDF");
  }
  out.resize(size);
  return out;
}

// A text string of the document information: UTF-16BE with its byte-order mark, in hex.
std::string TextString(std::string_view utf8) {
  std::string out = "<FEFF";
  for (char16_t unit : Utf8ToUtf16(utf8)) AppendHex16(out, unit);
  return out + ">";
}

// The characters each used glyph stands for, per face: what the ToUnicode map says.
struct FaceUse {
  std::vector<char32_t> text_of_glyph;
  std::set<std::uint16_t> glyphs;
};

class PdfFile {
 public:
  explicit PdfFile(std::size_t objects) : offsets_(objects + 1, 0) { out_ = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"; }

  void Object(int number, std::string_view body) {
    Begin(number);
    out_ += body;
    out_ += "\nendobj\n";
  }

  // A stream compressed with Flate; `extra` goes into its dictionary.
  void Stream(int number, std::string_view data, std::string_view extra = {}) {
    const std::string packed = Deflate(data);
    Begin(number);
    out_ += "<< /Length " + std::to_string(packed.size()) + " /Filter /FlateDecode";
    if (!extra.empty()) {
      out_ += ' ';
      out_ += extra;
    }
    out_ += " >>\nstream\n";
    out_ += packed;
    out_ += "\nendstream\nendobj\n";
  }

  std::string Finish(int info) {
    const std::size_t xref = out_.size();
    out_ += "xref\n0 " + std::to_string(offsets_.size()) + "\n0000000000 65535 f \n";
    char entry[24];
    for (std::size_t i = 1; i < offsets_.size(); ++i) {
      std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offsets_[i]);
      out_ += entry;
    }
    out_ += "trailer\n<< /Size " + std::to_string(offsets_.size()) + " /Root 1 0 R /Info " + std::to_string(info) +
            " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return std::move(out_);
  }

 private:
  void Begin(int number) {
    offsets_.at(static_cast<std::size_t>(number)) = out_.size();
    out_ += std::to_string(number) + " 0 obj\n";
  }

  std::string out_;
  std::vector<std::size_t> offsets_;
};

// The drawing operations of one page as a content stream, PDF's y going up. Pictures are named
// by their place in `pictures`: /Im1 the first.
std::string PageContent(const PrintedPage& page, PaperSize paper, std::array<FaceUse, 2>& use,
                        const std::vector<const ReportPicture*>& pictures) {
  std::string s;
  s.reserve(page.ops.size() * 40);
  bool in_text = false;
  int font = -1;
  float size = -1;
  float text_gray = 0;
  const auto flip = [&](double y) { return paper.height - y; };
  for (const DrawOp& op : page.ops) {
    if (const auto* text = std::get_if<TextOp>(&op)) {
      if (!in_text) {
        s += "BT\n";
        in_text = true;
        font = -1;
        text_gray = 0;
      }
      const int face = text->face == Face::kBold ? 1 : 0;
      if (face != font || text->size != size) {
        s += face ? "/F2 " : "/F1 ";
        AppendNumber(s, text->size);
        s += " Tf\n";
        font = face;
        size = text->size;
      }
      if (text->gray != text_gray) {
        AppendNumber(s, text->gray);
        s += " g\n";
        text_gray = text->gray;
      }
      s += "1 0 0 1 ";
      AppendNumber(s, text->x);
      s += ' ';
      AppendNumber(s, flip(text->y));
      s += " Tm <";
      FaceUse& face_use = use[static_cast<std::size_t>(face)];
      for (std::size_t i = 0; i < text->glyphs.size(); ++i) {
        const std::uint16_t glyph = text->glyphs[i];
        AppendHex16(s, glyph);
        if (glyph < face_use.text_of_glyph.size() && !face_use.text_of_glyph[glyph]) {
          face_use.text_of_glyph[glyph] = text->text[i];
          face_use.glyphs.insert(glyph);
        }
      }
      s += "> Tj\n";
      continue;
    }
    if (in_text) {
      s += "ET\n";
      in_text = false;
    }
    if (const auto* line = std::get_if<LineOp>(&op)) {
      AppendNumber(s, line->width);
      s += " w ";
      AppendNumber(s, line->gray);
      s += " G ";
      AppendNumber(s, line->x1);
      s += ' ';
      AppendNumber(s, flip(line->y1));
      s += " m ";
      AppendNumber(s, line->x2);
      s += ' ';
      AppendNumber(s, flip(line->y2));
      s += " l S\n";
    } else if (const auto* fill = std::get_if<FillOp>(&op)) {
      AppendNumber(s, fill->gray);
      s += " g ";
      AppendNumber(s, fill->x);
      s += ' ';
      AppendNumber(s, flip(fill->y + fill->height));
      s += ' ';
      AppendNumber(s, fill->width);
      s += ' ';
      AppendNumber(s, fill->height);
      s += " re f 0 g\n";
    } else if (const auto* image = std::get_if<ImageOp>(&op)) {
      const auto index = std::find(pictures.begin(), pictures.end(), image->picture) - pictures.begin();
      s += "q ";
      AppendNumber(s, image->width);
      s += " 0 0 ";
      AppendNumber(s, image->height);
      s += ' ';
      AppendNumber(s, image->x);
      s += ' ';
      AppendNumber(s, flip(image->y + image->height));
      s += " cm /Im" + std::to_string(index + 1) + " Do Q\n";
    }
  }
  if (in_text) s += "ET\n";
  return s;
}

std::string ToUnicodeMap(const FaceUse& use) {
  std::string map =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
  std::vector<std::uint16_t> glyphs;
  for (std::uint16_t g : use.glyphs) {
    if (g != 0) glyphs.push_back(g);
  }
  // At most 100 entries to a block.
  for (std::size_t start = 0; start < glyphs.size(); start += 100) {
    const std::size_t end = std::min(glyphs.size(), start + 100);
    map += std::to_string(end - start) + " beginbfchar\n";
    for (std::size_t i = start; i < end; ++i) {
      map += '<';
      AppendHex16(map, glyphs[i]);
      map += "> <";
      const char32_t c = use.text_of_glyph[glyphs[i]];
      if (c >= 0x10000) {
        AppendHex16(map, 0xD800 + ((c - 0x10000) >> 10));
        AppendHex16(map, 0xDC00 + ((c - 0x10000) & 0x3FF));
      } else {
        AppendHex16(map, static_cast<unsigned>(c));
      }
      map += ">\n";
    }
    map += "endbfchar\n";
  }
  map += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
  return map;
}

// Six capitals naming the subset, made from the glyphs it holds, as PDF asks of a subset font.
std::string SubsetTag(const std::set<std::uint16_t>& glyphs) {
  std::uint32_t hash = 2166136261u;
  for (std::uint16_t g : glyphs) hash = (hash ^ g) * 16777619u;
  std::string tag;
  for (int i = 0; i < 6; ++i, hash /= 26) tag += static_cast<char>('A' + hash % 26);
  return tag;
}

// Widths in thousandths of the em, runs of consecutive glyphs together.
std::string Widths(const TrueTypeFont& font, const std::set<std::uint16_t>& glyphs) {
  std::string w = "[";
  int previous = -2;
  for (std::uint16_t g : glyphs) {
    if (g != previous + 1) {
      if (previous >= 0) w += "] ";
      w += std::to_string(g) + " [";
    } else {
      w += ' ';
    }
    w += std::to_string(std::lround(font.Advance(g) * 1000.0 / font.UnitsPerEm()));
    previous = g;
  }
  if (previous >= 0) w += ']';
  return w + "]";
}

void WriteFont(PdfFile& pdf, int first, const TrueTypeFont& font, const FaceUse& use) {
  const std::string name = SubsetTag(use.glyphs) + "+" + font.Name();
  const auto scaled = [&](int units) { return std::to_string(std::lround(units * 1000.0 / font.UnitsPerEm())); };
  pdf.Object(first, "<< /Type /Font /Subtype /Type0 /BaseFont /" + name +
                        " /Encoding /Identity-H /DescendantFonts [" + std::to_string(first + 1) +
                        " 0 R] /ToUnicode " + std::to_string(first + 4) + " 0 R >>");
  pdf.Object(first + 1, "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + name +
                            " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
                            " /FontDescriptor " + std::to_string(first + 2) + " 0 R /CIDToGIDMap /Identity /W " +
                            Widths(font, use.glyphs) + " >>");
  const auto& box = font.BoundingBox();
  pdf.Object(first + 2, "<< /Type /FontDescriptor /FontName /" + name + " /Flags 32 /FontBBox [" + scaled(box[0]) +
                            " " + scaled(box[1]) + " " + scaled(box[2]) + " " + scaled(box[3]) +
                            "] /ItalicAngle 0 /Ascent " + scaled(font.Ascent()) + " /Descent " +
                            scaled(font.Descent()) + " /CapHeight " + scaled(font.CapHeight()) +
                            " /StemV 80 /FontFile2 " + std::to_string(first + 3) + " 0 R >>");
  const std::string subset = font.Subset(use.glyphs);
  pdf.Stream(first + 3, subset, "/Length1 " + std::to_string(subset.size()));
  pdf.Stream(first + 4, ToUnicodeMap(use));
}

}  // namespace

std::string WritePdf(const std::vector<PrintedPage>& pages, const PrintFonts& fonts, PaperSize paper,
                     std::string_view title, const std::function<void(int, int)>& progress) {
  // 1 catalogue, 2 page tree, 3 information, 4-8 and 9-13 the two faces, then each page and its
  // content.
  constexpr int kFirstFont[2] = {4, 9};
  constexpr int kFirstPage = 14;
  const int page_count = static_cast<int>(pages.size());
  // The pictures come last, so a report without one is numbered as before.
  std::vector<const ReportPicture*> pictures;
  for (const PrintedPage& page : pages) {
    for (const DrawOp& op : page.ops) {
      if (const auto* image = std::get_if<ImageOp>(&op);
          image && std::find(pictures.begin(), pictures.end(), image->picture) == pictures.end()) {
        pictures.push_back(image->picture);
      }
    }
  }
  const int first_picture = kFirstPage + 2 * page_count;
  PdfFile pdf(static_cast<std::size_t>(first_picture - 1) + pictures.size());

  pdf.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
  std::string kids;
  for (int i = 0; i < page_count; ++i) {
    if (i) kids += ' ';
    kids += std::to_string(kFirstPage + 2 * i);
    kids += " 0 R";
  }
  pdf.Object(2, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(page_count) + " >>");
  pdf.Object(3, "<< /Title " + TextString(title) + " /Producer (keydecoder) /Creator (keydecoder) >>");

  std::array<FaceUse, 2> use;
  use[0].text_of_glyph.assign(static_cast<std::size_t>(fonts.regular.GlyphCount()), 0);
  use[1].text_of_glyph.assign(static_cast<std::size_t>(fonts.bold.GlyphCount()), 0);
  const std::string fonts_used = "/Font << /F1 " + std::to_string(kFirstFont[0]) + " 0 R /F2 " +
                                 std::to_string(kFirstFont[1]) + " 0 R >>";
  const auto PageResources = [&](const PrintedPage& page, const std::vector<const ReportPicture*>& all, int first) {
    std::string images;
    for (std::size_t p = 0; p < all.size(); ++p) {
      const bool shown = std::any_of(page.ops.begin(), page.ops.end(), [&](const DrawOp& op) {
        const auto* image = std::get_if<ImageOp>(&op);
        return image && image->picture == all[p];
      });
      if (shown) images += " /Im" + std::to_string(p + 1) + " " + std::to_string(first + static_cast<int>(p)) + " 0 R";
    }
    return "/Resources << " + fonts_used + (images.empty() ? "" : " /XObject <<" + images + " >>") + " >>";
  };
  const std::string media = "/MediaBox [0 0 " + Number(paper.width) + " " + Number(paper.height) + "]";
  for (int i = 0; i < page_count; ++i) {
    const int number = kFirstPage + 2 * i;
    const PrintedPage& page = pages[static_cast<std::size_t>(i)];
    pdf.Object(number, "<< /Type /Page /Parent 2 0 R " + media + " " + PageResources(page, pictures, first_picture) +
                           " /Contents " + std::to_string(number + 1) + " 0 R >>");
    pdf.Stream(number + 1, PageContent(page, paper, use, pictures));
    if (progress) progress(i + 1, page_count);
  }
  WriteFont(pdf, kFirstFont[0], fonts.regular, use[0]);
  WriteFont(pdf, kFirstFont[1], fonts.bold, use[1]);
  for (std::size_t p = 0; p < pictures.size(); ++p) {
    const ReportPicture& picture = *pictures[p];
    pdf.Stream(first_picture + static_cast<int>(p), picture.rgb,
               "/Type /XObject /Subtype /Image /Width " + std::to_string(picture.width) + " /Height " +
                   std::to_string(picture.height) + " /ColorSpace /DeviceRGB /BitsPerComponent 8");
  }
  return pdf.Finish(3);
}

std::string WritePdfReport(const ReportDocument& document) {
  const PrintSetup* setup = document.print;
  if (!setup || !setup->heading) throw std::runtime_error("нет заголовка отчета для PDF");
  const Result<PrintFontSet> fonts = LoadPrintFonts(setup->regular_font, setup->bold_font);
  if (!fonts) throw std::runtime_error("шрифт не читается: " + fonts.Reason());
  const std::vector<PrintedPage> pages = LayOutReport(document.table, *setup->heading, fonts->View(), setup->paper);
  return WritePdf(pages, fonts->View(), setup->paper, setup->heading->report_name, setup->progress);
}

}  // namespace kd
