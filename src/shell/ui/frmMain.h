#pragma once
// The main window: the menu from which every window of the program opens modally, the status bar
// in which the windows report their work, the clock, and the imported-data check.

#include <QMainWindow>

#include "shell/ui/window_registry.h"

class QAction;
class QTimer;

namespace kalvora::ui {

struct AppContext;
class MainStatusBar;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kClockIntervalMs = 500;
    static constexpr int kStartupHandOverMs = 500;

    explicit frmMain(AppContext& context, QWidget* parent = nullptr);
    ~frmMain() override;

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
    void openImport();
    void openRegistered(MenuCommand command, bool needsImportedData);
    void endProgram();

    AppContext& context_;
    MainStatusBar* statusBar_ = nullptr;
    QTimer* tmr_main_ = nullptr;
    QTimer* tmr_frmTop_ = nullptr;
    bool ending_ = false;
};

}  // namespace kalvora::ui
