// The desktop program: the start-up window names the settings file from the command line and hands
// over to the main window.

#include <QApplication>
#include <QIcon>

#include "app/startup_window.h"
#include "app/window_wiring.h"
#include "base/paths.h"
#include "base/settings.h"
#include "ui/app_context.h"
#include "ui/german_qt_texts.h"
#include "ui/qt_message_service.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvora"));
    QApplication::setApplicationVersion(QStringLiteral("10.0"));
    // The menu entry's name, so that a desktop shows the window under the program's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.kalvora.Kalvora"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/de.kalvora.Kalvora.png").arg(size),
                     QSize(size, size));
    QApplication::setWindowIcon(icon);
    kalvora::ui::InstallGermanQtTexts(application);

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const std::string settingsFileName = kalvora::ui::StartupWindow::SettingsFileNameFromArguments(arguments);

    kalvora::ui::QtMessageService messages;
    kalvora::SettingsFile settingsFile(kalvora::ExecutableDirectory(), kalvora::CommonSettingsDirectory(),
                                       settingsFileName, &messages);
    kalvora::ui::AppContext context(settingsFile, messages);
    context.endProgram = [](int exitCode) {
        QApplication::closeAllWindows();
        QApplication::exit(exitCode);
    };

    kalvora::ui::StartupWindow startup(context, kalvora::ui::ProgramWindowOpeners());
    startup.show();
    return QApplication::exec();
}
