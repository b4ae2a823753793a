#pragma once
// The department level of the ICU report: one department line per imported department, with the
// buttons to go on to the patients, search a patient, remove departments and analyse departments.

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "reports/patient_search.h"
#include "store/admin_database.h"
#include "ui/value_list.h"

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
    QListWidget* departmentList() const { return departments_.widget(); }
    SearchTerms& searchTerms() { return searchTerms_; }
    // The departments of the list, top to bottom.
    const std::vector<Department>& departments() const { return departments_.values(); }
    std::vector<Department> selectedDepartments() const { return departments_.selectedValues(); }
    // The department holding the focus (the first when none has it); none when the list is empty.
    std::optional<Department> currentDepartment() const;

private:
    void loadDepartments();
    void selectFirst();
    bool dataImported();
    void removeDepartments();

    AppContext& context_;
    Openers openers_;
    SearchTerms searchTerms_;
    ValueList<Department> departments_;
};

}  // namespace kalvora::ui
