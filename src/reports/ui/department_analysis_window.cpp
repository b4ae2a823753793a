#include "reports/ui/department_analysis_window.h"

#include <QCursor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#ifdef KALVORA_WITH_CHARTS
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>
#endif

#include "base/message_service.h"
#include "printing/report_output.h"
#include "ui/app_context.h"
#include "ui/busy_pointer.h"
#include "ui/grid_clipboard.h"
#include "ui/object_names.h"
#include "ui/status_bar_sink.h"

namespace kalvora::ui {

DepartmentAnalysisWindow::DepartmentAnalysisWindow(AppContext& context,
                                                   const std::vector<Department>& departments,
                                                   QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbta"));
    setWindowTitle(QStringLiteral(" Abteilung - Analyse"));
    setModal(true);

    grd_abta_ = new QTableWidget(this);
    grd_abta_->setObjectName(QStringLiteral("grd_abta"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    // "Als P&DF speichern…" and "&Drucken…" stand before "&Kopieren".
    for (int index : {SavePdf, Print}) {
        auto* button = new QPushButton(
            index == SavePdf ? QStringLiteral("Als P&DF speichern…") : QStringLiteral("&Drucken…"), this);
        button->setObjectName(IndexedName("cmd_abta", index));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this,
                [this, index] { onCommand(static_cast<Command>(index)); });
        buttons->addWidget(button);
    }
    const char* captions[] = {"&Kopieren", "B&eenden"};
    for (int index = 0; index < 2; ++index) {
        auto* button = new QPushButton(QString::fromUtf8(captions[index]), this);
        button->setObjectName(IndexedName("cmd_abta", index));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this,
                [this, index] { onCommand(static_cast<Command>(index)); });
        buttons->addWidget(button);
    }
    messages_ = &context.messages;
    {
        BusyPointer busy;
        StatusBarSink status(context.statusBar);
        result_ = AnalyseDepartments(departments, context.settings.SystemDataPath, status);
    }
    fillGrid();
    chart_ = MakeAnalysisChart(departments, result_.rows);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grd_abta_, 2);
    if (QWidget* chart = makeChart()) layout->addWidget(chart, 3);
    layout->addLayout(buttons);
    resize(900, 720);

    for (const std::string& problem : result_.problems) context.messages.ShowErrorBox(problem);
}

void DepartmentAnalysisWindow::fillGrid() {
    QStringList headers;
    for (std::string_view header : kAnalysisGridHeaders) {
        headers << QString::fromUtf8(header.data(), static_cast<qsizetype>(header.size()));
    }
    grd_abta_->setColumnCount(static_cast<int>(headers.size()));
    grd_abta_->setHorizontalHeaderLabels(headers);
    grd_abta_->setRowCount(static_cast<int>(result_.rows.size()));
    grd_abta_->verticalHeader()->hide();
    grd_abta_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < static_cast<int>(result_.rows.size()); ++row) {
        const AnalysisRow& cells = result_.rows[static_cast<std::size_t>(row)];
        const std::string* values[] = {&cells.hospital, &cells.department, &cells.year, &cells.month,
                                       &cells.count};
        for (int column = 0; column < 5; ++column) {
            grd_abta_->setItem(row, column, new QTableWidgetItem(QString::fromStdString(*values[column])));
        }
    }
    const int letter = grd_abta_->fontMetrics().horizontalAdvance(QLatin1Char('X'));
    for (int column = 0; column < 5; ++column)
        grd_abta_->setColumnWidth(column, kAnalysisGridWidths[static_cast<std::size_t>(column)] * letter);
}

#ifdef KALVORA_WITH_CHARTS
QWidget* DepartmentAnalysisWindow::makeChart() {
    auto* chart = new QChart;
    // The chart's own legend cuts long entries to fit one line; the one below the chart wraps them.
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    if (!chart_.months.empty()) {
        auto* series = new QBarSeries;
        long long highest = 0;
        for (std::size_t index = 0; index < chart_.series.size(); ++index) {
            const AnalysisChartSeries& department = chart_.series[index];
            auto* set = new QBarSet(QString::fromStdString(department.name));
            for (long long count : department.counts) {
                set->append(static_cast<qreal>(count));
                highest = std::max(highest, count);
            }
            connect(set, &QBarSet::hovered, this,
                    [this, index](bool hovered, int month) { showBarFigure(hovered, index, month); });
            series->append(set);
        }
        // Wide bars, so that a month among many is still seen.
        series->setBarWidth(0.8);
        chart->addSeries(series);
        // Month i of the chart is the value i of the axis; its labels stand on the labelled months.
        monthAxis_ = new QCategoryAxis;
        monthAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        monthAxis_->setRange(-0.5, static_cast<qreal>(chart_.months.size()) - 0.5);
        monthAxis_->setStartValue(-0.5);
        monthAxis_->setGridLineVisible(false);
        monthAxis_->setTitleText(QStringLiteral("Entlassungsmonat"));
        chart->addAxis(monthAxis_, Qt::AlignBottom);
        series->attachAxis(monthAxis_);
        auto* counts = new QValueAxis;
        counts->setTitleText(QStringLiteral("#Intensiv-Patienten"));
        counts->setLabelFormat(QStringLiteral("%d"));
        // Whole numbers only: one tick per patient for small counts, round steps for larger ones.
        counts->setRange(0, static_cast<qreal>(std::max(highest, 1LL)));
        if (highest <= 10) {
            counts->setTickCount(static_cast<int>(std::max(highest, 1LL)) + 1);
        } else {
            counts->applyNiceNumbers();
        }
        chart->addAxis(counts, Qt::AlignLeft);
        series->attachAxis(counts);
        connect(chart, &QChart::plotAreaChanged, this, [this] { labelMonths(); });
    }
    chartView_ = new QChartView(chart);
    chartView_->setObjectName(QStringLiteral("cht_abta"));
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumHeight(280);

    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chartView_, 1);
    if (!chart_.months.empty()) layout->addLayout(makeLegend(chart, panel));
    const std::string note = WithoutMonthNote(chart_);
    if (!note.empty()) {
        auto* label = new QLabel(QString::fromStdString(note), panel);
        label->setObjectName(QStringLiteral("lbl_ohne_monat"));
        label->setWordWrap(true);
        label->setContentsMargins(12, 0, 12, 0);
        layout->addWidget(label);
    }
    labelMonths();
    return panel;
}

QGridLayout* DepartmentAnalysisWindow::makeLegend(QChart* chart, QWidget* panel) {
    // Two columns, the entry of each department in the colour of its bars.
    auto* legend = new QGridLayout;
    legend->setContentsMargins(12, 0, 12, 0);
    const QList<QBarSet*> sets = qobject_cast<QBarSeries*>(chart->series().front())->barSets();
    for (int index = 0; index < sets.size(); ++index) {
        auto* entry = new QLabel(QStringLiteral("<span style=\"color:%1\">&#9632;</span>&nbsp;%2")
                                     .arg(sets[index]->color().name(), sets[index]->label().toHtmlEscaped()),
                                 panel);
        entry->setObjectName(IndexedName("lbl_legende", index));
        entry->setTextFormat(Qt::RichText);
        entry->setWordWrap(true);
        legend->addWidget(entry, index / 2, index % 2);
    }
    return legend;
}

void DepartmentAnalysisWindow::labelMonths() {
    if (monthAxis_ == nullptr) return;
    const qreal width = chartView_->chart()->plotArea().width();
    const QFontMetricsF metrics(monthAxis_->labelsFont());
    // A label and the width of a letter between it and the next.
    const qreal labelWidth = metrics.horizontalAdvance(QStringLiteral("00.0000X"));
    const qreal monthWidth = width > 0 ? width / static_cast<qreal>(chart_.months.size()) : 0;
    const std::size_t apart =
        monthWidth > 0 ? static_cast<std::size_t>(std::ceil(labelWidth / monthWidth)) : chart_.months.size();
    if (apart == monthsApart_) return;
    monthsApart_ = apart;
    for (const QString& label : monthAxis_->categoriesLabels()) monthAxis_->remove(label);
    for (std::size_t index : LabelledMonths(chart_.months, apart)) {
        monthAxis_->append(QString::fromStdString(MonthLabel(chart_.months[index])),
                           static_cast<qreal>(index));
    }
}

void DepartmentAnalysisWindow::showBarFigure(bool hovered, std::size_t series, int month) {
    if (!hovered || month < 0) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(
        QCursor::pos(),
        QString::fromStdString(AnalysisBarText(chart_, series, static_cast<std::size_t>(month))), chartView_);
}
#else
QWidget* DepartmentAnalysisWindow::makeChart() { return nullptr; }
#endif

void DepartmentAnalysisWindow::onCommand(Command command) {
    const int index = command;
    if (index == 0) {
        SelectAllAndCopy(grd_abta_, QString::fromStdString(AnalysisClipboardText(result_.rows)));
    } else if (index == SavePdf || index == Print) {
        const Outcome done =
            index == SavePdf ? SaveReportAsPdf(printedReport(), this, QStringLiteral("Abteilungsanalyse.pdf"))
                             : PrintReport(printedReport(), this);
        if (!done) messages_->ShowErrorBox(done.message());
    } else {
        reject();
    }
}

PrintedReport DepartmentAnalysisWindow::printedReport() const {
    return AnalysisPrintedReport(result_, chart_, TodayText());
}

}  // namespace kalvora::ui
