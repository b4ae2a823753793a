#include "printing/report_output.h"

#include <QDir>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

#include "printing/report_painter.h"

namespace kalvora {

ReportOutputChoices& ReportOutput() {
    static ReportOutputChoices choices{[](QWidget* parent, const QString& suggestedName) {
                                           return QFileDialog::getSaveFileName(
                                               parent, QStringLiteral("Als PDF speichern"),
                                               QDir::home().filePath(suggestedName),
                                               QStringLiteral("PDF-Dateien (*.pdf)"));
                                       },
                                       [](QWidget* parent, QPrinter& printer) {
                                           QPrintDialog dialog(&printer, parent);
                                           dialog.setWindowTitle(QStringLiteral("Drucken"));
                                           return dialog.exec() == QDialog::Accepted;
                                       }};
    return choices;
}

Outcome SaveReportAsPdf(const PrintedReport& report, QWidget* parent, const QString& suggestedName) {
    QString path = ReportOutput().pdfPath(parent, suggestedName);
    if (path.isEmpty()) return Done{};
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    return WriteReportPdf(report, path.toStdString());
}

Outcome PrintReport(const PrintedReport& report, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(report.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setDocName(QString::fromStdString(report.title));
    if (!ReportOutput().print(parent, printer)) return Done{};
    PaintReport(report, printer);
    if (printer.printerState() == QPrinter::Error)
        return Failure{"Der Bericht konnte nicht gedruckt werden."};
    return Done{};
}

}  // namespace kalvora
