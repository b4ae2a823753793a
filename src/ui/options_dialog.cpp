#include "ui/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "base/conversions.h"
#include "base/message_service.h"
#include "base/settings.h"
#include "base/text.h"
#include "ui/app_context.h"
#include "ui/date_entry_field.h"
#include "ui/directory_list.h"
#include "ui/drive_list.h"
#include "ui/object_names.h"
#include "ui/setting_directory.h"

namespace kalvora::ui {

namespace {

constexpr int kMaximumMinimumHours = 24;
constexpr const char* kDatePrefix = "2000";

QGroupBox* Frame(const QString& name, const QString& caption, QWidget* parent) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    return frame;
}

QString Trimmed(const std::string& text) { return QString::fromStdString(text).trimmed(); }

// The directory labels: the one the lists edit is white, the other has the colour of buttons.
QLabel* DirectoryLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAutoFillBackground(true);
    label->setTextFormat(Qt::PlainText);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    label->setMinimumHeight(label->fontMetrics().height() + 8);
    label->setMargin(3);
    return label;
}

void MarkEdited(QLabel* label, bool edited) {
    QPalette palette = label->palette();
    const QColor background = edited ? QColor(Qt::white) : label->palette().color(QPalette::Button);
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
}

void ShowDirectory(QLabel* label, const QString& directory) {
    label->setText(directory);
    label->setToolTip(directory);
}

void ReportSettingsNotSaved(MessageService& messages, const std::string& path) {
    MessageBox box;
    box.text = "Die Einstellungsdatei " + path +
               " kann nicht geschrieben werden. Die Änderungen sind nicht gespeichert!";
    box.title = std::string(kProgramTitle);
    box.icon = MessageIcon::Error;
    box.buttons = MessageButtons::Ok;
    messages.Show(box);
}

}  // namespace

OptionsDialog::OptionsDialog(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("frmOpt"));
    setWindowTitle(QStringLiteral(" Extras - Optionen"));
    setModal(true);

    tab_opt_ = new QTabWidget(this);
    tab_opt_->setObjectName(QStringLiteral("tab_opt"));
    tab_opt_->addTab(buildSettingsTab(), QStringLiteral("&Einstellungen"));
    tab_opt_->addTab(buildDirectoriesTab(), QStringLiteral("&Verzeichnisse"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const QString captions[] = {QStringLiteral("OK"), QStringLiteral("Abbrechen")};
    for (int index = 0; index < 2; ++index) {
        auto* button = new QPushButton(captions[index], this);
        button->setObjectName(IndexedName("cmd_verzeichnis", index));
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("Abbrechen")) + 32);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this,
                [this, index] { onCommand(static_cast<Command>(index)); });
        buttons->addWidget(button);
        if (index == 0) button->setDefault(true);
        // A click on "Abbrechen" leaves the focus where it is, so that leaving a half-typed date
        // does not stand in the way of cancelling.
        if (index == 1) button->setFocusPolicy(Qt::TabFocus);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tab_opt_);
    layout->addLayout(buttons);

    loadValues();
    resize(sizeHint().expandedTo(QSize(620, 430)));
    txt_vondatum_->setFocus(Qt::OtherFocusReason);
}

QWidget* OptionsDialog::buildSettingsTab() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tab_opt_0"));

    auto dateFrame = [&](int frameIndex, int labelIndex, const QString& frameCaption,
                         const QString& labelCaption, DateEntryField*& field, const char* fieldName) {
        QGroupBox* frame = Frame(IndexedName("fra_tab", frameIndex), frameCaption, page);
        auto* label = new QLabel(labelCaption, frame);
        label->setObjectName(IndexedName("Label4", labelIndex));
        field = new DateEntryField(context_.messages, QString::fromLatin1(kDatePrefix), frame);
        field->setObjectName(QString::fromLatin1(fieldName));
        field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 16);
        label->setBuddy(field);
        auto* inner = new QHBoxLayout(frame);
        inner->addWidget(label);
        inner->addStretch(1);
        inner->addWidget(field);
        return frame;
    };
    QGroupBox* from = dateFrame(8, 0, QStringLiteral("Einstufung von"),
                                QStringLiteral("Erhebungszeitraum - Beginn"), txt_vondatum_, "txt_vondatum");
    QGroupBox* to = dateFrame(9, 1, QStringLiteral("Einstufung bis"),
                              QStringLiteral("Erhebungszeitraum - Ende"), txt_bisdatum_, "txt_bisdatum");

    QGroupBox* plaus = Frame(IndexedName("fra_tab", 5), QStringLiteral("Basisplausibilität"), page);
    auto* plausLayout = new QVBoxLayout(plaus);
    const QString plausCaptions[] = {QStringLiteral(" Strenge Prüfung (Error)"),
                                     QStringLiteral(" Weniger strenge Prüfung (Warning)")};
    for (int index = 0; index < 2; ++index) {
        opt_plaus_[index] = new QRadioButton(plausCaptions[index], plaus);
        opt_plaus_[index]->setObjectName(IndexedName("opt_plaus", index));
        plausLayout->addWidget(opt_plaus_[index]);
    }
    plausLayout->addStretch(1);

    QGroupBox* hours = Frame(IndexedName("fra_tab", 7), QStringLiteral("Einstufung - Mindeststunden"), page);
    cmb_mindeststunden_ = new QComboBox(hours);
    cmb_mindeststunden_->setObjectName(QStringLiteral("cmb_mindeststunden"));
    for (int hour = 0; hour <= kMaximumMinimumHours; ++hour)
        cmb_mindeststunden_->addItem(QStringLiteral(" %1").arg(hour));
    auto* hoursLabel = new QLabel(
        QStringLiteral("Mindeststunden für 0-Tagespatienten mit normaler Entlassung zur Einstufung"), hours);
    hoursLabel->setObjectName(QStringLiteral("Label3"));
    hoursLabel->setWordWrap(true);
    auto* hoursLayout = new QHBoxLayout(hours);
    hoursLayout->addWidget(cmb_mindeststunden_, 0, Qt::AlignTop);
    hoursLayout->addWidget(hoursLabel, 1);

    QGroupBox* multiple =
        Frame(QStringLiteral("Frame1"), QStringLiteral("MehrfachTISS an einem Erhebungstag"), page);
    chk_multipletiss_ = new QCheckBox(QStringLiteral("nur einen TISS-Wert zählen (Maximum)"), multiple);
    chk_multipletiss_->setObjectName(QStringLiteral("chk_multipletiss"));
    (new QVBoxLayout(multiple))->addWidget(chk_multipletiss_);

    QGroupBox* substitute =
        Frame(QStringLiteral("Frame14"), QStringLiteral("Einstufung - TISS-Ersatzpunkte"), page);
    chk_mtiss_ = new QCheckBox(QStringLiteral("fehlende TISS-Tage auffüllen"), substitute);
    chk_mtiss_->setObjectName(QStringLiteral("chk_mtiss"));
    (new QVBoxLayout(substitute))->addWidget(chk_mtiss_);

    auto* grid = new QGridLayout(page);
    grid->addWidget(from, 0, 0);
    grid->addWidget(to, 0, 1);
    grid->addWidget(plaus, 1, 0);
    grid->addWidget(hours, 1, 1);
    grid->addWidget(multiple, 2, 0);
    grid->addWidget(substitute, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
    return page;
}

QWidget* OptionsDialog::buildDirectoriesTab() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tab_opt_1"));

    // Where the data live; set by the set-up of the data directory, never here.
    QGroupBox* systemFrame =
        Frame(IndexedName("fra_tab", 10), QStringLiteral("Systemdatenverzeichnis"), page);
    lbl_system_ = DirectoryLabel(QStringLiteral("lbl_system"), systemFrame);
    lbl_system_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    MarkEdited(lbl_system_, false);
    (new QVBoxLayout(systemFrame))->addWidget(lbl_system_);

    QGroupBox* importFrame = Frame(IndexedName("fra_tab", 3), QStringLiteral("Importverzeichnis"), page);
    lbl_import_ = DirectoryLabel(QStringLiteral("lbl_import"), importFrame);
    (new QVBoxLayout(importFrame))->addWidget(lbl_import_);

    QGroupBox* exportFrame =
        Frame(IndexedName("fra_tab", 2), QStringLiteral("Export-/Protokollverzeichnis"), page);
    lbl_export_ = DirectoryLabel(QStringLiteral("lbl_export"), exportFrame);
    (new QVBoxLayout(exportFrame))->addWidget(lbl_export_);

    QGroupBox* change = Frame(IndexedName("fra_tab", 4), QStringLiteral("Ändern"), page);
    auto* changeLayout = new QVBoxLayout(change);
    const QString captions[] = {QStringLiteral(" Einstellung - Importverzeichnis"),
                                QStringLiteral(" Einstellung - Export-/Protokollverzeichnis")};
    for (int index = 0; index < 2; ++index) {
        opt_verzeichnis_[index] = new QRadioButton(captions[index], change);
        opt_verzeichnis_[index]->setObjectName(IndexedName("opt_verzeichnis", index));
        changeLayout->addWidget(opt_verzeichnis_[index]);
        connect(opt_verzeichnis_[index], &QRadioButton::toggled, this, [this, index](bool checked) {
            if (checked) chooseDirectory(index);
        });
    }

    QGroupBox* driveFrame = Frame(IndexedName("fra_tab", 1), QStringLiteral("Laufwerk"), page);
    lst_drive_ = new DriveList(driveFrame);
    lst_drive_->setObjectName(QStringLiteral("lst_drive"));
    (new QVBoxLayout(driveFrame))->addWidget(lst_drive_);
    connect(lst_drive_, &DriveList::driveChosen, this, &OptionsDialog::onDriveChosen);

    QGroupBox* choice = Frame(IndexedName("fra_tab", 0), QStringLiteral("Auswahl"), page);
    lst_dir_ = new DirectoryList(choice);
    lst_dir_->setObjectName(QStringLiteral("lst_dir"));
    (new QVBoxLayout(choice))->addWidget(lst_dir_);
    connect(lst_dir_, &DirectoryList::pathChanged, this, &OptionsDialog::onDirectoryChanged);

    auto* left = new QVBoxLayout;
    left->addWidget(systemFrame);
    left->addWidget(importFrame);
    left->addWidget(exportFrame);
    left->addWidget(change);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(driveFrame);
    right->addWidget(choice, 1);
    auto* columns = new QHBoxLayout(page);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    return page;
}

void OptionsDialog::loadValues() {
    const Settings& settings = context_.settings;
    // The export/protocol directory is the one being edited when the dialog opens.
    MarkEdited(lbl_import_, false);
    MarkEdited(lbl_export_, true);
    ShowDirectory(lbl_export_, DirectoryOfSetting(settings.ExportDataPath));
    ShowDirectory(lbl_import_, DirectoryOfSetting(settings.ImportDataPath));
    ShowDirectory(lbl_system_, DirectoryOfSetting(settings.SystemDataPath));
    {
        const QSignalBlocker blocker(opt_verzeichnis_[1]);
        opt_verzeichnis_[1]->setChecked(true);
    }
    {
        const QSignalBlocker blocker(lst_dir_);
        if (lst_dir_->setPath(lbl_export_->text()) || lst_dir_->setPath(QDir::homePath())) {
            lst_drive_->showDriveOf(lst_dir_->path());
        }
    }

    opt_plaus_[Trimmed(settings.PlausLevel) == QLatin1String("Error") ? 0 : 1]->setChecked(true);

    const long long hourIndex = WholeNumericValue(settings.MindestStd);
    cmb_mindeststunden_->setCurrentIndex(
        hourIndex >= 0 && hourIndex <= kMaximumMinimumHours ? static_cast<int>(hourIndex) : 0);
    txt_vondatum_->setText(QString::fromStdString(FormatDateCode(settings.Erhebungvon, 8)));
    txt_bisdatum_->setText(QString::fromStdString(FormatDateCode(settings.Erhebungbis, 8)));
    chk_multipletiss_->setChecked(settings.MehrfachTISS == "J");
    chk_mtiss_->setChecked(settings.ErsatzTISS == "J");
}

QLabel* OptionsDialog::editedLabel() const {
    return opt_verzeichnis_[0]->isChecked() ? lbl_import_ : lbl_export_;
}

void OptionsDialog::chooseDirectory(int which) {
    MarkEdited(lbl_import_, which == 0);
    MarkEdited(lbl_export_, which == 1);
    if (lst_dir_->setPath(editedLabel()->text())) lst_drive_->showDriveOf(lst_dir_->path());
}

void OptionsDialog::onDriveChosen(const QString& drive) {
    if (lst_dir_->setPath(drive)) return;
    // A drive that cannot be read: back to the drive of the open directory, without a message.
    context_.messages.ShowNotice(notices::DriveNotReady);
    lst_drive_->showDriveOf(lst_dir_->path());
}

void OptionsDialog::onDirectoryChanged(const QString& directory) {
    ShowDirectory(editedLabel(), directory);
    lst_drive_->showDriveOf(directory);
}

void OptionsDialog::onCommand(Command command) {
    const int index = command;
    if (index != 0) {
        reject();
        return;
    }
    // A blank or invalid survey date would go into the settings as it stands; it is refused here.
    for (DateEntryField* field : {txt_vondatum_, txt_bisdatum_}) {
        if (!field->normalise()) {
            tab_opt_->setCurrentIndex(0);
            field->reportInvalid();
            return;
        }
    }
    if (context_.messages.AskQuestion(questions::SaveChanges) != Answer::Yes) {
        reject();
        return;
    }
    if (!saveValues()) {
        // The edits stay in the dialog: the user can make the file writable and try again.
        ReportSettingsNotSaved(context_.messages, context_.settingsFile.writeTarget());
        return;
    }
    accept();
}

void OptionsDialog::done(int result) {
    QDialog::done(result);
    // The window system does not always hand the focus back when a question box and the dialog
    // close one right after the other; without it no window takes keys or access keys.
    if (QWidget* opener = parentWidget(); opener != nullptr && opener->window()->isVisible())
        opener->window()->activateWindow();
}

bool OptionsDialog::saveValues() {
    Settings settings = context_.settings;
    SettingsFile& file = context_.settingsFile;

    settings.ImportDataPath = PathSettingOf(lbl_import_->text());
    if (!file.WriteSetting(&Settings::ImportDataPath, lbl_import_->text().trimmed().toStdString()))
        return false;
    settings.ExportDataPath = PathSettingOf(lbl_export_->text());
    if (!file.WriteSetting(&Settings::ExportDataPath, lbl_export_->text().trimmed().toStdString()))
        return false;

    // Each value is kept in the width the settings are read with.
    const auto fitted = [](std::string Settings::*member, std::string_view value) {
        return FixedWidth(value, SettingsKeyOf(member).width);
    };
    settings.PlausLevel = fitted(&Settings::PlausLevel, opt_plaus_[0]->isChecked() ? "Error" : "Warning");
    if (!file.WriteSetting(&Settings::PlausLevel, settings.PlausLevel)) return false;

    settings.Erhebungvon = fitted(&Settings::Erhebungvon, txt_vondatum_->dateCode());
    if (!file.WriteSetting(&Settings::Erhebungvon, settings.Erhebungvon)) return false;
    settings.Erhebungbis = fitted(&Settings::Erhebungbis, txt_bisdatum_->dateCode());
    if (!file.WriteSetting(&Settings::Erhebungbis, settings.Erhebungbis)) return false;

    const std::string hours = cmb_mindeststunden_->currentText().remove(QLatin1Char(' ')).toStdString();
    settings.MindestStd = fitted(&Settings::MindestStd, hours);
    if (!file.WriteSetting(&Settings::MindestStd, hours)) return false;

    settings.MehrfachTISS = chk_multipletiss_->isChecked() ? "J" : "N";
    if (!file.WriteSetting(&Settings::MehrfachTISS, settings.MehrfachTISS)) return false;
    settings.ErsatzTISS = chk_mtiss_->isChecked() ? "J" : "N";
    if (!file.WriteSetting(&Settings::ErsatzTISS, settings.ErsatzTISS)) return false;

    context_.settings = settings;
    return true;
}

}  // namespace kalvora::ui
