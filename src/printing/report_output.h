#pragma once
// The windows' "Als P&DF speichern…" and "&Drucken…": the file name is asked in a save dialog,
// the printer in Qt's print dialog. Window tests replace both choices so that no dialog blocks.

#include <QString>
#include <functional>

#include "base/result.h"
#include "printing/printed_report.h"

class QPrinter;
class QWidget;

namespace kalvora {

struct ReportOutputChoices {
    // The PDF file's path; empty when the user cancelled.
    std::function<QString(QWidget* parent, const QString& suggestedName)> pdfPath;
    // True when the user chose to print on the printer as set up.
    std::function<bool(QWidget* parent, QPrinter& printer)> print;
};

// The choices in effect: the dialogs, unless a test set others.
ReportOutputChoices& ReportOutput();

// Asks for the file and writes the report; done also when the user cancelled.
Outcome SaveReportAsPdf(const PrintedReport& report, QWidget* parent, const QString& suggestedName);
// Asks for the printer and prints the report; done also when the user cancelled.
Outcome PrintReport(const PrintedReport& report, QWidget* parent);

}  // namespace kalvora
