#include "reports/ui/stay_detail_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>

#include "base/conversions.h"
#include "base/message_service.h"
#include "reports/department_line.h"
#include "reports/ui/pair_bracket.h"
#include "store/stored_data_messages.h"
#include "ui/app_context.h"
#include "ui/list_font.h"
#include "ui/object_names.h"
#include "ui/origin_colours.h"

namespace kalvora::ui {

namespace {

// The two columns of the page "&TISS-28", top to bottom, by the check boxes of the items.
constexpr std::array<std::string_view, 14> kLeftColumn = {
    "chk_t28_lung",    "chk_t28_supp_vent", "chk_t28_mech_vent", "chk_t28_met_supp",   "chk_t28_diag_ex_icu",
    "chk_t28_act_diu", "chk_t28_drain",     "chk_t28_nut_ent",   "chk_t28_nut_parent", "chk_t28_l_fluid",
    "chk_t28_urinary", "chk_t28_icp",       "chk_t28_s_int",     "chk_t28_m_int"};
constexpr std::array<std::string_view, 14> kRightColumn = {
    "chk_t28_cpr",     "chk_t28_art",       "chk_t28_cvl",      "chk_t28_lab",    "chk_t28_s_med",
    "chk_t28_m_med",   "chk_t28_s_vasodr",  "chk_t28_m_vasodr", "chk_t28_renal",  "chk_t28_pcl",
    "chk_t28_r_dress", "chk_t28_stand_mon", "chk_t28_tubus",    "chk_t28_f_dress"};

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

// A stored date in display form; empty when nothing is stored.
QString DisplayDate(const std::string& stored, int length) {
    return IsBlank(stored) ? QString() : QString::fromStdString(FormatDateCode(stored, length));
}

std::size_t ItemIndex(std::string_view checkBoxName) {
    const auto& items = TissItems();
    for (std::size_t index = 0; index < items.size(); ++index) {
        if (items[index].checkBoxName == checkBoxName) return index;
    }
    return items.size();
}

QLabel* Display(QWidget* parent, const char* name, int letters) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(letters * label->fontMetrics().horizontalAdvance(QLatin1Char('X')));
    return label;
}

}  // namespace

StayDetailWindow::StayDetailWindow(AppContext& context, Department department, std::string departmentStatus,
                                   const StayKey& key, QWidget* parent)
    : QDialog(parent),
      context_(context),
      department_(std::move(department)),
      departmentStatus_(std::move(departmentStatus)) {
    setObjectName(QStringLiteral("frmInt"));
    setWindowTitle(QStringLiteral(" Intensivbericht - Detailansicht"));
    setModal(true);

    tab_int_ = new QTabWidget(this);
    tab_int_->setObjectName(QStringLiteral("tab_int"));
    tab_int_->addTab(buildBaseDataPage(), QStringLiteral("&Basisdaten"));
    tab_int_->addTab(buildTissPage(), QStringLiteral("&TISS-28"));

    fra_erhebung_ = new QGroupBox(QStringLiteral("&Erhebungstag"), this);
    fra_erhebung_->setObjectName(QStringLiteral("fra_erhebung"));
    lst_erhebung_tiss_ = new QListWidget(fra_erhebung_);
    lst_erhebung_tiss_->setObjectName(QStringLiteral("lst_erhebung_tiss"));
    lst_erhebung_tiss_->setSelectionMode(QAbstractItemView::SingleSelection);
    const int letter = fontMetrics().horizontalAdvance(QLatin1Char('X'));
    lst_erhebung_tiss_->setFixedWidth(14 * letter);
    auto* surveyLayout = new QVBoxLayout(fra_erhebung_);
    surveyLayout->addWidget(lst_erhebung_tiss_);
    // The frame keeps its room while the page "&Basisdaten" hides it, so the pages do not jump.
    QSizePolicy keepRoom = fra_erhebung_->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    fra_erhebung_->setSizePolicy(keepRoom);

    lbl_int_hinweis_ = new QLabel(this);
    lbl_int_hinweis_->setObjectName(QStringLiteral("lbl_int_hinweis"));
    lbl_int_hinweis_->setWordWrap(true);

    auto* close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setObjectName(IndexedName("cmd_int", 0));
    close->setAutoDefault(false);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, [this] { onCommand(StayDetailWindow::Close); });

    auto* top = new QHBoxLayout;
    top->addWidget(tab_int_, 1);
    top->addWidget(fra_erhebung_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lbl_int_hinweis_, 1);
    buttons->addWidget(close, 0, Qt::AlignRight | Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    connect(lst_erhebung_tiss_, &QListWidget::currentRowChanged, this,
            [this](int row) { showSurveyDay(row); });
    connect(tab_int_, &QTabWidget::currentChanged, this, [this](int page) { onPageChanged(page); });

    // Nothing on the pages reacts to the user until a page is chosen, and then only for data that
    // did not come from the import.
    for (QFrame* frame : fra_tab_) frame->setEnabled(false);

    Result<StayDetail> detail =
        LoadStayDetail(DepartmentDatabasePath(context_.settings.SystemDataPath, department_), key);
    if (!detail) {
        context_.messages.ShowErrorBox(detail.message());
        return;
    }
    detail_ = std::move(*detail);
    showBaseData();
    for (const SurveyDay& day : detail_->surveyDays)
        lst_erhebung_tiss_->addItem(QString::fromStdString(FormatDateCode(day.recordDate, 8)));
    if (lst_erhebung_tiss_->count() > 0) {
        lst_erhebung_tiss_->setCurrentRow(0);
    } else {
        showSurveyDay(-1);
    }
    fra_erhebung_->hide();

    QStringList notes;
    if (!detail_->hasRecordType1) notes << Text(stored_data_messages::NoRecordType1);
    if (detail_->surveyDays.empty()) notes << Text(stored_data_messages::NoSurveyDays);
    lbl_int_hinweis_->setText(notes.join(QLatin1Char(' ')));
    lbl_int_hinweis_->setVisible(!notes.isEmpty());
}

QWidget* StayDetailWindow::buildBaseDataPage() {
    auto* page = new QWidget;
    fra_tab_[0] = new QFrame(page);
    fra_tab_[0]->setObjectName(IndexedName("fra_tab", 0));
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(fra_tab_[0]);
    QWidget* frame = fra_tab_[0];

    auto* place = new QGroupBox(QStringLiteral("Krankenanstalt / Abteilung"), frame);
    lbl_int_ka_id_ = Display(place, "lbl_int_ka_id", 28);
    lbl_int_icu_fun_id_ = Display(place, "lbl_int_icu_fun_id", 44);
    for (QLabel* label : {lbl_int_ka_id_, lbl_int_icu_fun_id_}) label->setFont(FixedPitchListFont());
    auto* placeLayout = new QVBoxLayout(place);
    placeLayout->addWidget(lbl_int_ka_id_);
    placeLayout->addWidget(lbl_int_icu_fun_id_);

    auto* admission = new QGroupBox(QStringLiteral("Aufnahmedaten"), frame);
    lbl_int_kis_id_ = Display(admission, "lbl_int_kis_id", 14);
    lbl_int_dob_ = Display(admission, "lbl_int_dob", 14);
    lbl_int_adm_date_ = Display(admission, "lbl_int_adm_date", 18);
    auto* admissionLayout = new QFormLayout(admission);
    admissionLayout->addRow(QStringLiteral("Aufnahmezahl"), lbl_int_kis_id_);
    admissionLayout->addRow(QStringLiteral("Geburtsdatum"), lbl_int_dob_);
    admissionLayout->addRow(QStringLiteral("Aufnahmezeitpunkt"), lbl_int_adm_date_);

    const auto addCombo = [](QWidget* parent, const char* name, auto entries) {
        auto* combo = new QComboBox(parent);
        combo->setObjectName(QLatin1String(name));
        for (std::string_view entry : entries) combo->addItem(Text(entry));
        combo->setCurrentIndex(0);
        return combo;
    };
    auto* unit = new QGroupBox(QStringLiteral("Entlassung - Abteilung"), frame);
    txt_int_dis_date_ = new QLineEdit(unit);
    txt_int_dis_date_->setObjectName(QStringLiteral("txt_int_dis_date"));
    cmb_int_icu_outcome_ = addCombo(unit, "cmb_int_icu_outcome", kIcuOutcomeEntries);
    auto* unitLayout = new QFormLayout(unit);
    unitLayout->addRow(QStringLiteral("Zeitpunkt"), txt_int_dis_date_);
    unitLayout->addRow(QStringLiteral("Zustand"), cmb_int_icu_outcome_);

    auto* hospital = new QGroupBox(QStringLiteral("Entlassung - Krankenanstalt"), frame);
    txt_int_hosp_dis_date_ = new QLineEdit(hospital);
    txt_int_hosp_dis_date_->setObjectName(QStringLiteral("txt_int_hosp_dis_date"));
    cmb_int_hosp_mort_ = addCombo(hospital, "cmb_int_hosp_mort", kHospitalStatusEntries);
    auto* hospitalLayout = new QFormLayout(hospital);
    hospitalLayout->addRow(QStringLiteral("Datum"), txt_int_hosp_dis_date_);
    hospitalLayout->addRow(QStringLiteral("Zustand"), cmb_int_hosp_mort_);

    auto* layout = new QGridLayout(frame);
    layout->addWidget(place, 0, 0, 1, 2);
    layout->addWidget(admission, 1, 0, 1, 2);
    layout->addWidget(unit, 2, 0);
    layout->addWidget(hospital, 2, 1);
    layout->setRowStretch(3, 1);
    return page;
}

QWidget* StayDetailWindow::buildTissPage() {
    auto* page = new QWidget;
    fra_tab_[1] = new QFrame(page);
    fra_tab_[1]->setObjectName(IndexedName("fra_tab", 1));
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(fra_tab_[1]);
    QWidget* frame = fra_tab_[1];

    const auto& items = TissItems();
    auto* grid = new QGridLayout;
    constexpr int kRowSpacing = 4;
    grid->setVerticalSpacing(kRowSpacing);
    const int letter = frame->fontMetrics().horizontalAdvance(QLatin1Char('X'));
    int bracketNumber = 0;
    // Label, bracket and check box of each column; a bracket joins two neighbouring items of a column
    // that exclude each other.
    const auto addColumn = [&](const std::array<std::string_view, 14>& column, int firstGridColumn) {
        for (std::size_t row = 0; row < column.size(); ++row) {
            const std::size_t index = ItemIndex(column[row]);
            const TissItem& item = items[index];
            auto* label = new QLabel(Text(item.caption), frame);
            auto* box = new QCheckBox(frame);
            box->setObjectName(Text(item.checkBoxName));
            label->setBuddy(box);
            itemBoxes_[index] = box;
            const int gridRow = static_cast<int>(row);
            grid->addWidget(label, gridRow, firstGridColumn);
            grid->addWidget(box, gridRow, firstGridColumn + 2);
            if (row + 1 < column.size() && item.exclusiveWith == items[ItemIndex(column[row + 1])].number) {
                auto* bracket = new PairBracket(kRowSpacing, frame);
                bracket->setObjectName(QStringLiteral("brk_t28_%1").arg(bracketNumber++));
                grid->addWidget(bracket, gridRow, firstGridColumn + 1, 2, 1);
            }
        }
    };
    addColumn(kLeftColumn, 0);
    addColumn(kRightColumn, 4);
    grid->setColumnMinimumWidth(1, letter + 2);
    grid->setColumnMinimumWidth(3, 4 * letter);
    grid->setColumnMinimumWidth(5, letter + 2);
    grid->setColumnStretch(7, 1);

    // The legend's bracket has the height of the brackets of the pairs.
    auto* legendBracket = new PairBracket(kRowSpacing, frame);
    legendBracket->setObjectName(QStringLiteral("brk_t28_legend"));
    const QCheckBox* anyBox = itemBoxes_.front();
    const int rowHeight = std::max(anyBox->sizeHint().height(), frame->fontMetrics().height());
    legendBracket->setFixedHeight(2 * rowHeight + kRowSpacing);
    auto* legend = new QLabel(QStringLiteral("... TISS28-Items schließen einander aus"), frame);
    auto* scoreLabel = new QLabel(QStringLiteral("TISS28-Score"), frame);
    lbl_int_tiss28_score_ = Display(frame, "lbl_int_tiss28_score", 4);
    lbl_int_tiss28_score_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(legendBracket);
    bottom->addWidget(legend);
    bottom->addStretch(1);
    bottom->addWidget(scoreLabel);
    bottom->addWidget(lbl_int_tiss28_score_);

    auto* layout = new QVBoxLayout(frame);
    layout->addLayout(grid);
    layout->addSpacing(letter);
    layout->addLayout(bottom);
    layout->addStretch(1);
    return page;
}

void StayDetailWindow::showBaseData() {
    lbl_int_ka_id_->setText(QString::fromStdString(DepartmentHospitalPart(department_)));
    lbl_int_icu_fun_id_->setText(QString::fromStdString(DepartmentPart(department_)));
    lbl_int_kis_id_->setText(QString::fromStdString(detail_->kisId));
    lbl_int_dob_->setText(DisplayDate(detail_->dob, 8));
    lbl_int_adm_date_->setText(DisplayDate(detail_->admDate, 12));

    ShowOrigin(txt_int_dis_date_, departmentStatus_);
    txt_int_dis_date_->setText(DisplayDate(detail_->disDate, 12));
    ShowOrigin(cmb_int_icu_outcome_, departmentStatus_);
    cmb_int_icu_outcome_->setCurrentIndex(IcuOutcomeEntry(detail_->icuOutcome));
    ShowOrigin(txt_int_hosp_dis_date_, departmentStatus_);
    txt_int_hosp_dis_date_->setText(DisplayDate(detail_->hospDisDate, 8));
    ShowOrigin(cmb_int_hosp_mort_, departmentStatus_);
    cmb_int_hosp_mort_->setCurrentIndex(HospitalStatusEntry(detail_->hospMort));
}

void StayDetailWindow::showSurveyDay(int index) {
    const bool known = detail_ && index >= 0 && static_cast<std::size_t>(index) < detail_->surveyDays.size();
    if (!known) {
        for (QCheckBox* box : itemBoxes_) box->setChecked(false);
        lbl_int_tiss28_score_->clear();
        return;
    }
    const SurveyDay& day = detail_->surveyDays[static_cast<std::size_t>(index)];
    for (std::size_t item = 0; item < itemBoxes_.size(); ++item)
        itemBoxes_[item]->setChecked(IsItemTicked(day.items[item]));
    lbl_int_tiss28_score_->setText(QString::fromStdString(ScoreDisplay(day.score)));
}

void StayDetailWindow::onPageChanged(int page) {
    for (QFrame* frame : fra_tab_) frame->setEnabled(false);
    if (departmentStatus_ == "INTERN" && page >= 0 && page < static_cast<int>(fra_tab_.size()))
        fra_tab_[static_cast<std::size_t>(page)]->setEnabled(true);
    fra_erhebung_->setVisible(page == 1);
}

void StayDetailWindow::onCommand(Command command) {
    const int index = command;
    if (index == 0) accept();
}

}  // namespace kalvora::ui
