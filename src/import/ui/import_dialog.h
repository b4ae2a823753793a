#pragma once
// The import dialog: the user picks data-delivery files, names the protocol file and chooses what
// happens to data already stored; "Import" runs the batch through the core and closes the dialog,
// after which the main window shows the result window.

#include <QDialog>
#include <string>
#include <vector>

#include "import/import_summary.h"
#include "ui/status_bar_sink.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kalvora::ui {

struct AppContext;
class DirectoryList;
class DriveList;
class FileList;

class ImportDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaximumFiles = 1000;

    explicit ImportDialog(AppContext& context, QWidget* parent = nullptr);

    // The buttons by their index in the group (their object names end in it).
    enum Command : int { Import = 0, Cancel = 1 };
    // cmd_imp: 0 "Import", 1 "Abbrechen". Refused while a batch runs.
    void onCommand(Command command);
    bool batchRunning() const { return running_; }
    // The summary rows of the last batch, for the result window.
    const std::vector<ImportSummaryRow>& summary() const { return summary_; }
    // The protocol file of the batch that ran; empty when none ran.
    const std::string& protocolPath() const { return protocolPath_; }
    // How often the status bar is redrawn during a batch (tests draw on every line).
    void setRepaintInterval(int milliseconds) { repaintIntervalMs_ = milliseconds; }

public slots:
    void reject() override;

private:
    void openLists();
    bool pointListsAt(const std::string& path);
    void onDriveChosen(const QString& drive);
    void onDirectoryChanged(const QString& directory);
    void startImport();
    void runBatch(const QString& directory, const QStringList& names, const std::string& protocolPath,
                  bool initialise);
    void setButtonsEnabled(bool enabled);

    AppContext& context_;
    FileList* lst_file_ = nullptr;
    DriveList* lst_drive_ = nullptr;
    DirectoryList* lst_dir_ = nullptr;
    QLineEdit* txt_protocol_ = nullptr;
    QRadioButton* opt_import_[2] = {};
    QPushButton* cmd_imp_[2] = {};
    std::vector<ImportSummaryRow> summary_;
    std::string protocolPath_;
    bool running_ = false;
    int repaintIntervalMs_ = StatusBarSink::kDefaultRepaintIntervalMs;
};

}  // namespace kalvora::ui
