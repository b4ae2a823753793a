#pragma once
// The department analysis: ICU stays per discharge month of the chosen departments, in a grid that
// "&Kopieren" puts on the clipboard, and below it as a bar chart with one bar per department and month.

#include <QDialog>
#include <string>
#include <vector>

#include "reports/department_analysis.h"

class QTableWidget;

namespace kalvora::ui {

struct AppContext;

class frmAbta : public QDialog {
    Q_OBJECT
public:
    frmAbta(AppContext& context, std::vector<std::string> departmentLines, QWidget* parent = nullptr);

    // cmd_abta: 0 "&Kopieren", 1 "B&eenden".
    void onCommand(int index);
    const std::vector<AnalysisRow>& rows() const { return result_.rows; }

private:
    void fillGrid();
    QWidget* makeChart(const std::vector<std::string>& departmentLines);

    AnalysisResult result_;
    QTableWidget* grd_abta_ = nullptr;
};

}  // namespace kalvora::ui
