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

class frmAbt : public QDialog {
    Q_OBJECT
public:
    explicit frmAbt(AppContext& context, QWidget* parent = nullptr);

    // cmd_abteilung: 0 "&Weiter", 1 "&Suchen", 3 "E&ntfernen", 4 "&Analyse", 5 "Abbrechen".
    void onCommand(int index);

    // The windows opened from here; the department level hands itself over. Empty openers open nothing.
    using LevelOpener = std::function<void(frmAbt& level)>;
    static void SetPatientLevelOpener(LevelOpener opener);
    static void SetSearchOpener(LevelOpener opener);
    static void SetAnalysisOpener(LevelOpener opener);

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
    SearchTerms searchTerms_;
    QListWidget* lst_abteilung_ = nullptr;
};

}  // namespace kalvora::ui
