#pragma once
// The start-up window: it takes the settings file name from the command line, shows the busy
// pointer and stays on top until the main window has loaded and closes it.

#include <QWidget>
#include <memory>
#include <string>

#include "app/main_window.h"

class QTimer;

namespace kalvora::ui {

struct AppContext;

class StartupWindow : public QWidget {
    Q_OBJECT
public:
    // `openers` are handed to the main window this window opens.
    explicit StartupWindow(AppContext& context, WindowOpeners openers = {}, QWidget* parent = nullptr);
    ~StartupWindow() override;

    // The settings file name: the rest of the command line after a leading "/i:", else
    // Kalvora10_0.ini. The arguments are those after the program name, joined by blanks.
    static std::string SettingsFileNameFromArguments(const QStringList& arguments);

    MainWindow* mainWindow() const { return main_.get(); }
    QTimer* timer() const { return timer_; }

private:
    // Timer1: shows the main window once; later ticks find it shown and change nothing.
    void onTimer();

    AppContext& context_;
    WindowOpeners openers_;
    QTimer* timer_ = nullptr;
    std::unique_ptr<MainWindow> main_;
};

}  // namespace kalvora::ui
