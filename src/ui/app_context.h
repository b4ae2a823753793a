#pragma once
// What every window of the desktop program shares for the whole run: the settings, the settings
// file, the message service, the main window's status bar and the import-result marker.

#include <functional>
#include <string>

#include "base/settings.h"

namespace kalvora {
class MessageService;
}

namespace kalvora::ui {

class MainStatusBar;

inline constexpr std::string_view kImportResultMarker = "Ergebnis";

struct AppContext {
    AppContext(SettingsFile& file, MessageService& service) : settingsFile(file), messages(service) {}

    Settings settings;
    SettingsFile& settingsFile;
    MessageService& messages;
    // The main window's status bar; windows write its panels 1 to 3 directly.
    MainStatusBar* statusBar = nullptr;
    // "Ergebnis" after the import dialog started a batch, empty otherwise.
    std::string importResultMarker;
    // Ends the program at once with the exit code ("&Beenden", an unexpected import failure).
    // Tests replace it so that the test program goes on.
    std::function<void(int exitCode)> endProgram;
};

}  // namespace kalvora::ui
