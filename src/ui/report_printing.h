#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "export/print_layout.h"
#include "io/report_fonts.h"
#include "io/result.h"

class QPagedPaintDevice;
class QProgressDialog;
class QWidget;

namespace kd {

// DejaVu Sans and its bold face for printed reports, read once: from a "fonts" folder beside the
// program (a Windows installation), else from the system's.
const Result<ReportFontBytes>& ReportFonts();

// A4, but Letter where the user's locale measures in inches.
PaperSize LocalePaper();

// "2026-12-11 08:12", now.
std::string PrintDateNow();

// A progress box for a long write: it appears only when the work takes over half a second, and
// the window keeps painting meanwhile (user input waits, so nothing starts twice).
class WriteProgress {
 public:
  WriteProgress(QWidget* parent, const QString& text);
  ~WriteProgress();
  WriteProgress(const WriteProgress&) = delete;
  WriteProgress& operator=(const WriteProgress&) = delete;

  // What a writer calls after each page.
  std::function<void(int done, int total)> Callback();

 private:
  std::unique_ptr<QProgressDialog> dialog_;
};

// Paints the pages on a paged device (a printer) exactly as the PDF writer draws them: the same
// glyphs at the same places, scaled from points to the device. The device's page must be the
// pages' paper, with its origin at the paper's corner.
// The fonts are those of `files`; the painter uses them by their files where it can, so that a PDF
// printer embeds them and the text can be searched there too.
void PaintPages(QPagedPaintDevice& device, const std::vector<PrintedPage>& pages, const PrintFontSet& fonts,
                const ReportFontBytes& files, const std::function<void(int done, int total)>& progress = {});

}  // namespace kd
