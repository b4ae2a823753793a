#include "tiss_day_profile.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace kalvora::tools {

namespace {

struct ItemFrequency {
    std::string_view field;
    int basePermille;        // chance for the lightest patient
    int severityPermille;    // added in proportion to the day's severity
    int ventilatedPermille;  // chance on a ventilated day; -1 when ventilation does not matter
};

// Chances from the case mix of a general adult ICU.
constexpr std::array<ItemFrequency, kTissItemCount> kFrequencies = {{
    {"T28_STAND_MON", 1000, 0, -1},   {"T28_LAB", 850, 150, -1},      {"T28_S_MED", 350, 0, -1},
    {"T28_M_MED", 450, 400, -1},      {"T28_R_DRESS", 600, 0, -1},    {"T28_F_DRESS", 80, 250, -1},
    {"T28_DRAIN", 250, 200, -1},      {"T28_MECH_VENT", 0, 0, 1000},  {"T28_SUPP_VENT", 200, 200, 0},
    {"T28_TUBUS", 10, 0, 950},        {"T28_LUNG", 400, 200, -1},     {"T28_S_VASODR", 150, 150, -1},
    {"T28_M_VASODR", 50, 350, -1},    {"T28_L_FLUID", 20, 150, -1},   {"T28_ART", 400, 500, -1},
    {"T28_PCL", 5, 60, -1},           {"T28_CVL", 500, 400, -1},      {"T28_CPR", 3, 25, -1},
    {"T28_RENAL", 30, 150, -1},       {"T28_URINARY", 800, 150, -1},  {"T28_ACT_DIU", 250, 250, -1},
    {"T28_ICP", 10, 60, -1},          {"T28_MET_SUPP", 100, 250, -1}, {"T28_NUT_ENT", 300, 250, -1},
    {"T28_NUT_PARENT", 100, 250, -1}, {"T28_S_INT", 250, 100, -1},    {"T28_M_INT", 40, 200, -1},
    {"T28_DIAG_EX_ICU", 80, 100, -1},
}};

struct ResolvedItem {
    ItemFrequency frequency;
    int partner = -1;         // index of the exclusive partner, -1 when none
    bool drawnFirst = false;  // of a pair: the item with more points, drawn before its partner
};

// The frequency rows matched to the item table by field, so that the two cannot drift apart.
const std::array<ResolvedItem, kTissItemCount>& ResolvedItems() {
    static const std::array<ResolvedItem, kTissItemCount> items = [] {
        std::array<ResolvedItem, kTissItemCount> result{};
        const auto& table = TissItems();
        for (int i = 0; i < kTissItemCount; ++i) {
            bool found = false;
            for (const auto& row : kFrequencies) {
                if (row.field == table[i].field) {
                    result[i].frequency = row;
                    found = true;
                }
            }
            if (!found) throw std::logic_error("no frequency for " + std::string(table[i].field));
            if (table[i].exclusiveWith != 0) {
                const int partner = table[i].exclusiveWith - 1;
                result[i].partner = partner;
                result[i].drawnFirst = table[i].points > table[partner].points;
            }
        }
        return result;
    }();
    return items;
}

int ChanceOf(const ItemFrequency& frequency, const TissDayCondition& condition) {
    if (condition.ventilated && frequency.ventilatedPermille >= 0) return frequency.ventilatedPermille;
    return frequency.basePermille + frequency.severityPermille * condition.severityPermille / 1000;
}

}  // namespace

TissDayItems DrawTissDay(RandomSource& random, const TissDayCondition& condition) {
    const auto& items = ResolvedItems();
    TissDayItems result;
    result.fill('0');
    for (int i = 0; i < kTissItemCount; ++i) {
        const ResolvedItem& item = items[i];
        if (item.partner >= 0 && !item.drawnFirst) continue;  // drawn with its partner
        if (random.chancePermille(ChanceOf(item.frequency, condition))) {
            result[i] = '1';
        } else if (item.partner >= 0 &&
                   random.chancePermille(ChanceOf(items[item.partner].frequency, condition))) {
            result[item.partner] = '1';
        }
    }
    return result;
}

int TissItemIndex(std::string_view field) {
    const auto& table = TissItems();
    for (int i = 0; i < kTissItemCount; ++i) {
        if (table[i].field == field) return i;
    }
    throw std::logic_error("unknown TISS-28 item " + std::string(field));
}

}  // namespace kalvora::tools
