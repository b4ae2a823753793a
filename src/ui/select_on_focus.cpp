#include "ui/select_on_focus.h"

#include <QEvent>
#include <QLineEdit>
#include <QTimer>

namespace kalvora::ui {

namespace {

class SelectAllFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            auto* field = static_cast<QLineEdit*>(watched);
            // A mouse click would place the cursor after the focus arrived; select once it is done.
            QTimer::singleShot(0, field, [field] {
                if (field->hasFocus()) field->selectAll();
            });
        }
        return false;
    }
};

}  // namespace

void SelectAllOnFocus(QLineEdit* field) { field->installEventFilter(new SelectAllFilter(field)); }

}  // namespace kalvora::ui
