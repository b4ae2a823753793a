#include "reports/patient_line.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "base/conversions.h"
#include "base/text.h"
#include "store/file_ops.h"
#include "store/stored_data_messages.h"

namespace kalvora {

namespace {

struct FlagText {
    std::string_view flag;
    std::string_view text;
};

constexpr std::array kFlagTexts = {
    FlagText{"O", "Korrekt"},
    FlagText{"W", "Inkorrekt"},
    FlagText{"E", "Entlassen"},
    FlagText{"U", "In Arbeit"},
};

constexpr std::string_view kGap = "   ";

}  // namespace

std::string PatientStatusText(std::string_view flag) {
    for (const FlagText& entry : kFlagTexts) {
        if (entry.flag == flag) return std::string(entry.text);
    }
    return std::string(flag);
}

std::string PatientAdmissionNumber(const StayOverview& stay) {
    return FixedWidth(stay.key.admissionNumber, 10);
}
std::string PatientBirthDate(const StayOverview& stay) {
    return FixedWidth(FormatDateCode(stay.key.birthDate, 8), 10);
}
std::string PatientStayType(const StayOverview& stay) { return FixedWidth(stay.typ, 3); }

std::string BuildPatientLine(const StayOverview& stay) {
    std::string line = PatientAdmissionNumber(stay);
    line += kGap;
    line += PatientBirthDate(stay);
    line += kGap;
    line += FixedWidth(FormatDateCode(stay.key.admissionTime, 12), 17);
    line += kGap;
    line += FixedWidth(FormatDateCode(stay.dischargeTime, 12), 17);
    line += kGap;
    line += PatientStayType(stay);
    line += kGap;
    line += FixedWidth(PatientStatusText(stay.flag), 10);
    return line;
}

Result<std::vector<StayOverview>> LoadPatientStays(const std::string& departmentDbPath) {
    const std::string fileName = std::filesystem::path(departmentDbPath).filename().string();
    if (!FileExists(departmentDbPath)) return Failure{stored_data_messages::DepartmentDbMissing(fileName)};
    std::vector<StayOverview> stays;
    try {
        stays = ReadCurrentFile([&] { return DepartmentDatabase::ForReading(departmentDbPath).stays(); });
    } catch (const StoreError&) {
        return Failure{stored_data_messages::DepartmentDbUnreadable(fileName)};
    }
    SortByLine(stays, BuildPatientLine);
    return stays;
}

}  // namespace kalvora
