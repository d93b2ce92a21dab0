#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "formats.h"
#include "print_layout.h"

namespace kd {

// A PDF 1.4 file of laid-out pages: the fonts embedded as subsets (Type0, Identity-H, with a
// ToUnicode map so the text can be searched and copied), content streams and fonts compressed.
// Deterministic: the same pages give the same bytes; there is no time stamp inside.
// `progress` hears of each page written.
std::string WritePdf(const std::vector<PrintedPage>& pages, const PrintFonts& fonts, PaperSize paper,
                     std::string_view title, const std::function<void(int done, int total)>& progress = {});

// The report as a PDF file: the document's print setup gives heading, fonts and paper. Throws
// std::runtime_error, with the reason in Russian, without a print setup or with a font that
// cannot be read.
std::string WritePdfReport(const ReportDocument& document);

}  // namespace kd
