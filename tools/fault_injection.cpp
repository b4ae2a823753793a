#include "fault_injection.h"

#include <array>

#include "tiss/tiss_item.h"

namespace kalvora::tools {

namespace {

void Put(char* at, const char* text, int length) {
    for (int i = 0; i < length; ++i) at[i] = text[i];
}

// First items of the four exclusive pairs, line order from 0.
std::array<int, 4> ExclusivePairFirsts() {
    std::array<int, 4> firsts{};
    int found = 0;
    for (const auto& item : TissItems()) {
        if (item.exclusiveWith > item.number && found < 4) firsts[found++] = item.number - 1;
    }
    return firsts;
}

}  // namespace

int SurveyDayCount(const StayPlan& plan) { return plan.lengthDays < 0 ? 1 : plan.lengthDays + 1; }

void SpoilDateField(char* field, int length, int variant) {
    if (length == 12 && variant == 5) return Put(field + 8, "24", 2);
    if (length == 12 && variant == 6) return Put(field + 10, "60", 2);
    switch (variant) {
        case 0:
            return Put(field + 4, "13", 2);
        case 1:
            return Put(field + 6, "32", 2);
        case 2:
            return Put(field + 4, "0230", 4);
        case 3:
            return Put(field + 4, "00", 2);
        default:
            return Put(field + 6, "00", 2);
    }
}

char OtherCharacter(char c) {
    if (c >= '0' && c <= '9') return c == '9' ? '0' : static_cast<char>(c + 1);
    return '0';
}

StayFault PrepareFault(FaultKind kind, RandomSource& random, StayPlan& plan) {
    StayFault fault;
    fault.kind = kind;
    switch (kind) {
        case FaultKind::InvalidBirthDate:
            fault.variant = random.below(kDateSpoilVariants);
            break;
        case FaultKind::InvalidAdmissionTime:
        case FaultKind::InvalidDischargeTime:
            fault.variant = random.below(kDateTimeSpoilVariants);
            break;
        case FaultKind::InvalidHospitalDischargeDate:
            fault.variant = random.below(kDateSpoilVariants);
            if (!plan.hospitalDischarge) {
                plan.hospitalDischarge = plan.dischargeDay() + std::chrono::days{2};
                plan.hospitalOutcome = '1';
            }
            break;
        case FaultKind::IcuOutcomeOutOfRange:
            plan.outcome = "0569"[random.below(4)];
            break;
        case FaultKind::IcuOutcomeBlank:
            plan.outcome = ' ';
            break;
        case FaultKind::HospitalDischargeStateOutOfRange:
            plan.hospitalOutcome = "0349"[random.below(4)];
            break;
        case FaultKind::DischargeBeforeAdmission:
            // Two hours earlier on the same day, or one to three days before: either way the
            // import computes a negative length.
            if (plan.admissionMinute >= 120 && random.chancePermille(500)) {
                plan.lengthDays = 0;
                plan.dischargeMinute = random.between(0, plan.admissionMinute - 120);
            } else {
                plan.lengthDays = -random.between(1, 3);
            }
            break;
        case FaultKind::ChildInChildrensDepartment:
            plan.birthDay = BirthDayForAge(random, plan.admissionDay, random.between(0, 12));
            break;
        case FaultKind::TissItemTwo:
            fault.dayIndex = random.below(SurveyDayCount(plan));
            fault.itemIndex = random.between(1, kTissItemCount - 1);
            break;
        case FaultKind::ExclusivePairBothSet:
            fault.dayIndex = random.below(SurveyDayCount(plan));
            fault.itemIndex = ExclusivePairFirsts()[random.below(4)];
            break;
        case FaultKind::MissingSurveyDay: {
            if (plan.lengthDays < 1) {
                plan.lengthDays = 1;
                plan.dischargeMinute = random.between(7 * 60, 19 * 60);
            }
            const int count = SurveyDayCount(plan);
            fault.dayIndex = count >= 3 ? random.between(1, count - 2) : random.below(count);
            break;
        }
        case FaultKind::InvalidSurveyDay:
            fault.variant = random.below(kDateSpoilVariants);
            fault.dayIndex = random.below(SurveyDayCount(plan));
            break;
        case FaultKind::DuplicateSurveyDay:
        case FaultKind::NoStandardMonitoring:
        case FaultKind::AllItemsZero:
            fault.dayIndex = random.below(SurveyDayCount(plan));
            break;
        case FaultKind::BlankDischargeTime:
        case FaultKind::BlankKisId:
        case FaultKind::WrongHospital:
        case FaultKind::WrongDepartment:
        case FaultKind::StayWithoutRecordType1:
            break;
    }
    return fault;
}

}  // namespace kalvora::tools
