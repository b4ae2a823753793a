#include "export/ui/export_window.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "base/message_service.h"
#include "export/export_file_name.h"
#include "export/total_export.h"
#include "reports/department_line.h"
#include "ui/app_context.h"
#include "ui/busy_pointer.h"
#include "ui/list_font.h"
#include "ui/object_names.h"
#include "ui/options_dialog.h"
#include "ui/status_bar_sink.h"

namespace kalvora::ui {

ExportWindow::ExportWindow(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("frmExp"));
    setWindowTitle(QStringLiteral(" Export"));
    setModal(true);

    const QFont fixed = FixedPitchListFont();

    auto* listFrame = new QGroupBox(this);
    listFrame->setObjectName(QStringLiteral("Frame1"));
    lst_abteilung_ = new QListWidget(listFrame);
    lst_abteilung_->setObjectName(QStringLiteral("lst_abteilung"));
    departments_ = std::make_unique<ValueList<Department>>(
        lst_abteilung_, [](const Department& department) { return ExportListLine(department); });
    lst_abteilung_->setFont(fixed);
    lst_abteilung_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const int letter = lst_abteilung_->fontMetrics().horizontalAdvance(QLatin1Char('X'));
    auto* labels = new QHBoxLayout;
    auto* hospitalLabel = new QLabel(QStringLiteral(" &Krankenanstalt "), listFrame);
    hospitalLabel->setObjectName(QStringLiteral("lbl_krankenanstalt"));
    hospitalLabel->setBuddy(lst_abteilung_);
    hospitalLabel->setFixedWidth(29 * letter);
    auto* departmentLabel = new QLabel(QStringLiteral(" Abteilung "), listFrame);
    departmentLabel->setObjectName(QStringLiteral("lbl_abteilung"));
    labels->addWidget(hospitalLabel);
    labels->addWidget(departmentLabel, 1);
    auto* listLayout = new QVBoxLayout(listFrame);
    listLayout->addLayout(labels);
    listLayout->addWidget(lst_abteilung_, 1);

    auto* directoryFrame = new QGroupBox(QStringLiteral("Ausgabeverzeichnis"), this);
    lbl_export_ = new QLabel(directoryFrame);
    lbl_export_->setObjectName(QStringLiteral("lbl_export"));
    lbl_export_->setFrameShape(QFrame::StyledPanel);
    lbl_export_->installEventFilter(this);
    (new QVBoxLayout(directoryFrame))->addWidget(lbl_export_);

    auto* fileFrame = new QGroupBox(QStringLiteral("Ausgabedatei"), this);
    output_file_ = new QLineEdit(QStringLiteral("gesamt.mdb"), fileFrame);
    output_file_->setObjectName(QStringLiteral("output_file"));
    output_file_->installEventFilter(this);
    (new QVBoxLayout(fileFrame))->addWidget(output_file_);

    auto* lower = new QHBoxLayout;
    lower->addWidget(directoryFrame, 3);
    lower->addWidget(fileFrame, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const char* captions[] = {"&Export", "Beenden"};
    for (int index = 0; index < 2; ++index) {
        auto* button = new QPushButton(QString::fromUtf8(captions[index]), this);
        button->setObjectName(IndexedName("cmd_export", index));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this,
                [this, index] { onCommand(static_cast<Command>(index)); });
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listFrame, 1);
    layout->addLayout(lower);
    layout->addLayout(buttons);
    resize(104 * letter, 460);

    loadDepartments();
}

void ExportWindow::loadDepartments() {
    BusyPointer busy;
    StatusBarSink status(context_.statusBar);
    status.setPanel(1, " Intensivberichte vorbereiten...");
    Result<std::vector<Department>> list = LoadDepartments(context_.settings.SystemDataPath);
    departments_->assign(list ? std::move(*list) : std::vector<Department>());
    if (lst_abteilung_->count() > 0) {
        lst_abteilung_->setCurrentRow(0);
        lst_abteilung_->item(0)->setSelected(true);
    }
    lbl_export_->setText(QString::fromStdString(context_.settings.ExportDataPath));
    status.setPanel(1, "");
    if (!list) context_.messages.ShowErrorBox(list.message());
}

bool ExportWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lbl_export_ && event->type() == QEvent::MouseButtonDblClick) {
        editExportDirectory();
        return true;
    }
    if (watched == output_file_ && event->type() == QEvent::FocusIn) {
        // Selected after the focus change has finished, so that the click does not undo it.
        QTimer::singleShot(0, output_file_, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

void ExportWindow::editExportDirectory() {
    // The options dialog opens over this window: hiding it inside its exec() would end it.
    {
        OptionsDialog options(context_, this);
        options.exec();
    }
    lbl_export_->setText(QString::fromStdString(context_.settings.ExportDataPath));
}

void ExportWindow::onCommand(Command command) {
    const int index = command;
    if (index == 0) {
        exportDepartments();
    } else {
        reject();
    }
}

void ExportWindow::exportDepartments() {
    const std::string outputName = output_file_->text().toStdString();
    // A name the export refuses is a notice, and the field keeps the focus for another.
    if (!IsValidExportFileName(outputName)) {
        context_.messages.ShowNotice(notices::InvalidFileName);
        output_file_->setFocus();
        return;
    }
    const ExportRequest request{selectedDepartments(), outputName, context_.settings.SystemDataPath,
                                context_.settings.ExportDataPath};
    const Result<ExportDone> result = [&] {
        BusyPointer busy;
        StatusBarSink status(context_.statusBar);
        return ExportTotalDatabase(request, status);
    }();
    if (!result) {
        context_.messages.ShowErrorBox(result.message());
        return;
    }
    QApplication::beep();
    context_.messages.Show(MessageBox{ExportSuccessText(result->refusedRows), std::string(kNoticeTitle),
                                      MessageIcon::Warning, MessageButtons::Ok, ""});
}

}  // namespace kalvora::ui
