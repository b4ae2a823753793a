// The desktop program: the start-up window names the settings file from the command line and hands
// over to the main window.

#include <QApplication>

#include "shell/settings.h"
#include "shell/ui/app_context.h"
#include "shell/ui/frmTop.h"
#include "shell/ui/german_qt_texts.h"
#include "shell/ui/qt_message_service.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvora"));
    QApplication::setApplicationVersion(QStringLiteral("10.0"));
    kalvora::ui::InstallGermanQtTexts(application);

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    const std::string settingsFileName = kalvora::ui::frmTop::SettingsFileNameFromArguments(arguments);

    kalvora::ui::QtMessageService messages;
    kalvora::SettingsFile settingsFile(kalvora::ExecutableDirectory(), kalvora::CommonSettingsDirectory(),
                                       settingsFileName, &messages);
    kalvora::ui::AppContext context(settingsFile, messages);
    context.endProgram = [](int exitCode) {
        QApplication::closeAllWindows();
        QApplication::exit(exitCode);
    };

    kalvora::ui::frmTop startup(context);
    startup.show();
    return QApplication::exec();
}
