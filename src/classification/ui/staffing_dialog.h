#pragma once
// The staffing window of one department: DGKP, systemised beds and the preset level, opened from
// the classification dialog for the entry that has the focus. "OK" stores the values in
// Dateiverwaltung and rewrites the entry.
#include <QDialog>
#include <string>

#include "base/conversions.h"
#include "classification/department_entry.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace kalvora::ui {

struct AppContext;

class StaffingDialog : public QDialog {
    Q_OBJECT
public:
    StaffingDialog(AppContext& context, ClassificationEntry entry, QWidget* parent = nullptr);

    // The buttons by their index in the group (their object names end in it).
    enum Command : int { Ok = 0, Cancel = 1 };
    // cmd_extras: 0 "OK", 1 "Abbrechen".
    void onCommand(Command command);
    // Checks a field as on leaving it (0 txt_dgkp, 1 txt_sBett) and updates lbl_faktor. An invalid
    // number is reported in the run-time error box and the focus goes back into the field; false then.
    bool leaveField(int which);
    // The entry as it stands after "OK" (the given entry before).
    const ClassificationEntry& entry() const { return entry_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* field(int which) const;
    bool checkField(int which);
    void updateFactor();
    bool store();

    AppContext& context_;
    ClassificationEntry entry_;
    NumberNotation notation_;
    QLabel* lbl_ka_ = nullptr;
    QLabel* lbl_abt_ = nullptr;
    QLineEdit* txt_dgkp_ = nullptr;
    QLineEdit* txt_sBett_ = nullptr;
    QLabel* lbl_faktor_ = nullptr;
    QComboBox* cmbVoreinstufung_ = nullptr;
    int pendingReport_ = -1;
};

}  // namespace kalvora::ui
