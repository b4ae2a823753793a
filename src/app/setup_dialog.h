#pragma once
// The set-up of a system data directory from the window program, offered at the first start when
// the settings name none: the same work as `kalvora-cli setup` (the folder, default ~/Kalvora, and
// optionally the lists of hospitals and department functions). On success the settings file is
// written where the settings lookup reads it, and the settings are loaded from it again.

#include <QDialog>

class QLineEdit;

namespace kalvora::ui {

struct AppContext;

class SetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit SetupDialog(AppContext& context, QWidget* parent = nullptr);

    // The buttons by their index in the group (their object names end in it).
    enum Command : int { SetUp = 0, NotNow = 1 };
    // cmd_einrichtung: 0 "Einrichten", 1 "Nicht jetzt".
    void onCommand(Command command);

    // The folder first offered: ~/Kalvora.
    static QString DefaultDirectory();

private:
    // cmd_auswahl: 0 the folder, 1 the hospitals' list, 2 the functions' list.
    void choose(int which);
    // Runs the set-up; false, with the reason shown, when nothing was set up.
    bool setUp();

    AppContext& context_;
    QLineEdit* txt_verzeichnis_ = nullptr;
    QLineEdit* txt_krankenanstalten_ = nullptr;
    QLineEdit* txt_abteilungen_ = nullptr;
};

// The notice of a command that needs a system data directory when the settings name none: what is
// missing and how to set it up.
std::string MissingSystemDataPathText(const std::string& settingsPath);

}  // namespace kalvora::ui
