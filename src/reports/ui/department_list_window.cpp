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
#include "ui/list_lines.h"
#include "ui/object_names.h"
#include "ui/status_bar_sink.h"

namespace kalvora::ui {

namespace {

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

DepartmentListWindow::DepartmentListWindow(AppContext& context, Openers openers, QWidget* parent)
    : QDialog(parent), context_(context), openers_(std::move(openers)) {
    setObjectName(QStringLiteral("frmAbt"));
    setWindowTitle(QStringLiteral(" Intensivbericht - Abteilungsebene"));
    setModal(true);

    lst_abteilung_ = new QListWidget(this);
    lst_abteilung_->setObjectName(QStringLiteral("lst_abteilung"));
    const QFont fixed = FixedPitchListFont();
    lst_abteilung_->setFont(fixed);
    lst_abteilung_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(lst_abteilung_, &QListWidget::itemDoubleClicked, this,
            [this] { onCommand(DepartmentListWindow::Next); });

    // Column labels above the hospital and department columns of the lines.
    const int letter = lst_abteilung_->fontMetrics().horizontalAdvance(QLatin1Char('X'));
    auto* labels = new QHBoxLayout;
    auto* hospitalLabel = new QLabel(QStringLiteral(" &Krankenanstalt "), this);
    hospitalLabel->setObjectName(QStringLiteral("lbl_krankenanstalt"));
    hospitalLabel->setBuddy(lst_abteilung_);
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
    layout->addWidget(lst_abteilung_, 1);
    layout->addLayout(buttons);
    resize(112 * letter, 420);

    // A new visit of the department level starts a fresh search.
    searchTerms_ = SearchTerms{};
    loadDepartments();
}

void DepartmentListWindow::loadDepartments() {
    lst_abteilung_->clear();
    const DepartmentList list = LoadDepartmentLines(context_.settings.SystemDataPath);
    if (!list.error.empty()) {
        context_.messages.ShowErrorBox(list.error);
        return;
    }
    for (const std::string& line : list.lines) lst_abteilung_->addItem(FromStd(line));
    if (lst_abteilung_->count() > 0) {
        lst_abteilung_->setCurrentRow(0);
        lst_abteilung_->item(0)->setSelected(true);
    }
}

std::vector<std::string> DepartmentListWindow::lines() const { return ListLines(lst_abteilung_); }

std::vector<std::string> DepartmentListWindow::selectedLines() const {
    return SelectedListLines(lst_abteilung_);
}

std::string DepartmentListWindow::currentLine() const {
    const QListWidgetItem* item = lst_abteilung_->currentItem();
    if (item == nullptr && lst_abteilung_->count() > 0) item = lst_abteilung_->item(0);
    return item == nullptr ? std::string() : item->text().toStdString();
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
            if (selectedLines().size() > 1) {
                context_.messages.ShowNotice(notices::OnlyOneReport);
                return;
            }
            if (lst_abteilung_->count() > 0 && openers_.patientLevel) openers_.patientLevel(*this);
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
        selectedLines(), context_.settings.SystemDataPath, context_.messages, status);
    if (!result.error.empty()) context_.messages.ShowErrorBox(result.error);
    for (const DepartmentRemoval& removal : result.departments) {
        if (LeavesDepartmentList(removal.outcome)) {
            const QString line = FromStd(removal.line);
            for (int row = 0; row < lst_abteilung_->count(); ++row) {
                if (lst_abteilung_->item(row)->text() == line) {
                    delete lst_abteilung_->takeItem(row);
                    break;
                }
            }
        }
        const std::string message = RemovalMessage(removal);
        if (!message.empty()) context_.messages.ShowErrorBox(message);
    }
    if (result.departments.empty()) return;
    lst_abteilung_->clearSelection();
    if (lst_abteilung_->count() > 0) {
        lst_abteilung_->setCurrentRow(0);
        lst_abteilung_->item(0)->setSelected(true);
    }
    status.setPanel(1, " Bereit");
    status.setPanel(2, "");
    status.setPanel(3, "");
}

}  // namespace kalvora::ui
