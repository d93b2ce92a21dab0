#include "pdf_writer.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
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

// Packs `data` into `out`, which grows only as far as the packed size: a picture packs to a
// small part of its pixels, and `out` is reused from stream to stream.
void Deflate(std::string_view data, std::string& out) {
  z_stream z{};
  if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK) throw std::runtime_error("не удалось сжать данные PDF");
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  std::size_t used = 0;
  out.resize(out.capacity());
  int status = Z_OK;
  while (status == Z_OK) {
    if (used == out.size()) out.resize(std::max<std::size_t>(2 * out.size(), 16 << 10));
    z.next_out = reinterpret_cast<Bytef*>(out.data() + used);
    z.avail_out = static_cast<uInt>(out.size() - used);
    status = deflate(&z, Z_FINISH);
    used = out.size() - z.avail_out;
  }
  deflateEnd(&z);
  if (status != Z_STREAM_END) throw std::runtime_error("не удалось сжать данные PDF");
  out.resize(used);
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
  PdfFile(std::size_t objects, std::size_t expected_size) : offsets_(objects + 1, 0) {
    out_.reserve(expected_size);
    out_ = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  }

  void Object(int number, std::string_view body) {
    Begin(number);
    out_ += body;
    out_ += "\nendobj\n";
  }

  // A stream compressed with Flate; `extra` goes into its dictionary.
  void Stream(int number, std::string_view data, std::string_view extra = {}) {
    Deflate(data, packed_);
    const std::string& packed = packed_;
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
    if (number <= 0) throw std::logic_error("PDF object 0");
    if (static_cast<std::size_t>(number) >= offsets_.size()) offsets_.resize(static_cast<std::size_t>(number) + 1, 0);
    offsets_[static_cast<std::size_t>(number)] = out_.size();
    out_ += std::to_string(number) + " 0 obj\n";
  }

  std::string out_;
  std::string packed_;
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
      for (char16_t unit : Utf16Units(use.text_of_glyph[glyphs[i]])) AppendHex16(map, unit);
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

// A PDF written a page at a time: each page's content goes out packed as soon as it is given, and
// only the fonts' glyph use is kept for the end.
class PagedPdf {
 public:
  // 1 catalogue, 2 page tree, 3 information, 4-8 and 9-13 the two faces, then each page and its
  // content, then the pictures, so a report without one is numbered as before.
  PagedPdf(const PrintFonts& fonts, PaperSize paper, std::string_view title, int page_count,
           std::function<void(int, int)> progress)
      : fonts_(fonts),
        paper_(paper),
        page_count_(page_count),
        first_picture_(kFirstPage + 2 * page_count),
        progress_(std::move(progress)),
        // Some 5 KB a packed page, and the font subsets.
        pdf_(static_cast<std::size_t>(first_picture_ - 1), 6144 * static_cast<std::size_t>(page_count) + (128 << 10)) {
    pdf_.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    std::string kids;
    for (int i = 0; i < page_count; ++i) {
      if (i) kids += ' ';
      kids += std::to_string(kFirstPage + 2 * i);
      kids += " 0 R";
    }
    pdf_.Object(2, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(page_count) + " >>");
    pdf_.Object(3, "<< /Title " + TextString(title) + " /Producer (keydecoder) /Creator (keydecoder) >>");
    use_[0].text_of_glyph.assign(static_cast<std::size_t>(fonts.regular.GlyphCount()), 0);
    use_[1].text_of_glyph.assign(static_cast<std::size_t>(fonts.bold.GlyphCount()), 0);
    fonts_used_ = "/Font << /F1 " + std::to_string(kFirstFont[0]) + " 0 R /F2 " + std::to_string(kFirstFont[1]) +
                  " 0 R >>";
    media_ = "/MediaBox [0 0 " + Number(paper.width) + " " + Number(paper.height) + "]";
  }

  void Add(const PrintedPage& page) {
    if (done_ == page_count_) throw std::logic_error("more PDF pages than announced");
    // The page's pictures, numbered in the order they first appear.
    std::string images;
    for (const DrawOp& op : page.ops) {
      const auto* image = std::get_if<ImageOp>(&op);
      if (!image) continue;
      auto known = std::find(pictures_.begin(), pictures_.end(), image->picture);
      if (known == pictures_.end()) known = pictures_.insert(known, image->picture);
      const auto index = static_cast<int>(known - pictures_.begin());
      const std::string name = "/Im" + std::to_string(index + 1) + " ";
      if (images.find(name) == std::string::npos) images += " " + name + std::to_string(first_picture_ + index) + " 0 R";
    }
    const std::string resources =
        "/Resources << " + fonts_used_ + (images.empty() ? "" : " /XObject <<" + images + " >>") + " >>";
    const int number = kFirstPage + 2 * done_;
    pdf_.Object(number, "<< /Type /Page /Parent 2 0 R " + media_ + " " + resources + " /Contents " +
                            std::to_string(number + 1) + " 0 R >>");
    pdf_.Stream(number + 1, PageContent(page, paper_, use_, pictures_));
    ++done_;
    if (progress_) progress_(done_, page_count_);
  }

  std::string Finish() {
    if (done_ != page_count_) throw std::logic_error("fewer PDF pages than announced");
    WriteFont(pdf_, kFirstFont[0], fonts_.regular, use_[0]);
    WriteFont(pdf_, kFirstFont[1], fonts_.bold, use_[1]);
    for (std::size_t p = 0; p < pictures_.size(); ++p) {
      const ReportPicture& picture = *pictures_[p];
      pdf_.Stream(first_picture_ + static_cast<int>(p), picture.rgb,
                  "/Type /XObject /Subtype /Image /Width " + std::to_string(picture.width) + " /Height " +
                      std::to_string(picture.height) + " /ColorSpace /DeviceRGB /BitsPerComponent 8");
    }
    return pdf_.Finish(3);
  }

 private:
  static constexpr int kFirstFont[2] = {4, 9};
  static constexpr int kFirstPage = 14;

  const PrintFonts& fonts_;
  PaperSize paper_;
  int page_count_;
  int first_picture_;
  std::function<void(int, int)> progress_;
  PdfFile pdf_;
  std::array<FaceUse, 2> use_;
  std::vector<const ReportPicture*> pictures_;
  std::string fonts_used_;
  std::string media_;
  int done_ = 0;
};

}  // namespace

std::string WritePdfReport(const ReportDocument& document) {
  const PrintSetup* setup = document.print;
  if (!setup || !setup->heading) throw std::runtime_error("нет заголовка отчета для PDF");
  const Result<PrintFontSet> fonts = LoadPrintFonts(setup->regular_font, setup->bold_font);
  if (!fonts) throw std::runtime_error("шрифт не читается: " + fonts.Reason());
  const PrintFonts view = fonts->View();
  std::optional<PagedPdf> pdf;
  LayOutReport(
      document.table, *setup->heading, view, setup->paper,
      [&](int count) { pdf.emplace(view, setup->paper, setup->heading->report_name, count, setup->progress); },
      [&](const PrintedPage& page) { pdf->Add(page); });
  return pdf->Finish();
}

}  // namespace kd
