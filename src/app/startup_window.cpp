#include "app/startup_window.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "app/main_window.h"
#include "base/settings.h"

namespace kalvora::ui {

namespace {

constexpr int kTimer1IntervalMs = 1000;

}  // namespace

StartupWindow::StartupWindow(AppContext& context, WindowOpeners openers, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      context_(context),
      openers_(std::move(openers)) {
    setObjectName(QStringLiteral("frmTop"));
    setWindowTitle(QStringLiteral("Kalvora"));

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(1);
    auto* title = new QLabel(QStringLiteral("Kalvora"), frame);
    title->setObjectName(QStringLiteral("lbl_titel"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2.6);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(QStringLiteral("Version 10.0"), frame);
    version->setObjectName(QStringLiteral("lbl_version"));
    version->setAlignment(Qt::AlignCenter);
    auto* starting = new QLabel(QStringLiteral("Das Programm wird gestartet ..."), frame);
    starting->setObjectName(QStringLiteral("lbl_start"));
    starting->setAlignment(Qt::AlignCenter);

    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(40, 28, 40, 24);
    inner->addWidget(title);
    inner->addWidget(version);
    inner->addSpacing(18);
    inner->addWidget(starting);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
    setAutoFillBackground(true);
    setMinimumWidth(360);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(kTimer1IntervalMs);
    connect(timer_, &QTimer::timeout, this, &StartupWindow::onTimer);
    timer_->start();
}

StartupWindow::~StartupWindow() = default;

std::string StartupWindow::SettingsFileNameFromArguments(const QStringList& arguments) {
    const std::string commandLine = arguments.join(QLatin1Char(' ')).toStdString();
    return SettingsFileNameFromCommandLine(commandLine).value_or(std::string(kDefaultSettingsFileName));
}

void StartupWindow::onTimer() {
    if (main_) return;
    main_ = std::make_unique<MainWindow>(context_, openers_);
    connect(main_.get(), &MainWindow::startupWindowDone, this, [this] {
        timer_->stop();
        close();
    });
    main_->load();
}

}  // namespace kalvora::ui
