#include "ui/qt_message_service.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace kalvora::ui {

namespace {

QMessageBox::Icon IconOf(MessageIcon icon) {
    return icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Warning;
}

// A short text gives a narrow box, and the window manager then cuts its title ("Program…inweis").
// The box is made wide enough for the title and the window manager's buttons beside it.
void KeepTitleReadable(QMessageBox& message) {
    auto* layout = qobject_cast<QGridLayout*>(message.layout());
    if (layout == nullptr) return;
    constexpr int kTitleBarButtons = 160;
    const int width =
        QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(message.windowTitle()) +
        kTitleBarButtons;
    layout->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), layout->rowCount(),
                    0, 1, layout->columnCount());
}

}  // namespace

Answer QtMessageService::present(const MessageBox& box) {
    // The box belongs to the window the user works in, so that it is centred over it.
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr) owner = QApplication::activeWindow();
    QMessageBox message(IconOf(box.icon), QString::fromStdString(box.title), QString::fromStdString(box.text),
                        QMessageBox::NoButton, owner);
    message.setWindowModality(Qt::ApplicationModal);
    KeepTitleReadable(message);
    if (!box.detail.empty()) message.setDetailedText(QString::fromStdString(box.detail));
    if (box.buttons == MessageButtons::YesNo) {
        QPushButton* yes = message.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
        QPushButton* no = message.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
        message.setDefaultButton(yes);
        message.setEscapeButton(no);
        message.exec();
        return message.clickedButton() == yes ? Answer::Yes : Answer::No;
    }
    message.addButton(QMessageBox::Ok);
    message.exec();
    return Answer::Ok;
}

}  // namespace kalvora::ui
