#include "classification/ui/staffing_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "base/message_service.h"
#include "classification/department_entry.h"
#include "classification/department_staffing.h"
#include "classification/ui/classification_notation.h"
#include "ui/app_context.h"
#include "ui/object_names.h"
#include "ui/select_on_focus.h"

namespace kalvora::ui {

namespace {

// The DGKP field, then the beds field.
constexpr StaffingField kNumberFields[] = {kDgkpField, kBedsField};

QString Trimmed(const std::string& text) { return QString::fromStdString(text).trimmed(); }

QGroupBox* Frame(const QString& caption, const char* name, QWidget* content, QWidget* parent) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QLatin1String(name));
    (new QVBoxLayout(frame))->addWidget(content);
    return frame;
}

}  // namespace

StaffingDialog::StaffingDialog(AppContext& context, ClassificationEntry entry, QWidget* parent)
    : QDialog(parent), context_(context), entry_(std::move(entry)), notation_(SystemNumberNotation()) {
    setObjectName(QStringLiteral("frmAbtB"));
    setWindowTitle(QStringLiteral(" Extras - Einstufung"));
    setModal(true);

    auto* names = new QGroupBox(QStringLiteral("Krankenanstalt / Abteilung"), this);
    names->setObjectName(QStringLiteral("Frame31"));
    lbl_ka_ = new QLabel(QString::fromStdString(EntryHospitalText(entry_)), names);
    lbl_ka_->setObjectName(QStringLiteral("lbl_ka"));
    lbl_abt_ = new QLabel(Trimmed(EntryDepartmentText(entry_)), names);
    lbl_abt_->setObjectName(QStringLiteral("lbl_abt"));
    auto* namesLayout = new QVBoxLayout(names);
    namesLayout->addWidget(lbl_ka_);
    namesLayout->addWidget(lbl_abt_);

    txt_dgkp_ = new QLineEdit(this);
    txt_dgkp_->setObjectName(QStringLiteral("txt_dgkp"));
    const NumberEntryResult dgkp = CheckNumberEntry(EntryDgkpText(entry_, notation_), 2, 6, false, notation_);
    txt_dgkp_->setText(dgkp.message ? Trimmed(EntryDgkpText(entry_, notation_)) : Trimmed(dgkp.text));
    txt_sBett_ = new QLineEdit(Trimmed(EntryBedsText(entry_)), this);
    txt_sBett_->setObjectName(QStringLiteral("txt_sBett"));
    lbl_faktor_ = new QLabel(QStringLiteral("0,00"), this);
    lbl_faktor_->setObjectName(QStringLiteral("lbl_faktor"));
    for (QLineEdit* edit : {txt_dgkp_, txt_sBett_}) {
        SelectAllOnFocus(edit);
        edit->installEventFilter(this);
    }

    cmbVoreinstufung_ = new QComboBox(this);
    cmbVoreinstufung_->setObjectName(QStringLiteral("cmbVoreinstufung"));
    cmbVoreinstufung_->addItems(
        {QString(), QStringLiteral("E0"), QStringLiteral("E1"), QStringLiteral("E2"), QStringLiteral("E3")});
    // A preset "En" is item n + 1; a blank (or unreadable) preset selects the empty item.
    const std::string preset = EntryPresetText(entry_);
    int presetItem = 0;
    if (preset.size() == 2 && preset[0] == 'E' && preset[1] >= '0' && preset[1] <= '3') {
        presetItem = preset[1] - '0' + 1;
    }
    cmbVoreinstufung_->setCurrentIndex(presetItem);

    auto* values = new QHBoxLayout;
    values->addWidget(Frame(QStringLiteral("DGKP"), "Frame1", txt_dgkp_, this));
    values->addWidget(Frame(QStringLiteral("systemisierte Betten"), "Frame2", txt_sBett_, this));
    values->addWidget(Frame(QStringLiteral("DGKP/system.Bett"), "Frame3", lbl_faktor_, this));

    auto* presetFrame = new QGroupBox(QStringLiteral("Voreinstufung (LGF)"), this);
    presetFrame->setObjectName(QStringLiteral("Frame4"));
    auto* note =
        new QLabel(QStringLiteral("Bei Bedarf kann eine Einstufung vorgegeben werden. Die Zusatzpunkte "
                                  "werden dann innerhalb der vorgegebenen Stufe rechnerisch ermittelt."),
                   presetFrame);
    note->setObjectName(QStringLiteral("Label1"));
    note->setWordWrap(true);
    auto* presetLayout = new QHBoxLayout(presetFrame);
    presetLayout->addWidget(cmbVoreinstufung_);
    presetLayout->addWidget(note, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const QString captions[] = {QStringLiteral("OK"), QStringLiteral("Abbrechen")};
    for (int index = 0; index < 2; ++index) {
        auto* button = new QPushButton(captions[index], this);
        button->setObjectName(IndexedName("cmd_extras", index));
        button->setAutoDefault(false);
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("Abbrechen")) + 32);
        if (index == 0) button->setDefault(true);
        connect(button, &QPushButton::clicked, this,
                [this, index] { onCommand(static_cast<Command>(index)); });
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(names);
    layout->addLayout(values);
    layout->addWidget(presetFrame);
    layout->addLayout(buttons);
    resize(560, sizeHint().height());
    txt_dgkp_->setFocus();
}

QLineEdit* StaffingDialog::field(int which) const { return which == 0 ? txt_dgkp_ : txt_sBett_; }

bool StaffingDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && (watched == txt_dgkp_ || watched == txt_sBett_)) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Another window becoming active (the error box itself) is no leaving of the field.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            const int which = watched == txt_dgkp_ ? 0 : 1;
            if (!checkField(which)) {
                // The box is shown once the focus change is over; "OK" takes the report over.
                pendingReport_ = which;
                QTimer::singleShot(0, this, [this, which] {
                    if (pendingReport_ == which) leaveField(which);
                });
            } else {
                updateFactor();
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool StaffingDialog::checkField(int which) {
    QLineEdit* edit = field(which);
    const StaffingField& field = kNumberFields[which];
    const NumberEntryResult result =
        CheckNumberEntry(edit->text().toStdString(), field.places, field.maxCharacters, false, notation_);
    edit->setText(QString::fromStdString(result.text));
    return !result.message;
}

bool StaffingDialog::leaveField(int which) {
    pendingReport_ = -1;
    QLineEdit* edit = field(which);
    const StaffingField& field = kNumberFields[which];
    const NumberEntryResult result =
        CheckNumberEntry(edit->text().toStdString(), field.places, field.maxCharacters, false, notation_);
    edit->setText(QString::fromStdString(result.text));
    if (result.message) {
        context_.messages.ShowErrorBox(*result.message);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        return false;
    }
    updateFactor();
    return true;
}

void StaffingDialog::updateFactor() {
    // Both figures are read in the locale's notation; an empty DGKP counts as 0.
    const long long beds = BedsOfEntry(txt_sBett_->text().toStdString());
    if (beds == 0) return;
    const Decimal staff = DgkpOfEntry(txt_dgkp_->text().toStdString(), notation_);
    const Decimal ratio{RoundQuotientHalfAwayFromZero(staff.units, beds), 2};
    lbl_faktor_->setText(QString::fromStdString(TwoPlacesText(ratio, notation_)));
}

void StaffingDialog::onCommand(Command command) {
    const int index = command;
    if (index != 0) {
        reject();
        return;
    }
    // Both fields are checked as on leaving them; nothing is stored while one is invalid.
    for (int which = 0; which < 2; ++which) {
        if (!leaveField(which)) return;
    }
    if (store()) accept();
}

bool StaffingDialog::store() {
    Staffing values;
    values.dgkp = DgkpOfEntry(txt_dgkp_->text().toStdString(), notation_);
    values.beds = BedsOfEntry(txt_sBett_->text().toStdString());
    values.preset = cmbVoreinstufung_->currentText().toStdString();
    // A department without a row in Dateiverwaltung stores nothing; its entry is still rewritten.
    const Outcome stored =
        StoreDepartmentStaffing(context_.settings.SystemDataPath, entry_.department, values);
    if (!stored) {
        context_.messages.ShowErrorBox(stored.message());
        return false;
    }
    entry_ = WithStaffing(entry_, values);
    return true;
}

}  // namespace kalvora::ui
