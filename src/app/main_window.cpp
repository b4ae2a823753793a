#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "app/info_window.h"
#include "app/setup_dialog.h"
#include "app/window_wiring.h"
#include "base/message_service.h"
#include "import/ui/import_dialog.h"
#include "import/ui/import_result_window.h"
#include "store/system_setup.h"
#include "ui/app_context.h"
#include "ui/clock_text.h"
#include "ui/imported_data_notice.h"
#include "ui/main_status_bar.h"
#include "ui/object_names.h"
#include "ui/options_dialog.h"

namespace kalvora::ui {

namespace {

constexpr const char* kSeparator = "-";

// One entry of an indexed submenu group; "-" is a separator.
struct MenuEntry {
    const char* caption;
};

constexpr MenuEntry kDateiEntries[] = {{"&Import"}, {"&Export"}, {kSeparator}, {"&Beenden"}};
constexpr MenuEntry kExtrasEntries[] = {{"&Einstufung"}, {kSeparator}, {"&Optionen"}};

QWidget* MakeBackdrop(QWidget* parent) {
    auto* backdrop = new QWidget(parent);
    backdrop->setObjectName(QStringLiteral("fra_hintergrund"));
    backdrop->setBackgroundRole(QPalette::Dark);
    backdrop->setAutoFillBackground(true);
    auto* name = new QLabel(QStringLiteral("Kalvora"), backdrop);
    QFont nameFont = name->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 4.0);
    name->setFont(nameFont);
    name->setForegroundRole(QPalette::Light);
    name->setAlignment(Qt::AlignCenter);
    auto* subtitle = new QLabel(QStringLiteral("Intensivdokumentation  ·  TISS-28  ·  Einstufung"), backdrop);
    subtitle->setForegroundRole(QPalette::Light);
    subtitle->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(backdrop);
    layout->addStretch(1);
    layout->addWidget(name);
    layout->addWidget(subtitle);
    layout->addStretch(1);
    return backdrop;
}

}  // namespace

MainWindow::MainWindow(AppContext& context, WindowOpeners openers, QWidget* parent)
    : QMainWindow(parent), context_(context), openers_(std::move(openers)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral(" Kalvora Version 10.0"));
    buildMenu();
    setCentralWidget(MakeBackdrop(this));

    statusBar_ = new MainStatusBar(this);
    setStatusBar(statusBar_);
    context_.statusBar = statusBar_;

    tmr_main_ = new QTimer(this);
    tmr_main_->setObjectName(QStringLiteral("tmr_main"));
    tmr_main_->setInterval(kClockIntervalMs);
    connect(tmr_main_, &QTimer::timeout, this, &MainWindow::tickClock);

    tmr_frmTop_ = new QTimer(this);
    tmr_frmTop_->setObjectName(QStringLiteral("tmr_frmTop"));
    tmr_frmTop_->setInterval(kStartupHandOverMs);
    connect(tmr_frmTop_, &QTimer::timeout, this, &MainWindow::handOver);
}

MainWindow::~MainWindow() {
    if (context_.statusBar == statusBar_) context_.statusBar = nullptr;
}

void MainWindow::buildMenu() {
    QMenu* datei = menuBar()->addMenu(QStringLiteral("&Datei"));
    datei->setObjectName(QStringLiteral("mainDatei"));
    datei->menuAction()->setObjectName(QStringLiteral("mainDatei"));
    for (int index = 0; index < static_cast<int>(std::size(kDateiEntries)); ++index) {
        const QString caption = QString::fromUtf8(kDateiEntries[index].caption);
        auto* action = new QAction(caption == QLatin1String(kSeparator) ? QString() : caption, datei);
        action->setObjectName(IndexedName("datei", index));
        action->setSeparator(caption == QLatin1String(kSeparator));
        if (!action->isSeparator())
            connect(action, &QAction::triggered, this, [this, index] { onDatei(index); });
        datei->addAction(action);
    }

    auto* intensivbericht = new QAction(QStringLiteral("&Intensivbericht"), menuBar());
    intensivbericht->setObjectName(QStringLiteral("mainIntensivbericht"));
    connect(intensivbericht, &QAction::triggered, this, &MainWindow::onIntensivbericht);
    menuBar()->addAction(intensivbericht);

    QMenu* extras = menuBar()->addMenu(QStringLiteral("&Extras"));
    extras->setObjectName(QStringLiteral("mainExtras"));
    extras->menuAction()->setObjectName(QStringLiteral("mainExtras"));
    for (int index = 0; index < static_cast<int>(std::size(kExtrasEntries)); ++index) {
        const QString caption = QString::fromUtf8(kExtrasEntries[index].caption);
        auto* action = new QAction(caption == QLatin1String(kSeparator) ? QString() : caption, extras);
        action->setObjectName(IndexedName("extras", index));
        action->setSeparator(caption == QLatin1String(kSeparator));
        if (!action->isSeparator())
            connect(action, &QAction::triggered, this, [this, index] { onExtras(index); });
        extras->addAction(action);
    }

    auto* info = new QAction(QStringLiteral("&Info"), menuBar());
    info->setObjectName(QStringLiteral("mainInfo"));
    connect(info, &QAction::triggered, this, &MainWindow::onInfo);
    menuBar()->addAction(info);
}

void MainWindow::load() {
    // Without a window manager "maximised" means nothing: the window takes the screen's free area
    // itself, and a window manager then maximises it as usual.
    if (const QScreen* screen = this->screen()) setGeometry(screen->availableGeometry());
    showMaximized();
    context_.settings = LoadSettings(context_.settingsFile);
    statusBar_->setPanel(1, QStringLiteral(" Bereit"));
    tickClock();
    tmr_main_->start();
    tmr_frmTop_->start();
}

void MainWindow::onDatei(int index) {
    switch (index) {
        case 0:
            openImport();
            break;
        case 1:
            open(MenuCommand::Export, true);
            break;
        case 3:
            endProgram();
            break;
        default:
            break;
    }
}

void MainWindow::onExtras(int index) {
    switch (index) {
        case 0:
            open(MenuCommand::Einstufung, true);
            break;
        case 2: {
            OptionsDialog options(context_, this);
            options.exec();
            break;
        }
        default:
            break;
    }
}

void MainWindow::onIntensivbericht() { open(MenuCommand::Intensivbericht, false); }

void MainWindow::onInfo() {
    InfoWindow info(this);
    info.exec();
}

bool MainWindow::checkImportedData() { return ConfirmDataImported(context_); }

bool MainWindow::checkSystemDataPath() {
    if (!LacksSystemDataPath(context_.settings)) return true;
    context_.messages.Show({MissingSystemDataPathText(context_.settingsFile.lookupTarget()),
                            std::string(kNoticeTitle),
                            MessageIcon::Warning,
                            MessageButtons::Ok,
                            {}});
    return false;
}

void MainWindow::openImport() {
    if (!checkSystemDataPath()) return;
    std::vector<ImportSummaryRow> summary;
    std::string protocolPath;
    {
        ImportDialog dialog(context_, this);
        dialog.exec();
        summary = dialog.summary();
        protocolPath = dialog.protocolPath();
    }
    if (context_.importResultMarker != kImportResultMarker || ending_) return;
    ImportResultWindow result(std::move(summary), this);
    result.offerProtocol(std::move(protocolPath), context_.messages, ProtocolStayOpener(context_));
    result.exec();
}

void MainWindow::open(MenuCommand command, bool needsImportedData) {
    const auto opener = openers_.find(command);
    if (!checkSystemDataPath()) return;
    if (needsImportedData && !checkImportedData()) return;
    if (opener != openers_.end() && opener->second) opener->second(context_, this);
}

void MainWindow::tickClock() { statusBar_->setPanel(4, ClockText(QDateTime::currentDateTime())); }

void MainWindow::handOver() {
    tmr_frmTop_->stop();
    if (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
    emit startupWindowDone();
    offerSetup();
}

void MainWindow::offerSetup() {
    if (!LacksSystemDataPath(context_.settings)) return;
    const auto opener = openers_.find(MenuCommand::Einrichtung);
    if (opener != openers_.end() && opener->second) opener->second(context_, this);
}

void MainWindow::endProgram() {
    if (ending_) return;
    ending_ = true;
    if (context_.endProgram) {
        context_.endProgram(0);
    } else {
        QApplication::closeAllWindows();
        QApplication::exit(0);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    endProgram();
}

}  // namespace kalvora::ui
