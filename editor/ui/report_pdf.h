// report_pdf.h - the service report laid out on A4 pages with Qt's PDF
// writer.  Only Qt GUI is used (no widgets), so q7mctl can write the same
// report without a display.
#ifndef ZELK_UI_REPORT_PDF_H
#define ZELK_UI_REPORT_PDF_H

#include <string>

#include "files/service_report.h"

class QPainter;
class QRectF;

namespace zelk {

// The number of pages the report takes, and one page drawn into `page`
// (any paint device: the PDF writer, or an image to look at).
int reportPageCount(const ServiceReport& report);
void drawReportPage(QPainter& p, const QRectF& page, const ServiceReport& report, int index);

// Writes the report to `path`.  Needs a QGuiApplication.  Returns "" or why
// the file could not be written.
std::string writeServiceReportPdf(const ServiceReport& report, const std::string& path);

// The same from a program without windows: makes an off-screen
// QGuiApplication for the call when there is none.
std::string writeServiceReportPdfHeadless(const ServiceReport& report, const std::string& path);

}  // namespace zelk

#endif
