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

PatientListWindow::PatientListWindow(AppContext& context, Department department, Openers openers,
                                     QWidget* parent, SearchTerms* searchTerms)
    : QDialog(parent),
      context_(context),
      openers_(std::move(openers)),
      department_(std::move(department)),
      searchTerms_(searchTerms != nullptr ? searchTerms : &ownSearchTerms_),
      stays_(new QListWidget(this), BuildPatientLine) {
    setObjectName(QStringLiteral("frmPat"));
    setWindowTitle(QStringLiteral(" Intensivbericht - Patientenebene"));
    setModal(true);

    const QFont fixed = FixedPitchListFont();
    QListWidget* list = stays_.widget();
    list->setObjectName(QStringLiteral("lst_patient"));
    list->setFont(fixed);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(list, &QListWidget::itemDoubleClicked, this, [this] { onCommand(PatientListWindow::Next); });
    const int letter = list->fontMetrics().horizontalAdvance(QLatin1Char('X'));

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
    labels->addSpacing(PatientTextIndent(*list));
    const QFontMetricsF metrics(list->font());
    int end = 0;
    int drawnTo = 0;
    for (const auto& column : columns) {
        auto* label = new QLabel(QString::fromUtf8(column.text), this);
        label->setObjectName(QStringLiteral("lbl_patient_column"));
        end += column.letters;
        const int columnEnd = qRound(metrics.horizontalAdvance(QString(end, QLatin1Char('X'))));
        label->setFixedWidth(columnEnd - drawnTo);
        drawnTo = columnEnd;
        if (labels->count() == 1) label->setBuddy(list);
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
    layout->addWidget(list, 1);
    layout->addLayout(buttons);
    resize(90 * letter, 420);

    loadPatients();
}

void PatientListWindow::loadPatients() {
    departmentStatus_ = CurrentDepartmentStatus(department_);
    Result<std::vector<StayOverview>> stays =
        LoadPatientStays(DepartmentDatabasePath(context_.settings.SystemDataPath, department_));
    stays_.assign(stays ? std::move(*stays) : std::vector<StayOverview>());
    QListWidget* list = stays_.widget();
    if (list->count() > 0) {
        list->setCurrentRow(0);
        list->item(0)->setSelected(true);
    }
    StatusBarSink status(context_.statusBar);
    status.setPanel(2, DepartmentHospitalPart(department_) + " ");
    status.setPanel(3, DepartmentPart(department_) + " ");
    if (!stays) context_.messages.ShowErrorBox(stays.message());
}

void PatientListWindow::onCommand(Command command) {
    const int index = command;
    if (index == 0) {
        const std::optional<int> row = stays_.currentRow();
        if (!row) return;
        const StayOverview& stay = stays_.at(*row);
        stayKey_ = stay.key;
        if (PatientStayType(stay) == "INT" && openers_.detail) openers_.detail(*this);
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
