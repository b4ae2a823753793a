#include "fault_kind.h"

namespace kalvora::tools {

namespace {

using enum FaultLevel;

// In the order of the enumeration, so that a kind's number is its row.
constexpr std::array<FaultKindInfo, kFaultKindCount> kKinds = {{
    {FaultKind::InvalidBirthDate, "invalid-birth-date", Error},
    {FaultKind::InvalidAdmissionTime, "invalid-admission-time", Error},
    {FaultKind::InvalidDischargeTime, "invalid-discharge-time", Error},
    {FaultKind::BlankDischargeTime, "blank-discharge-time", Error},
    {FaultKind::DischargeBeforeAdmission, "discharge-before-admission", Error},
    {FaultKind::BlankKisId, "blank-kis-id", Error},
    {FaultKind::WrongHospital, "wrong-hospital", Error},
    {FaultKind::WrongDepartment, "wrong-department", Error},
    {FaultKind::IcuOutcomeOutOfRange, "icu-outcome-out-of-range", Error},
    {FaultKind::IcuOutcomeBlank, "icu-outcome-blank", Error},
    {FaultKind::InvalidHospitalDischargeDate, "invalid-hospital-discharge-date", ByPlausLevel},
    {FaultKind::HospitalDischargeStateOutOfRange, "hospital-discharge-state-out-of-range", ByPlausLevel},
    {FaultKind::TissItemTwo, "tiss-item-two", ByPlausLevel},
    {FaultKind::InvalidSurveyDay, "invalid-survey-day", Error},
    {FaultKind::DuplicateSurveyDay, "duplicate-survey-day", Warning},
    {FaultKind::MissingSurveyDay, "missing-survey-day", Warning},
    {FaultKind::ExclusivePairBothSet, "exclusive-pair-both-set", Warning},
    {FaultKind::NoStandardMonitoring, "no-standard-monitoring", Warning},
    {FaultKind::AllItemsZero, "all-items-zero", Warning},
    {FaultKind::ChildInChildrensDepartment, "child-in-childrens-department", Error},
    {FaultKind::StayWithoutRecordType1, "stay-without-record-type-1", AbortsImport},
}};

constexpr bool RowsFollowEnumeration() {
    for (int i = 0; i < kFaultKindCount; ++i) {
        if (static_cast<int>(kKinds[i].kind) != i) return false;
    }
    return true;
}
static_assert(RowsFollowEnumeration());

}  // namespace

const std::array<FaultKindInfo, kFaultKindCount>& FaultKinds() { return kKinds; }

const FaultKindInfo& InfoOf(FaultKind kind) { return FaultKinds()[static_cast<int>(kind)]; }

std::optional<FaultKind> ParseFaultKind(std::string_view name) {
    for (const auto& info : FaultKinds()) {
        if (info.name == name) return info.kind;
    }
    return std::nullopt;
}

std::vector<FaultKind> DefaultFaultKinds() {
    std::vector<FaultKind> kinds;
    for (const auto& info : FaultKinds()) {
        if (info.level != FaultLevel::AbortsImport) kinds.push_back(info.kind);
    }
    return kinds;
}

bool IsChildrensAgeRuleDepartment(std::string_view departmentCode) {
    if (departmentCode.size() < 4) return false;
    const std::string_view unit = departmentCode.substr(2, 2);
    return unit == "51" || unit == "27";
}

bool IsFaultKindApplicable(FaultKind kind, std::string_view departmentCode) {
    return kind != FaultKind::ChildInChildrensDepartment || IsChildrensAgeRuleDepartment(departmentCode);
}

}  // namespace kalvora::tools
