#pragma once
// A date entry field: its whole text is selected when it gets the focus; when it loses the focus a
// typed date (JJJJMMTT or TT.MM.JJJJ, short forms completed with the century prefix) becomes
// TT.MM.JJJJ, and an invalid one is reported in the run-time error box with the focus put back.

#include <QLineEdit>

namespace kalvora {
class MessageService;
}

namespace kalvora::ui {

class DateEntryField : public QLineEdit {
    Q_OBJECT
public:
    DateEntryField(MessageService& messages, QString centuryPrefix, QWidget* parent = nullptr);

    // Normalises the text as on leaving the field. True when it holds a valid date afterwards (a
    // blank field is not one); an invalid text stays as typed.
    bool normalise();
    // Shows the date error box and puts the focus back into the field.
    void reportInvalid();
    // JJJJMMTT of the text TT.MM.JJJJ.
    std::string dateCode() const;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    MessageService& messages_;
    QString prefix_;
    bool reportPending_ = false;
};

}  // namespace kalvora::ui
