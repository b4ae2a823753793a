#include "printing/report_painter.h"

#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cstdio>
#include <numeric>

namespace kalvora {

namespace {

constexpr double kMarginPoints = 36;
constexpr double kCellPaddingPoints = 2.5;
constexpr double kChartHeightPoints = 230;

QString Text(const std::string& text) { return QString::fromStdString(text); }

// Cells wrap between words, and inside a word only where it does not fit on a line of its own.
QTextOption CellOption() {
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

QFont ReportFont(double points, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Everything placed on the pages, in device units.
class ReportLayout {
public:
    ReportLayout(const PrintedReport& report, QPagedPaintDevice& device) : report_(report), device_(device) {
        unit_ = device.logicalDpiY() / 72.0;
        const QRectF page(0, 0, device.width(), device.height());
        area_ = page.adjusted(pt(kMarginPoints), pt(kMarginPoints), -pt(kMarginPoints), -pt(kMarginPoints));
        chooseColumns();
    }

    // Walks the report; paints when a painter is given. Returns the number of pages.
    int walk(QPainter* painter, int pages) {
        painter_ = painter;
        pages_ = pages;
        page_ = 1;
        y_ = area_.top();
        title();
        tableHeader();
        for (const auto& row : report_.rows) {
            const double height = rowHeight(row, cellFont());
            if (y_ + height > bottom()) {
                newPage();
                tableHeader();
            }
            drawRow(row, cellFont(), false, height);
        }
        if (report_.chart) {
            y_ += pt(14);
            if (y_ + pt(kChartHeightPoints) > bottom()) newPage();
            chart(QRectF(area_.left(), y_, area_.width(), pt(kChartHeightPoints)));
        }
        footer();
        return page_;
    }

private:
    double pt(double points) const { return points * unit_; }
    double bottom() const { return area_.bottom() - pt(18); }
    QFont cellFont() const { return ReportFont(fontPoints_); }
    QFont headerFont() const { return ReportFont(fontPoints_, true); }

    double textWidth(const QFont& font, const QString& text) const {
        return QFontMetricsF(font, &device_).horizontalAdvance(text);
    }

    // Each column at least as wide as its longest word, the rest shared by how much more the full
    // texts would need. The font shrinks until the longest words fit side by side.
    void chooseColumns() {
        const std::size_t count = report_.headers.size();
        for (fontPoints_ = report_.landscape ? 7.0 : 9.0;; fontPoints_ -= 0.5) {
            std::vector<double> least(count, 0), full(count, 0);
            for (std::size_t column = 0; column < count; ++column) {
                auto measure = [&](const std::string& text, const QFont& font) {
                    // A code or figure (a word with a digit) is never broken; a name may break
                    // anywhere once it is longer than a few letters.
                    const double brokenWord = textWidth(font, QStringLiteral("Mmmmm"));
                    for (const QString& word : Text(text).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                        const bool figure =
                            std::any_of(word.begin(), word.end(), [](QChar c) { return c.isDigit(); });
                        const double width = textWidth(font, word);
                        least[column] = std::max(least[column], figure ? width : std::min(width, brokenWord));
                    }
                    full[column] = std::max(full[column], textWidth(font, Text(text).trimmed()));
                };
                measure(report_.headers[column], headerFont());
                for (const auto& row : report_.rows) {
                    if (column < row.size()) measure(row[column], cellFont());
                }
            }
            const double padding = 2 * pt(kCellPaddingPoints) + pt(1);
            for (double& width : least) width += padding;
            for (double& width : full) width += padding;
            const double needed = std::accumulate(least.begin(), least.end(), 0.0);
            if (needed <= area_.width() || fontPoints_ <= 4.5) {
                widths_ = least;
                const double spare = std::max(0.0, area_.width() - needed);
                double wanted = 0;
                for (std::size_t column = 0; column < count; ++column) wanted += full[column] - least[column];
                for (std::size_t column = 0; column < count && wanted > 0; ++column)
                    widths_[column] += std::min(full[column] - least[column],
                                                spare * (full[column] - least[column]) / wanted);
                // Never wider than the page: the last resort narrows every column alike.
                if (needed > area_.width()) {
                    for (double& width : widths_) width *= area_.width() / needed;
                }
                return;
            }
        }
    }

    double cellHeight(const QFont& font, const std::string& text, double width) const {
        const QRectF bounds = QFontMetricsF(font, &device_)
                                  .boundingRect(QRectF(0, 0, width - 2 * pt(kCellPaddingPoints), 1e9),
                                                Qt::TextWordWrap, Text(text));
        return bounds.height() + 2 * pt(kCellPaddingPoints);
    }

    double rowHeight(const std::vector<std::string>& row, const QFont& font) const {
        double height = 0;
        for (std::size_t column = 0; column < widths_.size() && column < row.size(); ++column)
            height = std::max(height, cellHeight(font, row[column], widths_[column]));
        return height;
    }

    void drawRow(const std::vector<std::string>& row, const QFont& font, bool header, double height) {
        if (painter_) {
            painter_->setFont(font);
            double x = area_.left();
            for (std::size_t column = 0; column < widths_.size(); ++column) {
                const QRectF cell(x, y_, widths_[column], height);
                if (header) painter_->fillRect(cell, QColor(0xe8, 0xe8, 0xe8));
                painter_->setPen(QPen(QColor(0x80, 0x80, 0x80), pt(0.4)));
                painter_->drawRect(cell);
                painter_->setPen(Qt::black);
                const QString text = column < row.size() ? Text(row[column]) : QString();
                painter_->drawText(cell.adjusted(pt(kCellPaddingPoints), pt(kCellPaddingPoints),
                                                 -pt(kCellPaddingPoints), -pt(kCellPaddingPoints)),
                                   text, CellOption());
                x += widths_[column];
            }
        }
        y_ += height;
    }

    void tableHeader() {
        drawRow(report_.headers, headerFont(), true, rowHeight(report_.headers, headerFont()));
    }

    void title() {
        const QFont titleFont = ReportFont(14, true);
        const double titleHeight = QFontMetricsF(titleFont, &device_).height();
        if (painter_) {
            painter_->setFont(titleFont);
            painter_->drawText(QRectF(area_.left(), y_, area_.width(), titleHeight), Qt::AlignLeft,
                               Text(report_.title));
        }
        y_ += titleHeight + pt(6);
        const QFont factFont = ReportFont(9);
        for (const std::string& fact : report_.facts) {
            const QRectF bounds =
                QFontMetricsF(factFont, &device_)
                    .boundingRect(QRectF(0, 0, area_.width(), 1e9), Qt::TextWordWrap, Text(fact));
            if (painter_) {
                painter_->setFont(factFont);
                painter_->drawText(QRectF(area_.left(), y_, area_.width(), bounds.height()), Qt::TextWordWrap,
                                   Text(fact));
            }
            y_ += bounds.height() + pt(1);
        }
        y_ += pt(8);
    }

    void footer() {
        if (!painter_) return;
        const QFont font = ReportFont(8);
        const QRectF line(area_.left(), area_.bottom() - pt(12), area_.width(), pt(12));
        painter_->setFont(font);
        painter_->setPen(Qt::black);
        painter_->drawText(line, Qt::AlignLeft | Qt::AlignBottom,
                           Text(ProgramVersionText() + "  ·  gedruckt am " + report_.printedOn));
        painter_->drawText(line, Qt::AlignRight | Qt::AlignBottom, Text(PageNumberText(page_, pages_)));
    }

    void newPage() {
        footer();
        if (painter_) device_.newPage();
        ++page_;
        y_ = area_.top();
    }

    void chart(const QRectF& frame) {
        const AnalysisChart& data = *report_.chart;
        y_ = frame.bottom();
        if (!painter_ || data.months.empty()) return;
        const QFont font = ReportFont(7);
        const QFontMetricsF metrics(font, &device_);
        painter_->setFont(font);
        long long highest = 1;
        for (const auto& series : data.series) {
            for (long long count : series.counts) highest = std::max(highest, count);
        }
        const double legendHeight = static_cast<double>(data.series.size()) * metrics.height() + pt(4);
        const double axisWidth = metrics.horizontalAdvance(QString::number(highest)) + pt(6);
        const QRectF plot(frame.left() + axisWidth, frame.top(), frame.width() - axisWidth,
                          frame.height() - legendHeight - metrics.height() - pt(6));
        static const QColor colours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xff, 0x7f, 0x0e),
                                         QColor(0x2c, 0xa0, 0x2c), QColor(0xd6, 0x27, 0x28),
                                         QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b)};
        const double monthWidth = plot.width() / static_cast<double>(data.months.size());
        const double barWidth =
            monthWidth * 0.8 / static_cast<double>(std::max<std::size_t>(1, data.series.size()));
        for (std::size_t s = 0; s < data.series.size(); ++s) {
            const QColor colour = colours[s % std::size(colours)];
            for (std::size_t m = 0; m < data.months.size() && m < data.series[s].counts.size(); ++m) {
                const double height = plot.height() * static_cast<double>(data.series[s].counts[m]) /
                                      static_cast<double>(highest);
                painter_->fillRect(QRectF(plot.left() + static_cast<double>(m) * monthWidth +
                                              monthWidth * 0.1 + static_cast<double>(s) * barWidth,
                                          plot.bottom() - height, barWidth, height),
                                   colour);
            }
            const double legendY =
                plot.bottom() + metrics.height() + pt(6) + static_cast<double>(s) * metrics.height();
            painter_->fillRect(
                QRectF(plot.left(), legendY + metrics.height() * 0.2, pt(8), metrics.height() * 0.6), colour);
            painter_->drawText(QPointF(plot.left() + pt(11), legendY + metrics.ascent()),
                               Text(data.series[s].name));
        }
        painter_->setPen(QPen(Qt::black, pt(0.5)));
        painter_->drawLine(plot.bottomLeft(), plot.bottomRight());
        painter_->drawLine(plot.bottomLeft(), plot.topLeft());
        painter_->drawText(
            QRectF(frame.left(), plot.top() - metrics.height() / 2, axisWidth - pt(3), metrics.height()),
            Qt::AlignRight, QString::number(highest));
        painter_->drawText(
            QRectF(frame.left(), plot.bottom() - metrics.height() / 2, axisWidth - pt(3), metrics.height()),
            Qt::AlignRight, QStringLiteral("0"));
        const double labelWidth = metrics.horizontalAdvance(QStringLiteral("00.0000")) + pt(6);
        const auto apart = static_cast<std::size_t>(std::ceil(labelWidth / monthWidth));
        for (std::size_t m : LabelledMonths(data.months, std::max<std::size_t>(1, apart))) {
            const double centre = plot.left() + (static_cast<double>(m) + 0.5) * monthWidth;
            painter_->drawText(
                QRectF(centre - labelWidth / 2, plot.bottom() + pt(2), labelWidth, metrics.height()),
                Qt::AlignHCenter, Text(MonthLabel(data.months[m])));
        }
    }

    const PrintedReport& report_;
    QPagedPaintDevice& device_;
    QPainter* painter_ = nullptr;
    double unit_ = 1;
    QRectF area_;
    std::vector<double> widths_;
    double fontPoints_ = 9;
    double y_ = 0;
    int page_ = 1;
    int pages_ = 1;
};

}  // namespace

std::string ProgramVersionText() { return "Kalvora " KALVORA_VERSION; }

int PaintReport(const PrintedReport& report, QPagedPaintDevice& device) {
    ReportLayout layout(report, device);
    const int pages = layout.walk(nullptr, 0);
    QPainter painter(&device);
    return layout.walk(&painter, pages);
}

Outcome WriteReportPdf(const PrintedReport& report, const std::string& path) {
    EnsureGuiApplication();
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return Failure{"Die PDF-Datei " + path +
                       " kann nicht angelegt werden: " + file.errorString().toStdString() + "."};
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(report.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(300);
        writer.setTitle(QString::fromStdString(report.title));
        writer.setCreator(QString::fromStdString(ProgramVersionText()));
        PaintReport(report, writer);
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        return Failure{"Die PDF-Datei " + path +
                       " kann nicht geschrieben werden: " + file.errorString().toStdString() + "."};
    return Done{};
}

void EnsureGuiApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The terminal gets the program's own messages only, not Qt's notes on its environment.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    static int argc = 1;
    static char name[] = "kalvora-cli";
    static char* argv[] = {name, nullptr};
    // Lives to the end of the program: the fonts it loaded are used until then.
    new QGuiApplication(argc, argv);
}

}  // namespace kalvora
