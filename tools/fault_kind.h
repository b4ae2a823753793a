#pragma once
// The kinds of faults the delivery generator can build into a stay, each one a finding that the
// import reports for that stay.

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace kalvora::tools {

enum class FaultKind {
    InvalidBirthDate,
    InvalidAdmissionTime,
    InvalidDischargeTime,
    BlankDischargeTime,
    DischargeBeforeAdmission,
    BlankKisId,
    WrongHospital,
    WrongDepartment,
    IcuOutcomeOutOfRange,
    IcuOutcomeBlank,
    InvalidHospitalDischargeDate,
    HospitalDischargeStateOutOfRange,
    TissItemTwo,
    InvalidSurveyDay,
    DuplicateSurveyDay,
    MissingSurveyDay,
    ExclusivePairBothSet,
    NoStandardMonitoring,
    AllItemsZero,
    ChildInChildrensDepartment,
    StayWithoutRecordType1,
};

inline constexpr int kFaultKindCount = 21;

// How the import judges a stay with the fault.
enum class FaultLevel {
    Error,         // the stay is removed
    Warning,       // the stay is stored and marked
    ByPlausLevel,  // an error with PlausLevel "Error", a warning otherwise
    AbortsImport,  // a record type 3 line of an unknown stay ends the import as an unexpected failure
};

struct FaultKindInfo {
    FaultKind kind;
    std::string_view name;  // command-line name
    FaultLevel level;
};

const std::array<FaultKindInfo, kFaultKindCount>& FaultKinds();
const FaultKindInfo& InfoOf(FaultKind kind);
std::optional<FaultKind> ParseFaultKind(std::string_view name);

// Every kind except StayWithoutRecordType1, which makes the whole import fail and is only built
// when asked for by name.
std::vector<FaultKind> DefaultFaultKinds();

// Whether a fault of the kind can be built for a department: the age rule of the import applies
// only to departments whose code has "51" or "27" at characters 3-4.
bool IsChildrensAgeRuleDepartment(std::string_view departmentCode);
bool IsFaultKindApplicable(FaultKind kind, std::string_view departmentCode);

}  // namespace kalvora::tools
