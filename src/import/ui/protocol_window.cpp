#include "import/ui/protocol_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>

#include "ui/list_font.h"
#include "ui/object_names.h"

namespace kalvora::ui {

namespace {

constexpr int kFindingRole = Qt::UserRole + 1;
const QString kAll = QStringLiteral("(alle)");

QString Text(const std::string& text) { return QString::fromStdString(text); }

// The combo box's choice; empty for "(alle)".
std::string Chosen(const QComboBox* box) {
    return box->currentIndex() <= 0 ? std::string() : box->currentText().toStdString();
}

QComboBox* ChoiceBox(const char* name, const std::set<std::string>& values, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItem(kAll);
    for (const std::string& value : values) box->addItem(Text(value));
    return box;
}

// A cell that sorts as a number.
QTableWidgetItem* CountItem(long count) {
    auto* item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, static_cast<qlonglong>(count));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

}  // namespace

std::string ProtocolWindow::RowLine(const ProtocolRow& row) {
    return row.file + "  " + row.hospital + " " + row.department + "  " + row.recordType + "  " + row.kisId +
           " " + row.birthDate + " " + row.admission + "  " + row.type + "  " + row.parameter + ": " +
           row.comment;
}

ProtocolWindow::ProtocolWindow(std::string path, std::vector<ProtocolRow> rows, StayOpener openStay,
                               QWidget* parent)
    : QDialog(parent),
      path_(std::move(path)),
      rows_(std::move(rows)),
      openStay_(std::move(openStay)),
      rowList_(new QListWidget, &ProtocolWindow::RowLine) {
    setObjectName(QStringLiteral("frmProt"));
    setWindowTitle(QStringLiteral(" Datei - Protokoll"));
    setModal(true);

    std::set<std::string> parameters;
    std::set<std::string> files;
    for (const ProtocolRow& row : rows_) {
        parameters.insert(row.parameter);
        files.insert(row.file);
    }
    auto* choices = new QHBoxLayout;
    auto* form = new QFormLayout;
    cmb_typ_ = ChoiceBox("cmb_typ", {"Error", "Warning"}, this);
    cmb_parameter_ = ChoiceBox("cmb_parameter", parameters, this);
    cmb_datei_ = ChoiceBox("cmb_datei", files, this);
    txt_aufnahmezahl_ = new QLineEdit(this);
    txt_aufnahmezahl_->setObjectName(QStringLiteral("txt_aufnahmezahl"));
    txt_aufnahmezahl_->setPlaceholderText(QStringLiteral("Teil der KH-Aufnahmezahl"));
    txt_aufnahmezahl_->setClearButtonEnabled(true);
    auto* left = new QFormLayout;
    left->addRow(QStringLiteral("&Typ:"), cmb_typ_);
    left->addRow(QStringLiteral("&Parameter:"), cmb_parameter_);
    form->addRow(QStringLiteral("&Datei:"), cmb_datei_);
    form->addRow(QStringLiteral("&KH-Aufnahmezahl:"), txt_aufnahmezahl_);
    choices->addLayout(left, 1);
    choices->addLayout(form, 1);
    for (QComboBox* box : {cmb_typ_, cmb_parameter_, cmb_datei_})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(txt_aufnahmezahl_, &QLineEdit::textChanged, this, [this] { refresh(); });

    auto* overview = new QGroupBox(QStringLiteral("Befunde"), this);
    grd_befund_ = new QTableWidget(overview);
    grd_befund_->setObjectName(QStringLiteral("grd_befund"));
    grd_befund_->setColumnCount(static_cast<int>(FindingHeaders().size()));
    QStringList headers;
    for (const std::string& header : FindingHeaders()) headers << Text(header);
    grd_befund_->setHorizontalHeaderLabels(headers);
    grd_befund_->verticalHeader()->hide();
    grd_befund_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grd_befund_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grd_befund_->setSelectionMode(QAbstractItemView::SingleSelection);
    grd_befund_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grd_befund_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    grd_befund_->setSortingEnabled(true);
    connect(grd_befund_, &QTableWidget::itemSelectionChanged, this, [this] { showRowsOfChosenFinding(); });
    (new QVBoxLayout(overview))->addWidget(grd_befund_);

    auto* rowsFrame = new QGroupBox(QStringLiteral("Zeilen des gewählten Befunds"), this);
    QListWidget* list = rowList_.widget();
    list->setParent(rowsFrame);
    list->setObjectName(QStringLiteral("lst_zeilen"));
    list->setFont(FixedPitchListFont());
    connect(list, &QListWidget::itemDoubleClicked, this,
            [this, list](QListWidgetItem* item) { openRow(list->row(item)); });
    lbl_zeilen_ = new QLabel(rowsFrame);
    lbl_zeilen_->setObjectName(QStringLiteral("lbl_zeilen"));
    auto* rowsLayout = new QVBoxLayout(rowsFrame);
    rowsLayout->addWidget(list);
    rowsLayout->addWidget(lbl_zeilen_);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(overview);
    splitter->addWidget(rowsFrame);

    auto* buttons = new QHBoxLayout;
    auto* file = new QLabel(QStringLiteral("Protokolldatei: ") + Text(path_), this);
    file->setObjectName(QStringLiteral("lbl_datei"));
    buttons->addWidget(file, 1);
    auto* copy = new QPushButton(QStringLiteral("&Kopieren"), this);
    copy->setObjectName(IndexedName("cmd_prot", 1));
    copy->setAutoDefault(false);
    connect(copy, &QPushButton::clicked, this, [this] { onCommand(Copy); });
    buttons->addWidget(copy);
    auto* close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setObjectName(IndexedName("cmd_prot", 0));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, [this] { onCommand(Close); });
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    refresh();
    resize(1000, 640);
}

ProtocolFilter ProtocolWindow::filter() const {
    return {Chosen(cmb_typ_), Chosen(cmb_parameter_), Chosen(cmb_datei_),
            txt_aufnahmezahl_->text().toStdString()};
}

void ProtocolWindow::refresh() {
    findings_ = SummariseProtocol(FilterProtocolRows(rows_, filter()));
    // Sorting stays off while the rows are filled, or each cell would move as it is set.
    grd_befund_->setSortingEnabled(false);
    grd_befund_->clearContents();
    grd_befund_->setRowCount(static_cast<int>(findings_.size()));
    for (int row = 0; row < static_cast<int>(findings_.size()); ++row) {
        const ProtocolFinding& finding = findings_[static_cast<std::size_t>(row)];
        auto* type = new QTableWidgetItem(Text(finding.type));
        type->setData(kFindingRole, row);
        grd_befund_->setItem(row, 0, type);
        grd_befund_->setItem(row, 1, new QTableWidgetItem(Text(finding.parameter)));
        grd_befund_->setItem(row, 2, new QTableWidgetItem(Text(finding.comment)));
        grd_befund_->setItem(row, 3, CountItem(finding.rows));
        grd_befund_->setItem(row, 4, CountItem(finding.stays));
    }
    grd_befund_->setSortingEnabled(true);
    grd_befund_->resizeColumnToContents(0);
    grd_befund_->resizeColumnToContents(1);
    if (!findings_.empty()) grd_befund_->selectRow(0);
    showRowsOfChosenFinding();
}

std::vector<ProtocolFinding> ProtocolWindow::shownFindings() const {
    std::vector<ProtocolFinding> shown;
    for (int row = 0; row < grd_befund_->rowCount(); ++row) {
        const int index = grd_befund_->item(row, 0)->data(kFindingRole).toInt();
        shown.push_back(findings_[static_cast<std::size_t>(index)]);
    }
    return shown;
}

void ProtocolWindow::showRowsOfChosenFinding() {
    std::vector<ProtocolRow> chosen;
    const QList<QTableWidgetItem*> selected = grd_befund_->selectedItems();
    if (!selected.isEmpty()) {
        const int row = selected.front()->row();
        const int index = grd_befund_->item(row, 0)->data(kFindingRole).toInt();
        const ProtocolFinding& finding = findings_[static_cast<std::size_t>(index)];
        const ProtocolFilter narrowed = filter();
        for (const ProtocolRow& candidate : rows_) {
            if (narrowed.matches(candidate) && finding.covers(candidate)) chosen.push_back(candidate);
        }
    }
    const std::size_t count = chosen.size();
    rowList_.assign(std::move(chosen));
    lbl_zeilen_->setText(
        QStringLiteral("%1 Zeilen; Doppelklick auf eine Zeile zeigt den gespeicherten Aufenthalt.")
            .arg(count));
}

void ProtocolWindow::openRow(int row) {
    if (row < 0 || row >= rowList_.count() || !openStay_) return;
    openStay_(rowList_.at(row), this);
}

void ProtocolWindow::onCommand(Command command) {
    switch (command) {
        case Close:
            reject();
            break;
        case Copy:
            QApplication::clipboard()->setText(
                QString::fromStdString(FindingsClipboardText(shownFindings())));
            break;
    }
}

}  // namespace kalvora::ui
