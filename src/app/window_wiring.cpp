#include "app/window_wiring.h"

#include <algorithm>

#include "app/setup_dialog.h"
#include "base/message_service.h"
#include "base/text.h"
#include "classification/ui/classification_dialog.h"
#include "export/ui/export_window.h"
#include "reports/department_line.h"
#include "reports/stay_detail.h"
#include "reports/ui/department_analysis_window.h"
#include "reports/ui/patient_search_window.h"
#include "reports/ui/stay_detail_window.h"
#include "ui/app_context.h"

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

ProtocolWindow::StayOpener ProtocolStayOpener(AppContext& context) {
    return [&context](const ProtocolRow& row, QWidget* parent) {
        auto notice = [&context](const std::string& text) {
            context.messages.Show(
                {text, std::string(kNoticeTitle), MessageIcon::Warning, MessageButtons::Ok, {}});
        };
        if (!row.namesStay()) {
            notice(" Diese Zeile betrifft die ganze Datei, keinen Aufenthalt.");
            return;
        }
        const Result<std::vector<Department>> departments = LoadDepartments(context.settings.SystemDataPath);
        if (!departments) {
            context.messages.ShowErrorBox(departments.message());
            return;
        }
        const auto department =
            std::find_if(departments->begin(), departments->end(), [&row](const Department& candidate) {
                return TrimBlanks(candidate.kanr) == TrimBlanks(row.hospital) &&
                       TrimBlanks(candidate.abteilung) == TrimBlanks(row.department);
            });
        const StayKey key{row.kisId, row.birthDate, row.admission};
        if (department == departments->end() ||
            !LoadStayDetail(DepartmentDatabasePath(context.settings.SystemDataPath, *department), key)) {
            notice(
                " Dieser Aufenthalt ist nicht gespeichert (ein Fehler hat ihn abgewiesen, oder seine "
                "Abteilung wurde entfernt).");
            return;
        }
        StayDetailWindow window(context, *department, CurrentDepartmentStatus(*department), key, parent);
        if (window.loaded()) window.exec();
    };
}

}  // namespace kalvora::ui
