#pragma once
// The patient level of the ICU report: the stays of one department with their status; "&Weiter"
// opens the detail view of an ICU stay.

#include <QDialog>
#include <functional>
#include <string>

#include "reports/patient_line.h"
#include "reports/patient_search.h"
#include "store/admin_database.h"
#include "ui/value_list.h"

class QListWidget;

namespace kalvora::ui {

struct AppContext;

class PatientListWindow : public QDialog {
    Q_OBJECT
public:
    // The search terms are those of the department level that opened this window; without them the
    // window keeps terms of its own.
    // The windows opened from here; empty openers open nothing.
    using PatientOpener = std::function<void(PatientListWindow& level)>;
    struct Openers {
        PatientOpener detail;  // "&Weiter" on a stay of type INT
        PatientOpener search;  // "&Suchen"
    };

    PatientListWindow(AppContext& context, Department department, Openers openers = {},
                      QWidget* parent = nullptr, SearchTerms* searchTerms = nullptr);

    // The buttons by their index in the group (their object names end in it).
    enum Command : int { Next = 0, Search = 1, Cancel = 4 };
    // cmd_patient: 0 "&Weiter", 1 "&Suchen", 4 "Abbrechen".
    void onCommand(Command command);
    // "Abbrechen", Esc and the close box alike: the department leaves the status bar.
    void reject() override;

    AppContext& context() { return context_; }
    QListWidget* patientList() const { return stays_.widget(); }
    // The stays of the list, top to bottom.
    const std::vector<StayOverview>& stays() const { return stays_.values(); }
    const Department& department() const { return department_; }
    const std::string& departmentStatus() const { return departmentStatus_; }
    const StayKey& stayKey() const { return stayKey_; }
    SearchTerms& searchTerms() { return *searchTerms_; }

private:
    void loadPatients();

    AppContext& context_;
    Openers openers_;
    Department department_;
    std::string departmentStatus_;
    StayKey stayKey_;
    SearchTerms ownSearchTerms_;
    SearchTerms* searchTerms_ = nullptr;
    ValueList<StayOverview> stays_;
};

// Pixels from the list's left edge to where it draws the text of its lines.
int PatientTextIndent(const QListWidget& list);

}  // namespace kalvora::ui
