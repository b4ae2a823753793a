#include "reports/ui/patient_search_window.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <optional>
#include <string>
#include <vector>

#include "base/conversions.h"
#include "base/message_service.h"
#include "ui/app_context.h"
#include "ui/busy_pointer.h"
#include "ui/object_names.h"
#include "ui/select_on_focus.h"

namespace kalvora::ui {

PatientSearchWindow::PatientSearchWindow(AppContext& context, SearchTerms& terms,
                                         const std::vector<Department>& departments, QListWidget* list,
                                         QWidget* parent)
    : PatientSearchWindow(context, terms, Level::Abteilungsebene, list, parent) {
    departments_ = &departments;
}

PatientSearchWindow::PatientSearchWindow(AppContext& context, SearchTerms& terms,
                                         const std::vector<StayOverview>& stays, QListWidget* list,
                                         QWidget* parent)
    : PatientSearchWindow(context, terms, Level::Patientenebene, list, parent) {
    stays_ = &stays;
}

PatientSearchWindow::PatientSearchWindow(AppContext& context, SearchTerms& terms, Level level,
                                         QListWidget* list, QWidget* parent)
    : QDialog(parent), context_(context), terms_(terms), level_(level), list_(list) {
    setObjectName(QStringLiteral("frmPats"));
    setWindowTitle(QStringLiteral(" Patientensuche"));
    setModal(true);

    txt_pats_kis_id_ = new QLineEdit(this);
    txt_pats_kis_id_->setObjectName(QStringLiteral("txt_pats_kis_id"));
    txt_pats_kis_id_->setMaxLength(10);
    txt_pats_dob_ = new QLineEdit(this);
    txt_pats_dob_->setObjectName(QStringLiteral("txt_pats_dob"));
    const int letter = txt_pats_kis_id_->fontMetrics().horizontalAdvance(QLatin1Char('X'));
    for (QLineEdit* field : {txt_pats_kis_id_, txt_pats_dob_}) {
        field->setMinimumWidth(14 * letter);
        SelectAllOnFocus(field);
    }
    txt_pats_dob_->installEventFilter(this);

    auto* fields = new QGridLayout;
    auto* kisLabel = new QLabel(QStringLiteral("Aufnahmezahl"), this);
    kisLabel->setObjectName(QStringLiteral("lbl_pats_kis_id"));
    kisLabel->setBuddy(txt_pats_kis_id_);
    auto* dobLabel = new QLabel(QStringLiteral("Geburtsdatum"), this);
    dobLabel->setObjectName(QStringLiteral("lbl_pats_dob"));
    dobLabel->setBuddy(txt_pats_dob_);
    fields->addWidget(kisLabel, 0, 0);
    fields->addWidget(txt_pats_kis_id_, 0, 1);
    fields->addWidget(dobLabel, 1, 0);
    fields->addWidget(txt_pats_dob_, 1, 1);
    fields->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const char* captions[] = {"&Beginnen", "Fortsetzen", "Abbrechen"};
    QWidget* previous = txt_pats_dob_;
    setTabOrder(txt_pats_kis_id_, txt_pats_dob_);
    for (int index = 0; index < 3; ++index) {
        auto* button = new QPushButton(QString::fromUtf8(captions[index]), this);
        button->setObjectName(IndexedName("cmd_pats", index));
        button->setAutoDefault(false);
        if (index == 1) button->setDefault(true);
        connect(button, &QPushButton::clicked, this,
                [this, index] { onCommand(static_cast<Command>(index)); });
        buttons->addWidget(button);
        setTabOrder(previous, button);
        previous = button;
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(letter);
    layout->addLayout(buttons);

    txt_pats_kis_id_->setText(QString::fromStdString(terms_.admissionNumber));
    txt_pats_dob_->setText(QString::fromStdString(FormatDateCode(terms_.birthDate, 8)));
    txt_pats_kis_id_->setFocus(Qt::OtherFocusReason);
}

bool PatientSearchWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txt_pats_dob_ && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Another window becoming active (a message box, another program) is no leaving of the field.
        // The focus can go back only once the change of focus is over.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            QTimer::singleShot(0, this, [this] {
                if (isVisible()) leaveBirthDateField();
            });
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool PatientSearchWindow::leaveBirthDateField() {
    const std::optional<std::string> normalised =
        NormaliseBirthDateEntry(txt_pats_dob_->text().toStdString());
    if (normalised) {
        txt_pats_dob_->setText(QString::fromStdString(*normalised));
        return true;
    }
    txt_pats_dob_->clear();
    txt_pats_dob_->setFocus(Qt::OtherFocusReason);
    return false;
}

void PatientSearchWindow::onCommand(Command command) {
    const int index = command;
    if (index == 2) {
        reject();
        return;
    }
    search(index == 0 ? SearchStart::FromFirst : SearchStart::AfterReference);
}

void PatientSearchWindow::search(SearchStart start) {
    // Enter starts "Fortsetzen" without leaving the birth-date field: its text is checked here too.
    if (!leaveBirthDateField()) return;
    terms_ = MakeSearchTerms(txt_pats_kis_id_->text().toStdString(), txt_pats_dob_->text().toStdString());
    if (SearchModeOf(terms_) == SearchMode::None) {
        context_.messages.ShowNotice(notices::EnterSearchTerm);
        txt_pats_kis_id_->setFocus(Qt::OtherFocusReason);
        return;
    }
    hide();
    const bool found = level_ == Level::Abteilungsebene ? searchDepartments(start) : searchPatients(start);
    context_.messages.ShowNotice(found ? notices::PatientFound : notices::PatientNotFound);
    accept();
}

bool PatientSearchWindow::searchDepartments(SearchStart start) {
    std::optional<std::size_t> firstSelected;
    for (int row = 0; row < list_->count(); ++row) {
        if (list_->item(row)->isSelected()) {
            firstSelected = static_cast<std::size_t>(row);
            break;
        }
    }
    DepartmentSearchResult result;
    {
        BusyPointer busy;
        result =
            SearchDepartments(*departments_, firstSelected, start, terms_, context_.settings.SystemDataPath);
    }
    list_->clearSelection();
    if (result.current) {
        const int row = static_cast<int>(*result.current);
        list_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        list_->scrollToItem(list_->item(row));
    }
    // Departments whose database could not be searched are named; the search went on without them.
    if (!result.skipped.empty()) {
        std::string text;
        for (const std::string& message : result.skipped) text += (text.empty() ? "" : "\n") + message;
        context_.messages.ShowErrorBox(text);
    }
    return result.hit.has_value();
}

bool PatientSearchWindow::searchPatients(SearchStart start) {
    const int currentRow = list_->currentRow();
    const std::optional<std::size_t> current =
        currentRow < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(currentRow));
    const PatientSearchResult result = SearchPatientStays(*stays_, current, start, terms_);
    if (result.current) {
        const int row = static_cast<int>(*result.current);
        list_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        list_->scrollToItem(list_->item(row));
    }
    return result.hit.has_value();
}

}  // namespace kalvora::ui
