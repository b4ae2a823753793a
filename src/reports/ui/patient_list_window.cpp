#include "reports/ui/patient_list_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "base/message_service.h"
#include "reports/department_line.h"
#include "ui/app_context.h"
#include "ui/list_font.h"
#include "ui/object_names.h"
#include "ui/status_bar_sink.h"

namespace kalvora::ui {

int PatientTextIndent(const QListWidget& list) {
    // The frame, then the margin the style keeps between an item's edge and its text.
    return list.frameWidth() + list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
}

PatientListWindow::PatientListWindow(AppContext& context, std::string departmentLine, Openers openers,
                                     QWidget* parent, SearchTerms* searchTerms)
    : QDialog(parent),
      context_(context),
      openers_(std::move(openers)),
      departmentLine_(std::move(departmentLine)),
      searchTerms_(searchTerms != nullptr ? searchTerms : &ownSearchTerms_) {
    setObjectName(QStringLiteral("frmPat"));
    setWindowTitle(QStringLiteral(" Intensivbericht - Patientenebene"));
    setModal(true);

    const QFont fixed = FixedPitchListFont();
    lst_patient_ = new QListWidget(this);
    lst_patient_->setObjectName(QStringLiteral("lst_patient"));
    lst_patient_->setFont(fixed);
    lst_patient_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(lst_patient_, &QListWidget::itemDoubleClicked, this,
            [this] { onCommand(PatientListWindow::Next); });
    const int letter = lst_patient_->fontMetrics().horizontalAdvance(QLatin1Char('X'));

    // Column labels over the columns of the patient lines: width in letters. Each label ends where
    // its column ends in the list's own text, measured in the list's font (a letter is rarely a
    // whole number of pixels wide), and the first starts where the list draws its text.
    const struct {
        const char* text;
        int letters;
    } columns[] = {{" &Aufnahmezahl ", 13},        {" Geburtsdatum ", 13}, {" Aufnahmezeitpunkt ", 20},
                   {" Entlassungszeitpunkt ", 20}, {" Typ ", 6},           {" Status", 10}};
    auto* labels = new QHBoxLayout;
    labels->setSpacing(0);
    labels->addSpacing(PatientTextIndent(*lst_patient_));
    const QFontMetricsF metrics(lst_patient_->font());
    int end = 0;
    int drawnTo = 0;
    for (const auto& column : columns) {
        auto* label = new QLabel(QString::fromUtf8(column.text), this);
        label->setObjectName(QStringLiteral("lbl_patient_column"));
        end += column.letters;
        const int columnEnd = qRound(metrics.horizontalAdvance(QString(end, QLatin1Char('X'))));
        label->setFixedWidth(columnEnd - drawnTo);
        drawnTo = columnEnd;
        if (labels->count() == 1) label->setBuddy(lst_patient_);
        labels->addWidget(label);
    }
    labels->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const struct {
        int index;
        const char* caption;
    } commands[] = {{0, "&Weiter"}, {1, "&Suchen"}, {4, "Abbrechen"}};
    for (const auto& command : commands) {
        auto* button = new QPushButton(QString::fromUtf8(command.caption), this);
        button->setObjectName(IndexedName("cmd_patient", command.index));
        button->setAutoDefault(false);
        if (command.index == 0) button->setDefault(true);
        const int index = command.index;
        connect(button, &QPushButton::clicked, this,
                [this, index] { onCommand(static_cast<Command>(index)); });
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(labels);
    layout->addWidget(lst_patient_, 1);
    layout->addLayout(buttons);
    resize(90 * letter, 420);

    loadPatients();
}

void PatientListWindow::loadPatients() {
    departmentStatus_ = CurrentDepartmentStatus(departmentLine_);
    lst_patient_->clear();
    const PatientList list =
        LoadPatientLines(DepartmentDatabasePath(context_.settings.SystemDataPath, departmentLine_));
    for (const std::string& line : list.lines) lst_patient_->addItem(QString::fromStdString(line));
    if (lst_patient_->count() > 0) {
        lst_patient_->setCurrentRow(0);
        lst_patient_->item(0)->setSelected(true);
    }
    StatusBarSink status(context_.statusBar);
    status.setPanel(2, DepartmentHospitalPart(departmentLine_) + " ");
    status.setPanel(3, DepartmentPart(departmentLine_) + " ");
    if (!list.error.empty()) context_.messages.ShowErrorBox(list.error);
}

void PatientListWindow::onCommand(Command command) {
    const int index = command;
    if (index == 0) {
        const QListWidgetItem* item = lst_patient_->currentItem();
        if (item == nullptr) return;
        const std::string line = item->text().toStdString();
        stayKey_ = StayKeyFromPatientLine(line);
        if (PatientStayType(line) == "INT" && openers_.detail) openers_.detail(*this);
    } else if (index == 1) {
        if (openers_.search) openers_.search(*this);
    } else {
        reject();
    }
}

void PatientListWindow::reject() {
    StatusBarSink status(context_.statusBar);
    status.setPanel(2, " ");
    status.setPanel(3, " ");
    QDialog::reject();
}

}  // namespace kalvora::ui
