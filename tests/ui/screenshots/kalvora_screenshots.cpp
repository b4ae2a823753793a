// Takes the screenshots of the documentation (docs/screenshots): the main window with its menus,
// the options dialog, the import dialog, the status bar during an import and the result window after
// importing the demo deliveries, the protocol window and the classification's PDF report. Run under a real
// display, e.g.
//   xvfb-run -s "-screen 0 1440x900x24" build/tests/ui/kalvora-screenshots docs/screenshots

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/info_window.h"
#include "app/main_window.h"
#include "app/setup_dialog.h"
#include "app/startup_window.h"
#include "classification/ui/classification_dialog.h"
#include "classification/ui/classification_result_window.h"
#include "classification/ui/staffing_dialog.h"
#include "import/protocol_findings.h"
#include "import/ui/import_dialog.h"
#include "import/ui/import_result_window.h"
#include "import/ui/protocol_window.h"
#include "printing/report_painter.h"
#include "support/ui_test_data.h"
#include "ui/file_list.h"
#include "ui/options_dialog.h"

using namespace kalvora;
using namespace kalvora::ui;

namespace {

QString outputDirectory;

void Settle() { QTest::qWait(250); }

void SaveScreen(const QString& name) {
    Settle();
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    const QString path = outputDirectory + QLatin1Char('/') + name;
    if (!screen.save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    std::printf("%s\n", qPrintable(path));
}

void SaveWindow(QWidget* window, const QString& name) {
    Settle();
    const QString path = outputDirectory + QLatin1Char('/') + name;
    if (!window->grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    std::printf("%s\n", qPrintable(path));
}

void Center(QWidget* window) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    window->move(screen.center() - window->rect().center());
}

}  // namespace

int main(int argc, char* argv[]) {
    // The windows as the users see them: numbers in the German notation (decimal comma), which the
    // staffing window expects, whatever locale the machine that takes the pictures has.
    qputenv("LC_ALL", "de_AT.UTF-8");
    QApplication application(argc, argv);
    outputDirectory = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(outputDirectory);

    test::UiTestData data;
    data.copyDemoFiles(test::UiTestData::DemoFileNames());
    data.writeIniFile();
    AppContext& context = *data.context;
    context.endProgram = [](int) {};

    {
        test::UiTestData splashData;
        splashData.writeIniFile();
        StartupWindow startup(*splashData.context);
        startup.timer()->stop();
        startup.show();
        Center(&startup);
        SaveScreen(QStringLiteral("startup.png"));
        QApplication::restoreOverrideCursor();
    }

    MainWindow main(context);
    main.load();
    main.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    SaveScreen(QStringLiteral("main-window.png"));

    QMenu* datei = main.findChild<QMenu*>(QStringLiteral("mainDatei"));
    main.menuBar()->setActiveAction(datei->menuAction());
    SaveScreen(QStringLiteral("main-menu-datei.png"));
    datei->close();
    QMenu* extras = main.findChild<QMenu*>(QStringLiteral("mainExtras"));
    main.menuBar()->setActiveAction(extras->menuAction());
    SaveScreen(QStringLiteral("main-menu-extras.png"));
    extras->close();
    Settle();

    {
        OptionsDialog options(context, &main);
        options.show();
        Center(&options);
        SaveWindow(&options, QStringLiteral("options-settings.png"));
        options.findChild<QTabWidget*>(QStringLiteral("tab_opt"))->setCurrentIndex(1);
        SaveWindow(&options, QStringLiteral("options-directories.png"));
        options.reject();
    }
    {
        // The first start: a settings file in the home folder that does not exist yet.
        SettingsFile firstStart("/usr/bin",
                                (QDir::homePath() + QStringLiteral("/.config/kalvora")).toStdString(),
                                std::string(kDefaultSettingsFileName));
        AppContext firstContext(firstStart, data.messages);
        SetupDialog setup(firstContext, &main);
        setup.show();
        Center(&setup);
        SaveWindow(&setup, QStringLiteral("first-start-setup.png"));
        setup.reject();
    }
    {
        InfoWindow info(&main);
        info.show();
        Center(&info);
        SaveWindow(&info, QStringLiteral("info.png"));
        info.reject();
    }
    std::vector<ImportSummaryRow> summary;
    std::string protocolPath;
    {
        ImportDialog import(context, &main);
        import.setRepaintInterval(0);
        import.show();
        Center(&import);
        auto* files = import.findChild<FileList*>(QStringLiteral("lst_file"));
        files->selectAll();
        SaveWindow(&import, QStringLiteral("import-dialog.png"));
        // Inside the batch, half-way through the second file: the status bar with its progress.
        bool taken = false;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            auto* progress = main.findChild<QProgressBar*>(QStringLiteral("prg_import"));
            if (taken || progress == nullptr || progress->value() < 370) return;
            taken = true;
            main.repaint();
            import.repaint();
            const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
            const QString path = outputDirectory + QStringLiteral("/main-import-running.png");
            screen.save(path);
            std::printf("%s\n", qPrintable(path));
        });
        watcher.start(0);
        import.onCommand(ImportDialog::Import);
        summary = import.summary();
        protocolPath = import.protocolPath();
    }
    {
        ImportResultWindow result(summary, &main);
        result.offerProtocol(protocolPath, context.messages, {});
        result.show();
        Center(&result);
        SaveWindow(&result, QStringLiteral("import-result.png"));
        result.reject();
    }
    if (Result<std::vector<ProtocolRow>> rows = ReadProtocolFile(protocolPath)) {
        ProtocolWindow protocol(protocolPath, std::move(*rows), {}, &main);
        protocol.show();
        Center(&protocol);
        SaveWindow(&protocol, QStringLiteral("protocol-window.png"));
        protocol.reject();
    }
    // ---- Classification: the dialog, the staffing window and the result on the demo data ----
    {
        // Staffing figures for the demo departments, entered as in the staffing window.
        const char* const staff[][2] = {{"18,50", "8"}, {"24,00", "12"}, {"9,75", "6"}, {"30,00", "14"}};
        ClassificationDialog loading(context, &main);
        const std::vector<ClassificationEntry> entries = loading.entries();
        for (std::size_t index = 0; index < entries.size(); ++index) {
            StaffingDialog staffing(context, entries[index], &main);
            staffing.findChild<QLineEdit*>(QStringLiteral("txt_dgkp"))
                ->setText(QString::fromLatin1(staff[index % 4][0]));
            staffing.findChild<QLineEdit*>(QStringLiteral("txt_sBett"))
                ->setText(QString::fromLatin1(staff[index % 4][1]));
            staffing.onCommand(StaffingDialog::Ok);
        }
        loading.reject();
    }
    {
        ClassificationDialog classification(context, &main);
        classification.show();
        Center(&classification);
        classification.findChild<QListWidget*>(QStringLiteral("lst_abteilung"))->selectAll();
        SaveWindow(&classification, QStringLiteral("classification-dialog.png"));
        {
            StaffingDialog staffing(context, classification.entries().front(), &classification);
            staffing.show();
            Center(&staffing);
            staffing.leaveField(0);
            staffing.leaveField(1);
            SaveWindow(&staffing, QStringLiteral("staffing.png"));
            staffing.reject();
        }
        ClassificationResultWindow result(context, classification.selectedEntries(), &main);
        result.show();
        Center(&result);
        SaveWindow(&result, QStringLiteral("classification-result.png"));
        // The PDF report of the same result; its first page becomes a picture with pdftoppm.
        const QString pdf = outputDirectory + QStringLiteral("/classification-report.pdf");
        if (WriteReportPdf(result.printedReport(), pdf.toStdString())) std::printf("%s\n", qPrintable(pdf));
        result.reject();
        classification.reject();
    }
    // ---- end of the classification section ----
    return 0;
}
