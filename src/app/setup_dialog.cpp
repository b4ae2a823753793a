#include "app/setup_dialog.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "base/message_service.h"
#include "base/settings.h"
#include "store/system_setup.h"
#include "ui/app_context.h"
#include "ui/busy_pointer.h"
#include "ui/object_names.h"

namespace kalvora::ui {

namespace {

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

// "~" and "~/…" as the shell reads them, so that a typed "~/Kalvora" means the home folder.
QString ExpandedPath(const QString& typed) {
    const QString path = typed.trimmed();
    if (path == QLatin1String("~")) return QDir::homePath();
    if (path.startsWith(QLatin1String("~/"))) return QDir::homePath() + path.mid(1);
    return path;
}

std::string SettingsFilePath(AppContext& context) {
    return AbsolutePath(context.settingsFile.lookupTarget());
}

Answer Ask(AppContext& context, const std::string& text) {
    return context.messages.Show(
        {text, std::string(kNoticeTitle), MessageIcon::Warning, MessageButtons::YesNo, {}});
}

void Tell(AppContext& context, const std::string& text, MessageIcon icon = MessageIcon::Warning) {
    context.messages.Show({text, std::string(kNoticeTitle), icon, MessageButtons::Ok, {}});
}

}  // namespace

SetupDialog::SetupDialog(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("frmEinrichtung"));
    setWindowTitle(QStringLiteral(" Kalvora - Einrichtung"));
    setModal(true);

    const QString settingsPath = QString::fromStdString(SettingsFilePath(context_));
    auto* intro = new QLabel(
        QStringLiteral("<p><b>Kalvora ist noch nicht eingerichtet.</b></p>"
                       "<p>Es gibt noch kein Systemdatenverzeichnis. Darin liegen die Verwaltungsdatenbank "
                       "iadmin.mdb, die Vorlage ibds.mdb und eine Datenbank je Abteilung, dazu das "
                       "Importverzeichnis (Unterordner import) und das Export- und Protokollverzeichnis "
                       "(Unterordner export).</p>"
                       "<p>Die Einstellungen werden in %1 gespeichert.</p>")
            .arg(settingsPath.toHtmlEscaped()),
        this);
    intro->setObjectName(QStringLiteral("lbl_hinweis"));
    intro->setWordWrap(true);
    intro->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto addPathRow = [this](QFormLayout* form, const QString& label, const char* name, int chooser) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(name));
        auto* choose = new QPushButton(QStringLiteral("Auswählen ..."), this);
        choose->setObjectName(IndexedName("cmd_auswahl", chooser));
        connect(choose, &QPushButton::clicked, this, [this, chooser] { this->choose(chooser); });
        auto* row = new QHBoxLayout;
        row->addWidget(field, 1);
        row->addWidget(choose);
        // A label of its own, so that its access key leads into the field.
        auto* caption = new QLabel(label, this);
        caption->setBuddy(field);
        form->addRow(caption, row);
        return field;
    };

    auto* folder = new QGroupBox(QStringLiteral("Systemdatenverzeichnis"), this);
    folder->setObjectName(QStringLiteral("fra_verzeichnis"));
    auto* folderForm = new QFormLayout(folder);
    txt_verzeichnis_ = addPathRow(folderForm, QStringLiteral("&Verzeichnis:"), "txt_verzeichnis", 0);
    txt_verzeichnis_->setText(DefaultDirectory());

    auto* lists =
        new QGroupBox(QStringLiteral("Namenslisten (leer lassen: die mitgelieferten Beispiellisten)"), this);
    lists->setObjectName(QStringLiteral("fra_listen"));
    auto* listsForm = new QFormLayout(lists);
    txt_krankenanstalten_ =
        addPathRow(listsForm, QStringLiteral("&Krankenanstalten:"), "txt_krankenanstalten", 1);
    txt_abteilungen_ = addPathRow(listsForm, QStringLiteral("&Abteilungsfunktionen:"), "txt_abteilungen", 2);
    auto* listsNote = new QLabel(
        QStringLiteral("Je Zeile „Code;Bezeichnung“: Krankenanstalten mit 4 Zeichen, Abteilungsfunktionen "
                       "mit 6 Zeichen."),
        lists);
    listsNote->setWordWrap(true);
    listsForm->addRow(listsNote);

    auto* setUpButton = new QPushButton(QStringLiteral("&Einrichten"), this);
    setUpButton->setObjectName(IndexedName("cmd_einrichtung", SetUp));
    setUpButton->setDefault(true);
    connect(setUpButton, &QPushButton::clicked, this, [this] { onCommand(SetUp); });
    auto* notNowButton = new QPushButton(QStringLiteral("&Nicht jetzt"), this);
    notNowButton->setObjectName(IndexedName("cmd_einrichtung", NotNow));
    connect(notNowButton, &QPushButton::clicked, this, [this] { onCommand(NotNow); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(setUpButton);
    buttons->addWidget(notNowButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(folder);
    layout->addWidget(lists);
    layout->addStretch(1);
    layout->addLayout(buttons);
    setMinimumWidth(620);
}

QString SetupDialog::DefaultDirectory() { return QDir::homePath() + QStringLiteral("/Kalvora"); }

void SetupDialog::onCommand(Command command) {
    if (command == NotNow) {
        reject();
        return;
    }
    if (setUp()) accept();
}

void SetupDialog::choose(int which) {
    QString chosen;
    if (which == 0) {
        chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("Systemdatenverzeichnis wählen"),
                                                   QDir::homePath());
        if (!chosen.isEmpty()) txt_verzeichnis_->setText(chosen);
        return;
    }
    chosen = QFileDialog::getOpenFileName(this, QStringLiteral("Namensliste wählen"), QDir::homePath(),
                                          QStringLiteral("Listen (*.csv *.txt);;Alle Dateien (*)"));
    if (chosen.isEmpty()) return;
    (which == 1 ? txt_krankenanstalten_ : txt_abteilungen_)->setText(chosen);
}

bool SetupDialog::setUp() {
    const QString typed = ExpandedPath(txt_verzeichnis_->text());
    if (typed.isEmpty()) {
        Tell(context_, " Bitte geben Sie das Systemdatenverzeichnis an.");
        txt_verzeichnis_->setFocus();
        return false;
    }
    const std::string directory = AbsolutePath(QDir::cleanPath(typed).toStdString());

    SystemSetupRequest request =
        NewSystemSetupRequest(directory, SettingsFilePath(context_), QDate::currentDate().year());
    request.directory.hospitalsCsv = ExpandedPath(txt_krankenanstalten_->text()).toStdString();
    request.directory.departmentsCsv = ExpandedPath(txt_abteilungen_->text()).toStdString();
    if (HoldsSystemData(directory)) {
        const std::string question =
            " Im Verzeichnis " + directory +
            " besteht bereits ein Systemdatenverzeichnis (iadmin.mdb oder ibds.mdb). Soll Kalvora es "
            "übernehmen? Die Abteilungen und ihre Daten bleiben erhalten; angegebene Namenslisten ersetzen "
            "nur die Namen.";
        if (Ask(context_, question) != Answer::Yes) return false;
        request.directory.force = true;
    }

    const Outcome done = [&] {
        BusyPointer busy;
        return SetUpSystem(request);
    }();
    if (!done) {
        Tell(context_, done.message(), MessageIcon::Error);
        return false;
    }
    context_.settings = LoadSettings(context_.settingsFile);
    Tell(context_, " Das Systemdatenverzeichnis " + directory +
                       " ist eingerichtet. Lieferungen für den Import gehören in das Verzeichnis " +
                       request.importDirectory + ".");
    return true;
}

std::string MissingSystemDataPathText(const std::string& settingsPath) {
    return " Es ist noch kein Systemdatenverzeichnis eingerichtet: die Einstellungsdatei " + settingsPath +
           " nennt keines (SystemDataPath). Kalvora bietet die Einrichtung beim nächsten Start an; auf der "
           "Kommandozeile richtet „kalvora-cli setup VERZEICHNIS“ es ein.";
}

}  // namespace kalvora::ui
