#pragma once
// The classification dialog: the departments with ICU patients, the survey period, the minimum
// hours and the two counting rules. It opens the staffing window, the options dialog and the
// result window.
#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "classification/department_entry.h"
#include "ui/value_list.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QWidget;

namespace kalvora::ui {

struct AppContext;
class DateEntryField;

class ClassificationDialog : public QDialog {
    Q_OBJECT
public:
    explicit ClassificationDialog(AppContext& context, QWidget* parent = nullptr);

    // The buttons by their index in the group (their object names end in it).
    enum Command : int { EditDepartment = 0, ChangeSettings = 1, Classify = 2, Cancel = 3 };
    // cmd_ein: 0 "Abteilung bearbeiten", 1 "Voreinstellungen ändern", 2 "Einstufung", 3 "Abbrechen".
    void onCommand(Command command);
    // The entries of the list, in list order.
    const std::vector<ClassificationEntry>& entries() const { return entries_->values(); }
    // The selected entries, in list order.
    std::vector<ClassificationEntry> selectedEntries() const { return entries_->selectedValues(); }

private:
    QWidget* buildListFrame();
    QWidget* buildRunFields();
    void loadList();
    void loadValues();
    void placeColumnLabels();
    void editDepartment();
    void changeSettings();
    void startClassification();

    AppContext& context_;
    QListWidget* lst_abteilung_ = nullptr;
    std::unique_ptr<ValueList<ClassificationEntry>> entries_;
    QWidget* labelStrip_ = nullptr;
    std::vector<QLabel*> columnLabels_;
    DateEntryField* txt_vondatum_ = nullptr;
    DateEntryField* txt_bisdatum_ = nullptr;
    QComboBox* cmb_mindeststunden_ = nullptr;
    QCheckBox* chk_multipletiss_ = nullptr;
    QCheckBox* chk_mtiss_ = nullptr;
};

}  // namespace kalvora::ui
