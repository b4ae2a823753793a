#pragma once
// The department level of the ICU report: one department line per imported department, with the
// buttons to go on to the patients, search a patient, remove departments and analyse departments.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "reports/patient_search.h"

class QListWidget;

namespace kalvora::ui {

struct AppContext;

class DepartmentListWindow : public QDialog {
    Q_OBJECT
public:
    // The windows opened from here; the department level hands itself over. Empty openers open nothing.
    using LevelOpener = std::function<void(DepartmentListWindow& level)>;
    struct Openers {
        LevelOpener patientLevel;  // "&Weiter"
        LevelOpener search;        // "&Suchen"
        LevelOpener analysis;      // "&Analyse"
    };

    explicit DepartmentListWindow(AppContext& context, Openers openers = {}, QWidget* parent = nullptr);

    // The buttons by their index in the group (their object names end in it).
    enum Command : int { Next = 0, Search = 1, Remove = 3, Analyse = 4, Cancel = 5 };
    // cmd_abteilung: 0 "&Weiter", 1 "&Suchen", 3 "E&ntfernen", 4 "&Analyse", 5 "Abbrechen".
    void onCommand(Command command);

    AppContext& context() { return context_; }
    QListWidget* departmentList() const { return lst_abteilung_; }
    SearchTerms& searchTerms() { return searchTerms_; }
    std::vector<std::string> lines() const;
    std::vector<std::string> selectedLines() const;
    // The line holding the focus; empty when the list is empty.
    std::string currentLine() const;

private:
    void loadDepartments();
    bool dataImported();
    void removeDepartments();

    AppContext& context_;
    Openers openers_;
    SearchTerms searchTerms_;
    QListWidget* lst_abteilung_ = nullptr;
};

}  // namespace kalvora::ui
