#pragma once
// The start-up window: it takes the settings file name from the command line, shows the busy
// pointer and stays on top until the main window has loaded and closes it.

#include <QWidget>
#include <memory>
#include <string>

class QTimer;

namespace kalvora::ui {

struct AppContext;
class frmMain;

class frmTop : public QWidget {
    Q_OBJECT
public:
    explicit frmTop(AppContext& context, QWidget* parent = nullptr);
    ~frmTop() override;

    // The settings file name: the rest of the command line after a leading "/i:", else
    // Kalvora10_0.ini. The arguments are those after the program name, joined by blanks.
    static std::string SettingsFileNameFromArguments(const QStringList& arguments);

    frmMain* mainWindow() const { return main_.get(); }
    QTimer* timer() const { return timer_; }

private:
    // Timer1: shows the main window once; later ticks find it shown and change nothing.
    void onTimer();

    AppContext& context_;
    QTimer* timer_ = nullptr;
    std::unique_ptr<frmMain> main_;
};

}  // namespace kalvora::ui
