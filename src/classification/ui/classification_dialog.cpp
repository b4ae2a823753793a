#include "classification/ui/classification_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "base/conversions.h"
#include "base/message_service.h"
#include "base/text.h"
#include "classification/classification_list.h"
#include "classification/classification_run.h"
#include "classification/ui/classification_notation.h"
#include "classification/ui/classification_result_window.h"
#include "classification/ui/staffing_dialog.h"
#include "ui/app_context.h"
#include "ui/busy_pointer.h"
#include "ui/date_entry_field.h"
#include "ui/list_font.h"
#include "ui/main_status_bar.h"
#include "ui/object_names.h"
#include "ui/options_dialog.h"

namespace kalvora::ui {

namespace {

// The column labels over the list: caption, index of Label1, first and last position of the entry
// field below it, and whether the label stands centred over the field (figures) or at its start.
struct ColumnLabel {
    const char* caption;
    int index;
    int first;
    int last;
    bool centred;
};
constexpr ColumnLabel kColumnLabels[] = {
    {" Krankenanstalt ", 0, 1, 27, false}, {" DGKP ", 3, 30, 35, true},
    {" sBetten ", 2, 40, 42, true},        {" DGKP/sBett ", 4, 48, 52, true},
    {" Voreinstufung ", 1, 61, 62, true},  {" Abteilung ", 5, 69, 179, false},
};

// Characters of an entry shown without scrolling: up to the start of the data file name.
constexpr int kVisibleCharacters = 120;

void SetStatus(AppContext& context, const char* text) {
    if (context.statusBar != nullptr) context.statusBar->setPanel(1, QString::fromUtf8(text));
}

QGroupBox* Frame(const QString& caption, const char* name, QWidget* parent) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QLatin1String(name));
    return frame;
}

}  // namespace

ClassificationDialog::ClassificationDialog(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("frmEin"));
    setWindowTitle(QStringLiteral(" Extras - Einstufung"));
    setModal(true);

    auto* buttons = new QHBoxLayout;
    const QString captions[] = {QStringLiteral("Abteilung bearbeiten"),
                                QStringLiteral("Voreinstellungen ändern"), QStringLiteral("Einstufung"),
                                QStringLiteral("Abbrechen")};
    for (int index = 0; index < 4; ++index) {
        auto* button = new QPushButton(captions[index], this);
        button->setObjectName(IndexedName("cmd_ein", index));
        button->setAutoDefault(false);
        // Enter starts the classification, as Enter presses OK in the other dialogs.
        if (index == 2) button->setDefault(true);
        connect(button, &QPushButton::clicked, this,
                [this, index] { onCommand(static_cast<Command>(index)); });
        if (index == 3) buttons->addStretch(1);
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildListFrame(), 1);
    layout->addWidget(buildRunFields());
    layout->addLayout(buttons);

    loadList();
    loadValues();
    const int listWidth =
        lst_abteilung_->fontMetrics().horizontalAdvance(QString(kVisibleCharacters, QLatin1Char('X')));
    resize(listWidth + 60, 440);
    lst_abteilung_->setFocus();
}

QWidget* ClassificationDialog::buildListFrame() {
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frm_det"));
    frame->setFrameShape(QFrame::StyledPanel);

    lst_abteilung_ = new QListWidget(frame);
    lst_abteilung_->setObjectName(QStringLiteral("lst_abteilung"));
    entries_ = std::make_unique<ValueList<ClassificationEntry>>(
        lst_abteilung_,
        [](const ClassificationEntry& entry) { return BuildDepartmentEntry(entry, SystemNumberNotation()); });
    lst_abteilung_->setFont(FixedPitchListFont());
    lst_abteilung_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lst_abteilung_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    lst_abteilung_->setUniformItemSizes(true);
    connect(lst_abteilung_, &QListWidget::itemDoubleClicked, this, [this] { editDepartment(); });

    // The labels stand over the list at the positions of the fields and follow its scrolling.
    labelStrip_ = new QWidget(frame);
    for (const ColumnLabel& column : kColumnLabels) {
        auto* label = new QLabel(QString::fromUtf8(column.caption), labelStrip_);
        label->setObjectName(IndexedName("Label1", column.index));
        label->adjustSize();
        columnLabels_.push_back(label);
    }
    labelStrip_->setFixedHeight(columnLabels_.front()->sizeHint().height() + 2);
    connect(lst_abteilung_->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { placeColumnLabels(); });

    auto* layout = new QVBoxLayout(frame);
    layout->setSpacing(2);
    layout->addWidget(labelStrip_);
    layout->addWidget(lst_abteilung_, 1);
    placeColumnLabels();
    return frame;
}

void ClassificationDialog::placeColumnLabels() {
    // The pitch of the list font, measured over many characters so that no rounding adds up.
    const double character =
        QFontMetricsF(lst_abteilung_->font()).horizontalAdvance(QString(100, QLatin1Char('X'))) / 100.0;
    // Text of an item starts after the list's frame and the item's own margin.
    const int origin = lst_abteilung_->frameWidth() + 3 - lst_abteilung_->horizontalScrollBar()->value();
    for (std::size_t i = 0; i < columnLabels_.size(); ++i) {
        const ColumnLabel& column = kColumnLabels[i];
        QLabel* label = columnLabels_[i];
        const int start = origin + static_cast<int>((column.first - 1) * character);
        const int width = static_cast<int>((column.last - column.first + 1) * character);
        const int x = column.centred ? start + (width - label->width()) / 2 : start;
        label->move(x, 0);
    }
}

QWidget* ClassificationDialog::buildRunFields() {
    auto* fields = new QWidget(this);
    auto* grid = new QGridLayout(fields);
    grid->setContentsMargins(0, 0, 0, 0);

    auto* from = Frame(QStringLiteral("Zeitraum von"), "Frame2", fields);
    txt_vondatum_ = new DateEntryField(context_.messages, QStringLiteral("2000"), from);
    txt_vondatum_->setObjectName(QStringLiteral("txt_vondatum"));
    (new QVBoxLayout(from))->addWidget(txt_vondatum_);
    auto* to = Frame(QStringLiteral("Zeitraum bis"), "Frame3", fields);
    txt_bisdatum_ = new DateEntryField(context_.messages, QStringLiteral("2000"), to);
    txt_bisdatum_->setObjectName(QStringLiteral("txt_bisdatum"));
    (new QVBoxLayout(to))->addWidget(txt_bisdatum_);

    auto* hours = Frame(QStringLiteral("Einstufung - Mindeststunden"), "fra_tab_8", fields);
    cmb_mindeststunden_ = new QComboBox(hours);
    cmb_mindeststunden_->setObjectName(QStringLiteral("cmb_mindeststunden"));
    for (int hour = 0; hour <= kMaximumMinimumHours; ++hour) {
        cmb_mindeststunden_->addItem(QStringLiteral(" %1").arg(hour));
    }
    auto* hoursLabel = new QLabel(QStringLiteral("Mindeststunden für 0-Tagespatienten"), hours);
    hoursLabel->setObjectName(QStringLiteral("Label3"));
    auto* hoursLayout = new QHBoxLayout(hours);
    hoursLayout->addWidget(cmb_mindeststunden_);
    hoursLayout->addWidget(hoursLabel, 1);

    auto* multiple = Frame(QStringLiteral("MehrfachTISS an einem Erhebungstag"), "Frame1", fields);
    chk_multipletiss_ = new QCheckBox(QStringLiteral("nur einen TISS-Wert zählen (Maximum)"), multiple);
    chk_multipletiss_->setObjectName(QStringLiteral("chk_multipletiss"));
    (new QVBoxLayout(multiple))->addWidget(chk_multipletiss_);
    auto* substitute = Frame(QStringLiteral("Einstufung - TISS-Ersatzpunkte"), "Frame14", fields);
    chk_mtiss_ = new QCheckBox(QStringLiteral("fehlende TISS-Tage auffüllen"), substitute);
    chk_mtiss_->setObjectName(QStringLiteral("chk_mtiss"));
    (new QVBoxLayout(substitute))->addWidget(chk_mtiss_);

    grid->addWidget(from, 0, 0);
    grid->addWidget(to, 0, 1);
    grid->addWidget(hours, 0, 2);
    grid->addWidget(multiple, 1, 0, 1, 2);
    grid->addWidget(substitute, 1, 2);
    return fields;
}

void ClassificationDialog::loadList() {
    ClassificationDialogList list;
    {
        const BusyPointer busy;
        SetStatus(context_, " Intensivberichte vorbereiten...");
        Result<ClassificationDialogList> loaded =
            LoadClassificationDialogList(context_.settings.SystemDataPath);
        if (loaded) {
            list = std::move(*loaded);
        } else {
            context_.messages.ShowErrorBox(loaded.message());
        }
    }
    entries_->assign(std::move(list.entries));
    // A department left out for want of its database would otherwise just be absent from the list.
    if (!list.unlisted.empty()) context_.messages.ShowErrorBox(UnlistedDepartmentsText(list.unlisted));
    if (lst_abteilung_->count() == 0) {
        context_.messages.ShowNotice(notices::NoDischargedTissPatients);
    } else {
        lst_abteilung_->setCurrentRow(0);
    }
    SetStatus(context_, " Bereit");
}

void ClassificationDialog::loadValues() {
    const Settings& settings = context_.settings;
    const long long hours = WholeNumericValue(settings.MindestStd);
    cmb_mindeststunden_->setCurrentIndex(hours >= 0 && hours <= kMaximumMinimumHours ? static_cast<int>(hours)
                                                                                     : 0);
    txt_vondatum_->setText(QString::fromStdString(FormatDateCode(settings.Erhebungvon, 8)));
    txt_bisdatum_->setText(QString::fromStdString(FormatDateCode(settings.Erhebungbis, 8)));
    chk_multipletiss_->setChecked(settings.MehrfachTISS == "J");
    chk_mtiss_->setChecked(settings.ErsatzTISS == "J");
}

void ClassificationDialog::onCommand(Command command) {
    const int index = command;
    switch (index) {
        case 0:
            editDepartment();
            break;
        case 1:
            changeSettings();
            break;
        case 2:
            startClassification();
            break;
        default:
            reject();
            break;
    }
}

void ClassificationDialog::editDepartment() {
    const std::optional<int> row = entries_->currentRow();
    // An empty list has no entry with the focus: nothing to edit.
    if (!row) return;
    StaffingDialog window(context_, entries_->at(*row), this);
    if (window.exec() == QDialog::Accepted) entries_->replace(*row, window.entry());
}

void ClassificationDialog::changeSettings() {
    // The options dialog opens over this one: hiding a dialog inside its exec() would end it, and
    // with it the user's choices. Only new settings replace what the fields show.
    OptionsDialog options(context_, this);
    if (options.exec() == QDialog::Accepted) loadValues();
}

void ClassificationDialog::startClassification() {
    // A blank or invalid period has no valid day to classify: the start is refused.
    for (DateEntryField* field : {txt_vondatum_, txt_bisdatum_}) {
        if (!field->normalise()) {
            field->reportInvalid();
            return;
        }
    }
    // The run values live in the settings of this program run only; the options dialog alone
    // writes the settings file.
    Settings& settings = context_.settings;
    settings.Erhebungvon = FixedWidth(txt_vondatum_->dateCode(), 8);
    settings.Erhebungbis = FixedWidth(txt_bisdatum_->dateCode(), 8);
    settings.MindestStd =
        FixedWidth(cmb_mindeststunden_->currentText().remove(QLatin1Char(' ')).toStdString(), 2);
    settings.MehrfachTISS = chk_multipletiss_->isChecked() ? "J" : "N";
    settings.ErsatzTISS = chk_mtiss_->isChecked() ? "J" : "N";
    // A period that ends before it begins has no day to classify: said here, with the dialog open.
    if (const Outcome checked = CheckClassificationRun(ClassificationRunFromSettings(settings)); !checked) {
        context_.messages.ShowErrorBox(checked.message());
        txt_bisdatum_->setFocus();
        return;
    }
    // The result window opens over this dialog, which stays open with its choices for the next run.
    ClassificationResultWindow result(context_, selectedEntries(), this);
    result.exec();
}

}  // namespace kalvora::ui
