#include "reports/ui/frmAbta.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#ifdef KALVORA_WITH_CHARTS
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>
#endif

#include "reports/ui/frmAbt.h"
#include "shell/message_service.h"
#include "shell/ui/app_context.h"
#include "shell/ui/busy_pointer.h"
#include "shell/ui/grid_clipboard.h"
#include "shell/ui/object_names.h"
#include "shell/ui/status_bar_sink.h"

namespace kalvora::ui {

namespace {

// "&Analyse" of the department level analyses its selected lines.
const bool kHooked = [] {
    frmAbt::SetAnalysisOpener([](frmAbt& level) {
        frmAbta window(level.context(), level.selectedLines(), &level);
        window.exec();
    });
    return true;
}();

}  // namespace

frmAbta::frmAbta(AppContext& context, std::vector<std::string> departmentLines, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbta"));
    setWindowTitle(QStringLiteral(" Abteilung - Analyse"));
    setModal(true);

    grd_abta_ = new QTableWidget(this);
    grd_abta_->setObjectName(QStringLiteral("grd_abta"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const char* captions[] = {"&Kopieren", "B&eenden"};
    for (int index = 0; index < 2; ++index) {
        auto* button = new QPushButton(QString::fromUtf8(captions[index]), this);
        button->setObjectName(IndexedName("cmd_abta", index));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, index] { onCommand(index); });
        buttons->addWidget(button);
    }
    {
        BusyPointer busy;
        StatusBarSink status(context.statusBar);
        result_ = AnalyseDepartments(departmentLines, context.settings.SystemDataPath, status);
    }
    fillGrid();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grd_abta_, 2);
    if (QWidget* chart = makeChart(departmentLines)) layout->addWidget(chart, 3);
    layout->addLayout(buttons);
    resize(900, 720);

    for (const std::string& problem : result_.problems) context.messages.ShowErrorBox(problem);
}

void frmAbta::fillGrid() {
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
QWidget* frmAbta::makeChart(const std::vector<std::string>& departmentLines) {
    const AnalysisChart data = MakeAnalysisChart(departmentLines, result_.rows);
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setAnimationOptions(QChart::NoAnimation);
    if (!data.months.empty()) {
        auto* series = new QBarSeries;
        long long highest = 0;
        for (const AnalysisChartSeries& department : data.series) {
            auto* set = new QBarSet(QString::fromStdString(department.name));
            for (long long count : department.counts) {
                set->append(static_cast<qreal>(count));
                highest = std::max(highest, count);
            }
            series->append(set);
        }
        chart->addSeries(series);
        auto* months = new QBarCategoryAxis;
        for (const std::string& month : data.months) months->append(QString::fromStdString(month));
        months->setTitleText(QStringLiteral("Entlassungsmonat"));
        chart->addAxis(months, Qt::AlignBottom);
        series->attachAxis(months);
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
    }
    auto* view = new QChartView(chart, this);
    view->setObjectName(QStringLiteral("cht_abta"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(280);
    return view;
}
#else
QWidget* frmAbta::makeChart(const std::vector<std::string>&) { return nullptr; }
#endif

void frmAbta::onCommand(int index) {
    if (index == 0) {
        SelectAllAndCopy(grd_abta_, QString::fromStdString(AnalysisClipboardText(result_.rows)));
    } else {
        reject();
    }
}

}  // namespace kalvora::ui
