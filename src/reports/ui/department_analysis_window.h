#pragma once
// The department analysis: ICU stays per discharge month of the chosen departments, in a grid that
// "&Kopieren" puts on the clipboard, and below it as a bar chart with one bar per department and month
// over every month of the range; a bar tells its figure on hover.

#include <QDialog>
#include <string>
#include <vector>

#include "printing/printed_report.h"
#include "reports/department_analysis.h"
#include "reports/department_analysis_chart.h"

class QCategoryAxis;
class QChart;
class QChartView;
class QGridLayout;
class QTableWidget;

namespace kalvora {
class MessageService;
}

namespace kalvora::ui {

struct AppContext;

class DepartmentAnalysisWindow : public QDialog {
    Q_OBJECT
public:
    DepartmentAnalysisWindow(AppContext& context, const std::vector<Department>& departments,
                             QWidget* parent = nullptr);

    // The buttons by their index in the group (their object names end in it).
    enum Command : int { Copy = 0, Close = 1, SavePdf = 2, Print = 3 };
    // cmd_abta: 0 "&Kopieren", 1 "B&eenden", 2 "Als P&DF speichern…", 3 "&Drucken…".
    void onCommand(Command command);
    const std::vector<AnalysisRow>& rows() const { return result_.rows; }
    // The report that "Als P&DF speichern…" and "&Drucken…" put out.
    PrintedReport printedReport() const;

private:
    void fillGrid();
    QWidget* makeChart();
    QGridLayout* makeLegend(QChart* chart, QWidget* panel);
    // Labels as many months of the time axis as fit side by side at the chart's present width.
    void labelMonths();
    void showBarFigure(bool hovered, std::size_t series, int month);

    AnalysisResult result_;
    MessageService* messages_ = nullptr;
    AnalysisChart chart_;
    QTableWidget* grd_abta_ = nullptr;
    QChartView* chartView_ = nullptr;
    QCategoryAxis* monthAxis_ = nullptr;
    std::size_t monthsApart_ = 0;
};

}  // namespace kalvora::ui
