#include "import/ui/import_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <filesystem>

#include "base/message_service.h"
#include "base/paths.h"
#include "base/settings.h"
#include "import/import_batch_request.h"
#include "import/import_run.h"
#include "import/protocol_choice.h"
#include "import/protocol_file.h"
#include "ui/app_context.h"
#include "ui/busy_pointer.h"
#include "ui/directory_list.h"
#include "ui/drive_list.h"
#include "ui/file_list.h"
#include "ui/main_status_bar.h"
#include "ui/object_names.h"
#include "ui/select_on_focus.h"
#include "ui/setting_directory.h"

namespace kalvora::ui {

namespace {

QGroupBox* Frame(const char* name, const QString& caption, QWidget* parent) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    return frame;
}

}  // namespace

ImportDialog::ImportDialog(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("frmImp"));
    setWindowTitle(QStringLiteral(" Datei - Import"));
    setModal(true);

    QGroupBox* fileFrame = Frame("Frame1", QStringLiteral("&Dateiname"), this);
    lst_file_ = new FileList(fileFrame);
    lst_file_->setObjectName(QStringLiteral("lst_file"));
    (new QVBoxLayout(fileFrame))->addWidget(lst_file_);
    connect(lst_file_, &QListWidget::itemDoubleClicked, this, [this] { onCommand(ImportDialog::Import); });

    QGroupBox* driveFrame = Frame("Frame2", QStringLiteral("&Laufwerk"), this);
    lst_drive_ = new DriveList(driveFrame);
    lst_drive_->setObjectName(QStringLiteral("lst_drive"));
    (new QVBoxLayout(driveFrame))->addWidget(lst_drive_);
    connect(lst_drive_, &DriveList::driveChosen, this, &ImportDialog::onDriveChosen);

    QGroupBox* dirFrame = Frame("Frame3", QStringLiteral("&Verzeichnis"), this);
    lst_dir_ = new DirectoryList(dirFrame);
    lst_dir_->setObjectName(QStringLiteral("lst_dir"));
    (new QVBoxLayout(dirFrame))->addWidget(lst_dir_);
    connect(lst_dir_, &DirectoryList::pathChanged, this, &ImportDialog::onDirectoryChanged);

    QGroupBox* protocolFrame = Frame("frame4", QStringLiteral("&Protokolldatei"), this);
    txt_protocol_ =
        new QLineEdit(QString::fromLatin1(kDefaultProtocolFileName.data(),
                                          static_cast<qsizetype>(kDefaultProtocolFileName.size())),
                      protocolFrame);
    txt_protocol_->setObjectName(QStringLiteral("txt_protocol"));
    SelectAllOnFocus(txt_protocol_);
    (new QVBoxLayout(protocolFrame))->addWidget(txt_protocol_);

    QGroupBox* modeFrame = Frame("Frame6", QStringLiteral("Bei bereits im System bestehenden Daten"), this);
    auto* modeLayout = new QVBoxLayout(modeFrame);
    const QString modeCaptions[] = {QStringLiteral("Neudaten anfügen, bestehende Daten aktualisieren"),
                                    QStringLiteral("Gesamten Datenbestand der Abteilung initialisieren")};
    for (int index = 0; index < 2; ++index) {
        opt_import_[index] = new QRadioButton(modeCaptions[index], modeFrame);
        opt_import_[index]->setObjectName(IndexedName("opt_import", index));
        modeLayout->addWidget(opt_import_[index]);
    }
    opt_import_[0]->setChecked(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const QString captions[] = {QStringLiteral("Import"), QStringLiteral("Abbrechen")};
    for (int index = 0; index < 2; ++index) {
        cmd_imp_[index] = new QPushButton(captions[index], this);
        cmd_imp_[index]->setObjectName(IndexedName("cmd_imp", index));
        cmd_imp_[index]->setMinimumWidth(cmd_imp_[index]->fontMetrics().horizontalAdvance(captions[1]) + 32);
        cmd_imp_[index]->setAutoDefault(false);
        connect(cmd_imp_[index], &QPushButton::clicked, this,
                [this, index] { onCommand(static_cast<Command>(index)); });
        buttons->addWidget(cmd_imp_[index]);
    }
    cmd_imp_[0]->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(fileFrame, 0, 0, 3, 1);
    grid->addWidget(driveFrame, 0, 1);
    grid->addWidget(dirFrame, 1, 1);
    grid->addWidget(protocolFrame, 2, 1);
    grid->addWidget(modeFrame, 3, 0, 1, 2);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    openLists();
    resize(QSize(720, 540).expandedTo(sizeHint()));
}

void ImportDialog::openLists() {
    if (pointListsAt(context_.settings.ImportDataPath)) return;
    // The import directory cannot be opened: the system data directory takes its place, in the
    // settings and in the settings file.
    context_.settings.ImportDataPath = context_.settings.SystemDataPath;
    context_.settingsFile.WriteSetting(&Settings::ImportDataPath, context_.settings.SystemDataPath);
    if (pointListsAt(context_.settings.ImportDataPath)) return;
    // Neither can be opened: the lists show the user's home directory; the settings stay.
    pointListsAt(QDir::homePath().toStdString());
}

bool ImportDialog::pointListsAt(const std::string& path) {
    if (!lst_dir_->setPath(DirectoryOfSetting(path))) return false;
    onDirectoryChanged(lst_dir_->path());
    return true;
}

void ImportDialog::onDriveChosen(const QString& drive) {
    // A drive that cannot be read: back to the drive of the directory list, without a message.
    if (!lst_dir_->setPath(drive)) lst_drive_->showDriveOf(lst_dir_->path());
}

void ImportDialog::onDirectoryChanged(const QString& directory) {
    lst_drive_->showDriveOf(directory);
    lst_file_->setDirectory(directory);
}

void ImportDialog::onCommand(Command command) {
    const int index = command;
    if (running_) return;
    if (index == 0) {
        startImport();
    } else {
        reject();
    }
}

void ImportDialog::reject() {
    // Escape and the close box act as "Abbrechen"; neither ends a running batch.
    if (running_) return;
    context_.importResultMarker.clear();
    QDialog::reject();
}

void ImportDialog::startImport() {
    context_.importResultMarker.clear();
    MessageService& messages = context_.messages;

    // The files and the folder they were chosen in belong together: a folder opened meanwhile (while
    // a question is open) changes neither.
    const QString directory = lst_file_->directory();
    const QStringList names = lst_file_->selectedFileNames();
    if (names.isEmpty()) {
        messages.ShowNotice(notices::NoFileSelected);
        return;
    }
    if (names.size() > kMaximumFiles) {
        messages.ShowNotice(notices::TooManyFiles);
        return;
    }
    // The protocol file goes into the export directory: one that is missing or that may not be
    // written into is named before anything is asked or imported.
    if (const Outcome usable = CheckExportDirectory(context_.settings.ExportDataPath); !usable) {
        messages.ShowErrorBox(usable.message());
        txt_protocol_->setFocus();
        return;
    }

    const std::string protocolName = txt_protocol_->text().trimmed().toStdString();
    const std::string protocolPath = JoinPath(context_.settings.ExportDataPath, protocolName);
    if (ProtocolFileHoldsData(protocolPath) &&
        messages.AskQuestion(questions::OverwriteProtocol) != Answer::Yes) {
        txt_protocol_->setFocus();
        return;
    }
    const bool initialise = opt_import_[1]->isChecked();
    if (initialise && messages.AskQuestion(questions::InitialiseDepartments) != Answer::Yes) return;

    const std::optional<std::string> checkedPath =
        ProtocolPathFor(context_.settings.ExportDataPath, protocolName);
    if (!checkedPath) {
        messages.ShowNotice(notices::InvalidFileName);
        txt_protocol_->setFocus();
        return;
    }
    runBatch(directory, names, *checkedPath, initialise);
}

void ImportDialog::runBatch(const QString& directory, const QStringList& names,
                            const std::string& protocolPath, bool initialise) {
    std::vector<ImportFile> files;
    for (const QString& name : names)
        files.push_back({name.toStdString(), FileInDirectory(directory, name).toStdString()});
    // A file that went away or cannot be read since it was listed stops nothing half-way: the batch
    // does not start, and the user may choose again.
    const Result<ImportBatchRequest> planned =
        PlanImportBatch(std::move(files), initialise ? ImportMode::Initialise : ImportMode::Append,
                        protocolPath, context_.settings.ImportDataPath);
    if (!planned) {
        context_.messages.ShowErrorBox(planned.message());
        return;
    }
    const ImportBatchRequest& request = *planned;
    protocolPath_ = protocolPath;

    context_.importResultMarker = std::string(kImportResultMarker);
    summary_.clear();

    ImportBatchResult result;
    {
        running_ = true;
        setButtonsEnabled(false);
        const BusyPointer busy;
        MainStatusBar* bar = context_.statusBar;
        if (bar != nullptr) bar->beginProgress();
        StatusBarSink sink(bar, repaintIntervalMs_);
        result = RunImportBatch(request, context_.settings, sink);
        if (bar != nullptr) {
            bar->endProgress();
            bar->setPanel(1, QStringLiteral(" Bereit"));
            bar->setPanel(2, QStringLiteral(" "));
            bar->setPanel(3, QStringLiteral(" "));
        }
        setButtonsEnabled(true);
        running_ = false;
    }
    // The protocol file could not be created: the batch stopped before its first file.
    const bool stoppedBeforeFirstFile = result.failed() && result.summary.empty();
    if (result.refused() || stoppedBeforeFirstFile) {
        // Nothing was changed (another program changes the data directory, the protocol name would
        // overwrite a database, the protocol file cannot be created): the user may try again.
        context_.importResultMarker.clear();
        context_.messages.ShowErrorBox(result.refused() ? result.refusal : result.failure);
        txt_protocol_->setFocus();
        return;
    }
    summary_ = std::move(result.summary);

    if (result.failed()) {
        // An unexpected failure: the protocol holds what was written so far; the program ends.
        context_.importResultMarker.clear();
        MessageBox box;
        box.text = std::string(messages::UnknownCause);
        box.title = std::string(kNoticeTitle);
        box.icon = MessageIcon::Warning;
        box.buttons = MessageButtons::Ok;
        box.detail = result.failure;
        context_.messages.Show(box);
        QDialog::reject();
        if (context_.endProgram) {
            context_.endProgram(EXIT_FAILURE);
        } else {
            QApplication::closeAllWindows();
            QApplication::exit(EXIT_FAILURE);
        }
        return;
    }
    accept();
}

void ImportDialog::setButtonsEnabled(bool enabled) {
    for (QPushButton* button : cmd_imp_) button->setEnabled(enabled);
}

}  // namespace kalvora::ui
