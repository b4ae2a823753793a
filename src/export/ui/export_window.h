#pragma once
// The export window: the departments to gather, the export directory (a double click opens the
// options dialog) and the name of the total database.

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "store/admin_database.h"
#include "ui/value_list.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace kalvora::ui {

struct AppContext;

class ExportWindow : public QDialog {
    Q_OBJECT
public:
    explicit ExportWindow(AppContext& context, QWidget* parent = nullptr);

    // The buttons by their index in the group (their object names end in it).
    enum Command : int { Export = 0, Close = 1 };
    // cmd_export: 0 "&Export", 1 "Beenden".
    void onCommand(Command command);
    // Double click on the export directory: the options dialog, then the directory as it now stands.
    void editExportDirectory();

    std::vector<Department> selectedDepartments() const { return departments_->selectedValues(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadDepartments();
    void exportDepartments();

    AppContext& context_;
    QListWidget* lst_abteilung_ = nullptr;
    std::unique_ptr<ValueList<Department>> departments_;
    QLabel* lbl_export_ = nullptr;
    QLineEdit* output_file_ = nullptr;
};

}  // namespace kalvora::ui
