#include "app/window_wiring.h"

#include "app/setup_dialog.h"
#include "classification/ui/classification_dialog.h"
#include "export/ui/export_window.h"
#include "reports/ui/department_analysis_window.h"
#include "reports/ui/patient_search_window.h"
#include "reports/ui/stay_detail_window.h"

namespace kalvora::ui {

WindowOpeners ProgramWindowOpeners() {
    WindowOpeners openers;
    openers[MenuCommand::Export] = [](AppContext& context, QWidget* parent) {
        ExportWindow window(context, parent);
        window.exec();
    };
    openers[MenuCommand::Intensivbericht] = [](AppContext& context, QWidget* parent) {
        DepartmentListWindow window(context, DepartmentLevelOpeners(), parent);
        window.exec();
    };
    openers[MenuCommand::Einstufung] = [](AppContext& context, QWidget* parent) {
        ClassificationDialog window(context, parent);
        window.exec();
    };
    openers[MenuCommand::Einrichtung] = [](AppContext& context, QWidget* parent) {
        SetupDialog window(context, parent);
        window.exec();
    };
    return openers;
}

DepartmentListWindow::Openers DepartmentLevelOpeners() {
    DepartmentListWindow::Openers openers;
    // The patients of the current line, searched with the terms of the department level.
    openers.patientLevel = [](DepartmentListWindow& level) {
        const std::optional<Department> department = level.currentDepartment();
        if (!department) return;
        PatientListWindow window(level.context(), *department, PatientLevelOpeners(), &level,
                                 &level.searchTerms());
        window.exec();
    };
    openers.search = [](DepartmentListWindow& level) {
        PatientSearchWindow window(level.context(), level.searchTerms(), level.departments(),
                                   level.departmentList(), &level);
        window.exec();
    };
    openers.analysis = [](DepartmentListWindow& level) {
        DepartmentAnalysisWindow window(level.context(), level.selectedDepartments(), &level);
        window.exec();
    };
    return openers;
}

PatientListWindow::Openers PatientLevelOpeners() {
    PatientListWindow::Openers openers;
    openers.detail = [](PatientListWindow& level) {
        StayDetailWindow window(level.context(), level.department(), level.departmentStatus(),
                                level.stayKey(), &level);
        if (window.loaded()) window.exec();
    };
    openers.search = [](PatientListWindow& level) {
        PatientSearchWindow window(level.context(), level.searchTerms(), level.stays(), level.patientList(),
                                   &level);
        window.exec();
    };
    return openers;
}

}  // namespace kalvora::ui
