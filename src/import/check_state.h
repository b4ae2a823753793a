#pragma once
// The state of the data file or line under check, shared by the file-name checks, the field
// validators, the record readers and the import run.

namespace kalvora {

enum class CheckState {
    None = 0,
    BadFileName = 1,
    BadPeriod = 2,
    BadYear = 3,
    DepartmentNotFound = 4,
    KaNotFound = 5,
    Error = 8,
    Warning = 9,
    BadRecordType = 12,
};

// Error wins over everything.
inline void RaiseToError(CheckState& state) { state = CheckState::Error; }
// A warning never hides an error, and the first warning stays.
inline void RaiseToWarning(CheckState& state) {
    if (state == CheckState::None) state = CheckState::Warning;
}

}  // namespace kalvora
