#pragma once
// The patient search: admission number, birth date or both. From the department level it selects the
// first department whose database holds a matching stay, from the patient level it makes the first
// matching line current. The terms are remembered, so that "Fortsetzen" goes on after the last hit.

#include <QDialog>
#include <vector>

#include "reports/patient_search.h"

class QLineEdit;
class QListWidget;

namespace kalvora::ui {

struct AppContext;

class PatientSearchWindow : public QDialog {
    Q_OBJECT
public:
    // The level marker: "Abteilungsebene" searches the department list, "Patientenebene" the patient list.
    enum class Level { Abteilungsebene, Patientenebene };

    // The search of the department level: `departments` are the lines of `list`, top to bottom.
    PatientSearchWindow(AppContext& context, SearchTerms& terms, const std::vector<Department>& departments,
                        QListWidget* list, QWidget* parent = nullptr);
    // The search of the patient level: `stays` are the lines of `list`, top to bottom.
    PatientSearchWindow(AppContext& context, SearchTerms& terms, const std::vector<StayOverview>& stays,
                        QListWidget* list, QWidget* parent = nullptr);

    // The buttons by their index in the group (their object names end in it).
    enum Command : int { Begin = 0, Continue = 1, Cancel = 2 };
    // cmd_pats: 0 "&Beginnen", 1 "Fortsetzen", 2 "Abbrechen".
    void onCommand(Command command);
    // The birth-date field as on leaving it: a refused date clears the field and puts the focus back
    // into it (false then).
    bool leaveBirthDateField();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PatientSearchWindow(AppContext& context, SearchTerms& terms, Level level, QListWidget* list,
                        QWidget* parent);
    void search(SearchStart start);
    bool searchDepartments(SearchStart start);
    bool searchPatients(SearchStart start);

    AppContext& context_;
    SearchTerms& terms_;
    Level level_;
    const std::vector<Department>* departments_ = nullptr;
    const std::vector<StayOverview>* stays_ = nullptr;
    QListWidget* list_ = nullptr;
    QLineEdit* txt_pats_kis_id_ = nullptr;
    QLineEdit* txt_pats_dob_ = nullptr;
};

}  // namespace kalvora::ui
