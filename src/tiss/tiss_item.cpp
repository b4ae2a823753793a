#include "tiss/tiss_item.h"

#include <algorithm>
#include <vector>

#include "base/conversions.h"

namespace kalvora {

const std::array<TissItem, kTissItemCount>& TissItems() {
    static const std::array<TissItem, kTissItemCount> items = {{
        {1, "T28_STAND_MON", 52, "Standardmonitoring", "chk_t28_stand_mon", "Standard-Monitoring", 5, 0},
        {2, "T28_LAB", 53, "Labor", "chk_t28_lab", "Labor", 1, 0},
        {3, "T28_S_MED", 54, "Einmalige Medikation", "chk_t28_s_med", "Medikation einmalig", 2, 4},
        {4, "T28_M_MED", 55, "Mehrfache Medikation", "chk_t28_m_med", "Medikation mehrfach", 3, 3},
        {5, "T28_R_DRESS", 56, "Routineverbandswechsel", "chk_t28_r_dress", "Routineverbandswechsel ", 1, 0},
        {6, "T28_F_DRESS", 57, "Häufiger Verbandswechsel", "chk_t28_f_dress", "Verbandswechsel häufig", 1, 0},
        {7, "T28_DRAIN", 58, "Drainagenpflege", "chk_t28_drain", "Drainagenpflege", 3, 0},
        {8, "T28_MECH_VENT", 59, "Mechanische Beatmung", "chk_t28_mech_vent", "Beatmung mechanisch", 5, 9},
        {9, "T28_SUPP_VENT", 60, "Atemunterstützung", "chk_t28_supp_vent", "Atemunterstützung", 2, 8},
        {10, "T28_TUBUS", 61, "Tubuspflege", "chk_t28_tubus", "Tubuspflege", 1, 0},
        {11, "T28_LUNG", 62, "Atemtherapie", "chk_t28_lung", "Atemtherapie", 1, 0},
        {12, "T28_S_VASODR", 63, "Einmalige vasoaktive Medikation", "chk_t28_s_vasodr",
         "Medikation einm.vasoaktiv", 3, 13},
        {13, "T28_M_VASODR", 64, "Mehrfache vasoaktive Medikation", "chk_t28_m_vasodr",
         "Medikation mehrf.vasoaktiv", 4, 12},
        {14, "T28_L_FLUID", 65, "Massiver Flüssigkeitsersatz", "chk_t28_l_fluid", "Flüssigkeitsersatz massiv",
         4, 0},
        {15, "T28_ART", 66, "Arterieller Katheter", "chk_t28_art", "Katheter arteriell", 5, 0},
        {16, "T28_PCL", 67, "Pulmonaliskatheter", "chk_t28_pcl", "Pulmonaliskatheter", 8, 0},
        {17, "T28_CVL", 68, "Zentralvenöser Katheter", "chk_t28_cvl", "Katheter zentralvenös ", 2, 0},
        {18, "T28_CPR", 69, "Kardiopulmonale Reanimation", "chk_t28_cpr", "Kardiopulm.Reanimation", 3, 0},
        {19, "T28_RENAL", 70, "Nierenersatztherapie", "chk_t28_renal", "Nierenersatztherapie", 3, 0},
        {20, "T28_URINARY", 71, "Harnbilanzierung", "chk_t28_urinary", "Harnbilanzierung", 2, 0},
        {21, "T28_ACT_DIU", 72, "Aktive Diurese", "chk_t28_act_diu", "Diurese aktiv", 3, 0},
        {22, "T28_ICP", 73, "Hirndruckmessung", "chk_t28_icp", "Hirndruckmessung", 4, 0},
        {23, "T28_MET_SUPP", 74, "Behandlung metabolischer Entgleisungen", "chk_t28_met_supp",
         "Beh.metabolischer Entgl.", 4, 0},
        {24, "T28_NUT_ENT", 75, "Enterale Ernährung", "chk_t28_nut_ent", "Ernährung enteral", 2, 0},
        {25, "T28_NUT_PARENT", 76, "Parenterale Ernährung", "chk_t28_nut_parent", "Ernährung parenteral", 3,
         0},
        {26, "T28_S_INT", 77, "Einfache Intervention", "chk_t28_s_int", "Intervention einfach", 3, 27},
        {27, "T28_M_INT", 78, "Mehrfache Interventionen", "chk_t28_m_int", "Interventionen mehrfach", 5, 26},
        {28, "T28_DIAG_EX_ICU", 79, "Diagnostik und Therapie außerhalb der IBS", "chk_t28_diag_ex_icu",
         "Diagn./Therapie außer IBS", 5, 0},
    }};
    return items;
}

bool IsTissItemSet(std::string_view value) {
    // The common values first: they need no number reading.
    if (value.size() == 1) {
        if (value[0] == '1') return true;
        if (value[0] == '0' || value[0] == ' ') return false;
    }
    return NumericValue(value) == 1.0;
}

int ComputeTissScore(const std::array<std::string_view, kTissItemCount>& items) {
    const auto& table = TissItems();
    std::array<int, kTissItemCount> points{};
    for (int i = 0; i < kTissItemCount; ++i) points[i] = IsTissItemSet(items[i]) ? table[i].points : 0;
    int score = 0;
    for (int i = 0; i < kTissItemCount; ++i) {
        int partner = table[i].exclusiveWith;
        if (partner == 0) {
            score += points[i];
        } else if (partner > table[i].number) {
            // Each pair counts once, with its higher item.
            score += std::max(points[i], points[partner - 1]);
        }
    }
    return score;
}

std::string TissScoreText(int score) {
    // Every score a day can have is written once; a day's score is then a copy of its text.
    static const std::vector<std::string> common = [] {
        std::vector<std::string> texts;
        for (int value = 0; value < 1000; ++value) {
            std::string text = std::to_string(value);
            texts.push_back(PadNumber(text, 3));
        }
        return texts;
    }();
    if (score >= 0 && score < static_cast<int>(common.size())) return common[static_cast<size_t>(score)];
    std::string text = std::to_string(score);
    return PadNumber(text, 3);
}

}  // namespace kalvora
