#include "ui/date_entry_field.h"

#include <QFocusEvent>
#include <QTimer>

#include "base/conversions.h"
#include "base/message_service.h"

namespace kalvora::ui {

namespace {

bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

}  // namespace

DateEntryField::DateEntryField(MessageService& messages, QString centuryPrefix, QWidget* parent)
    : QLineEdit(parent), messages_(messages), prefix_(std::move(centuryPrefix)) {
    setMaxLength(10);
}

bool DateEntryField::normalise() {
    const std::string result = NormaliseDateEntry(text().toStdString(), prefix_.toStdString());
    if (IsBlank(result)) return false;
    setText(QString::fromStdString(result));
    return true;
}

void DateEntryField::reportInvalid() {
    reportPending_ = false;
    messages_.ShowErrorBox(messages::InvalidDate);
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

std::string DateEntryField::dateCode() const { return DisplayToDateCode(text().toStdString(), 8); }

void DateEntryField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // After a mouse click the click itself would place the cursor; select once it is done.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus()) selectAll();
    });
}

void DateEntryField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Another window becoming active (a message box, another program) is no leaving of the field.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) return;
    if (text().trimmed().isEmpty() || normalise()) return;
    // The box is shown once the event that moved the focus is over; a window that checks the field
    // itself first (its OK button) takes the report over.
    reportPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (reportPending_) reportInvalid();
    });
}

}  // namespace kalvora::ui
