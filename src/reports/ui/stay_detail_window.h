#pragma once
// The detail view of one ICU stay: admission and discharge data on the page "&Basisdaten", the 28
// TISS-28 items and the score of one survey day on the page "&TISS-28". A display only: nothing is
// written back, and the pages of imported ("EXTERN") departments stay unusable.

#include <QDialog>
#include <array>
#include <optional>
#include <string>

#include "reports/patient_line.h"
#include "reports/stay_detail.h"
#include "store/admin_database.h"
#include "tiss/tiss_item.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;

namespace kalvora::ui {

struct AppContext;

class StayDetailWindow : public QDialog {
    Q_OBJECT
public:
    // Reads the stay of `key` from the department's database; when it cannot be read the run-time
    // error box names the cause and loaded() is false.
    StayDetailWindow(AppContext& context, Department department, std::string departmentStatus,
                     const StayKey& key, QWidget* parent = nullptr);

    bool loaded() const { return detail_.has_value(); }
    // The buttons by their index in the group (their object names end in it).
    enum Command : int { Close = 0 };
    // cmd_int: 0 "Schließen".
    void onCommand(Command command);

private:
    QWidget* buildBaseDataPage();
    QWidget* buildTissPage();
    void showBaseData();
    void showSurveyDay(int index);
    void onPageChanged(int page);

    AppContext& context_;
    Department department_;
    std::string departmentStatus_;
    std::optional<StayDetail> detail_;

    QTabWidget* tab_int_ = nullptr;
    std::array<QFrame*, 2> fra_tab_{};
    QGroupBox* fra_erhebung_ = nullptr;
    QListWidget* lst_erhebung_tiss_ = nullptr;
    QLabel* lbl_int_hinweis_ = nullptr;

    QLabel* lbl_int_ka_id_ = nullptr;
    QLabel* lbl_int_icu_fun_id_ = nullptr;
    QLabel* lbl_int_kis_id_ = nullptr;
    QLabel* lbl_int_dob_ = nullptr;
    QLabel* lbl_int_adm_date_ = nullptr;
    QLineEdit* txt_int_dis_date_ = nullptr;
    QComboBox* cmb_int_icu_outcome_ = nullptr;
    QLineEdit* txt_int_hosp_dis_date_ = nullptr;
    QComboBox* cmb_int_hosp_mort_ = nullptr;

    std::array<QCheckBox*, kTissItemCount> itemBoxes_{};  // in the order of TissItems()
    QLabel* lbl_int_tiss28_score_ = nullptr;
};

}  // namespace kalvora::ui
