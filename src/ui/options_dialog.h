#pragma once
// The options dialog: the import and export/protocol directories, the plausibility level of the
// import and the defaults of the classification. "OK" with Yes takes them into the settings and
// writes them to the settings file.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QTabWidget;

namespace kalvora::ui {

struct AppContext;
class DateEntryField;
class DirectoryList;
class DriveList;

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(AppContext& context, QWidget* parent = nullptr);

    // The buttons by their index in the group (their object names end in it).
    enum Command : int { Ok = 0, Cancel = 1 };
    // cmd_verzeichnis: 0 "OK", 1 "Abbrechen".
    void onCommand(Command command);

public slots:
    // However the dialog closes, the window that opened it gets the focus back.
    void done(int result) override;

private:
    QWidget* buildSettingsTab();
    QWidget* buildDirectoriesTab();
    void loadValues();
    // opt_verzeichnis: 0 the import directory is edited, 1 the export/protocol directory.
    void chooseDirectory(int which);
    void onDriveChosen(const QString& drive);
    void onDirectoryChanged(const QString& directory);
    // Writes the values to the settings file and then takes them into the settings; false, with
    // the settings unchanged, when the file cannot be written.
    bool saveValues();
    QLabel* editedLabel() const;

    AppContext& context_;
    QTabWidget* tab_opt_ = nullptr;
    DateEntryField* txt_vondatum_ = nullptr;
    DateEntryField* txt_bisdatum_ = nullptr;
    QRadioButton* opt_plaus_[2] = {};
    QComboBox* cmb_mindeststunden_ = nullptr;
    QCheckBox* chk_multipletiss_ = nullptr;
    QCheckBox* chk_mtiss_ = nullptr;
    QLabel* lbl_system_ = nullptr;
    QLabel* lbl_import_ = nullptr;
    QLabel* lbl_export_ = nullptr;
    QRadioButton* opt_verzeichnis_[2] = {};
    DriveList* lst_drive_ = nullptr;
    DirectoryList* lst_dir_ = nullptr;
};

}  // namespace kalvora::ui
