#include "reports/ui/department_list_window.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/message_service.h"
#include "reports/department_line.h"
#include "reports/department_removal.h"
#include "ui/app_context.h"
#include "ui/imported_data_notice.h"
#include "ui/list_font.h"
#include "ui/object_names.h"
#include "ui/status_bar_sink.h"

namespace kalvora::ui {

DepartmentListWindow::DepartmentListWindow(AppContext& context, Openers openers, QWidget* parent)
    : QDialog(parent),
      context_(context),
      openers_(std::move(openers)),
      departments_(new QListWidget(this), BuildDepartmentLine) {
    setObjectName(QStringLiteral("frmAbt"));
    setWindowTitle(QStringLiteral(" Intensivbericht - Abteilungsebene"));
    setModal(true);

    QListWidget* list = departments_.widget();
    list->setObjectName(QStringLiteral("lst_abteilung"));
    const QFont fixed = FixedPitchListFont();
    list->setFont(fixed);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(list, &QListWidget::itemDoubleClicked, this, [this] { onCommand(DepartmentListWindow::Next); });

    // Column labels above the hospital and department columns of the lines.
    const int letter = list->fontMetrics().horizontalAdvance(QLatin1Char('X'));
    auto* labels = new QHBoxLayout;
    auto* hospitalLabel = new QLabel(QStringLiteral(" &Krankenanstalt "), this);
    hospitalLabel->setObjectName(QStringLiteral("lbl_krankenanstalt"));
    hospitalLabel->setBuddy(list);
    hospitalLabel->setFixedWidth(29 * letter);
    auto* departmentLabel = new QLabel(QStringLiteral(" Abteilung "), this);
    departmentLabel->setObjectName(QStringLiteral("lbl_abteilung"));
    labels->addWidget(hospitalLabel);
    labels->addWidget(departmentLabel, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const struct {
        int index;
        const char* caption;
    } commands[] = {{0, "&Weiter"}, {1, "&Suchen"}, {3, "E&ntfernen"}, {4, "&Analyse"}, {5, "Abbrechen"}};
    for (const auto& command : commands) {
        auto* button = new QPushButton(QString::fromUtf8(command.caption), this);
        button->setObjectName(IndexedName("cmd_abteilung", command.index));
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
    resize(112 * letter, 420);

    // A new visit of the department level starts a fresh search.
    searchTerms_ = SearchTerms{};
    loadDepartments();
}

void DepartmentListWindow::loadDepartments() {
    departments_.assign({});
    Result<std::vector<Department>> list = LoadDepartments(context_.settings.SystemDataPath);
    if (!list) {
        context_.messages.ShowErrorBox(list.message());
        return;
    }
    departments_.assign(std::move(*list));
    selectFirst();
}

void DepartmentListWindow::selectFirst() {
    QListWidget* list = departments_.widget();
    list->clearSelection();
    if (list->count() > 0) {
        list->setCurrentRow(0);
        list->item(0)->setSelected(true);
    }
}

std::optional<Department> DepartmentListWindow::currentDepartment() const {
    if (departments_.empty()) return std::nullopt;
    return departments_.at(departments_.currentRow().value_or(0));
}

bool DepartmentListWindow::dataImported() { return ConfirmDataImported(context_); }

void DepartmentListWindow::onCommand(Command command) {
    const int index = command;
    if (index == 5) {
        reject();
        return;
    }
    if (!dataImported()) return;
    switch (index) {
        case 0:
            if (departments_.selectedRows().size() > 1) {
                context_.messages.ShowNotice(notices::OnlyOneReport);
                return;
            }
            if (!departments_.empty() && openers_.patientLevel) openers_.patientLevel(*this);
            break;
        case 1:
            if (openers_.search) openers_.search(*this);
            break;
        case 3:
            removeDepartments();
            break;
        case 4:
            if (openers_.analysis) openers_.analysis(*this);
            break;
        default:
            break;
    }
}

void DepartmentListWindow::removeDepartments() {
    StatusBarSink status(context_.statusBar);
    const RemovalResult result = ConfirmAndRemoveDepartments(
        selectedDepartments(), context_.settings.SystemDataPath, context_.messages, status);
    if (result.failed()) context_.messages.ShowErrorBox(result.failure);
    for (const DepartmentRemoval& removal : result.departments) {
        if (LeavesDepartmentList(removal.outcome)) {
            const std::vector<Department>& listed = departments_.values();
            for (int row = 0; row < departments_.count(); ++row) {
                if (listed[static_cast<std::size_t>(row)].fileName() == removal.department.fileName()) {
                    departments_.remove(row);
                    break;
                }
            }
        }
        const std::string message = RemovalMessage(removal);
        if (!message.empty()) context_.messages.ShowErrorBox(message);
    }
    if (result.departments.empty()) return;
    selectFirst();
    status.setPanel(1, " Bereit");
    status.setPanel(2, "");
    status.setPanel(3, "");
}

}  // namespace kalvora::ui
