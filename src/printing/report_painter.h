#pragma once
// Paints a printed report on pages: the title and facts on the first page, the table with its
// header row on every page (each column as wide as its longest word needs, long texts wrapped in
// their cell), the chart after the table, and on every page the program's version, the date of
// printing and "Seite n von m". The same painting serves the PDF file and the printer.

#include <QPagedPaintDevice>
#include <string>

#include "base/result.h"
#include "printing/printed_report.h"

namespace kalvora {

// Paints the report on the device, beginning on its present page; returns the number of pages.
int PaintReport(const PrintedReport& report, QPagedPaintDevice& device);

// Writes the report as an A4 PDF file (landscape when the report asks for it).
Outcome WriteReportPdf(const PrintedReport& report, const std::string& path);

// The command line has no window system: a Qt application on the offscreen platform gives the
// PDF writer its fonts. Does nothing when an application runs.
void EnsureGuiApplication();

// "Kalvora 1.2.0"
std::string ProgramVersionText();

}  // namespace kalvora
