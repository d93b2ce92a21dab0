#pragma once

#include <string>

#include "formats.h"
#include "print_layout.h"

namespace kd {

// The report as a PDF 1.4 file: the fonts embedded as subsets (Type0, Identity-H, with a ToUnicode
// map so the text can be searched and copied), content streams and fonts compressed.
// Deterministic: the same document gives the same bytes; there is no time stamp inside.
// The document's print setup gives heading, fonts and paper. Throws
// std::runtime_error, with the reason in Russian, without a print setup or with a font that
// cannot be read.
std::string WritePdfReport(const ReportDocument& document);

}  // namespace kd
