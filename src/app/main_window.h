#pragma once
// The main window: the menu from which every window of the program opens modally, the status bar
// in which the windows report their work, the clock, and the imported-data check.

#include <QMainWindow>
#include <functional>
#include <map>

class QAction;
class QTimer;

namespace kalvora::ui {

struct AppContext;
class MainStatusBar;

// The menu commands whose windows belong to other parts of the program. The main window runs the
// imported-data check first where the command needs it, then calls the opener; a command without
// an opener opens nothing.
enum class MenuCommand {
    Export,           // "&Datei" -> "&Export": the export window
    Intensivbericht,  // "&Intensivbericht": the department level of the ICU report
    Einstufung,       // "&Extras" -> "&Einstufung": the classification dialog
    // No menu entry: the set-up of a system data directory, offered once when the program starts
    // and the settings name none.
    Einrichtung,
};
using WindowOpener = std::function<void(AppContext& context, QWidget* parent)>;
using WindowOpeners = std::map<MenuCommand, WindowOpener>;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kClockIntervalMs = 500;
    static constexpr int kStartupHandOverMs = 500;

    explicit MainWindow(AppContext& context, WindowOpeners openers = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The load: maximised, the settings read, " Bereit" in panel 1, both timers started.
    void load();

    // The indexed menu groups "&Datei" (datei_0 .. datei_3) and "&Extras" (extras_0 .. extras_2).
    void onDatei(int index);
    void onExtras(int index);
    void onIntensivbericht();
    void onInfo();

    // True when Dateiverwaltung has a row; otherwise the notice " Es wurden noch keine Daten
    // importiert!" (or the error box when the administration database cannot be read).
    bool checkImportedData();
    // False, with a notice saying what is missing, when the settings name no system data directory.
    bool checkSystemDataPath();

    MainStatusBar* panels() const { return statusBar_; }
    QTimer* clockTimer() const { return tmr_main_; }
    QTimer* startupTimer() const { return tmr_frmTop_; }

signals:
    // The start-up window may close: the main window has loaded and the pointer is normal again.
    void startupWindowDone();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    void tickClock();
    void handOver();
    void offerSetup();
    void openImport();
    void open(MenuCommand command, bool needsImportedData);
    void endProgram();

    AppContext& context_;
    WindowOpeners openers_;
    MainStatusBar* statusBar_ = nullptr;
    QTimer* tmr_main_ = nullptr;
    QTimer* tmr_frmTop_ = nullptr;
    bool ending_ = false;
};

}  // namespace kalvora::ui
