#include "shell/ui/qt_message_service.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace kalvora::ui {

namespace {

QMessageBox::Icon IconOf(MessageIcon icon) {
    return icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Warning;
}

}  // namespace

Answer QtMessageService::present(const MessageBox& box) {
    // The box belongs to the window the user works in, so that it is centred over it.
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr) owner = QApplication::activeWindow();
    QMessageBox message(IconOf(box.icon), QString::fromStdString(box.title), QString::fromStdString(box.text),
                        QMessageBox::NoButton, owner);
    message.setWindowModality(Qt::ApplicationModal);
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
