#include "reports/patient_line.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "base/conversions.h"
#include "base/text.h"
#include "store/database.h"
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

std::string BuildPatientLine(const PatientLineFields& fields) {
    std::string line = FixedWidth(fields.kisId, 10);
    line += kGap;
    line += FixedWidth(FormatDateCode(fields.dob, 8), 10);
    line += kGap;
    line += FixedWidth(FormatDateCode(fields.admDate, 12), 17);
    line += kGap;
    line += FixedWidth(FormatDateCode(fields.disDate, 12), 17);
    line += kGap;
    line += FixedWidth(fields.typ, 3);
    line += kGap;
    line += FixedWidth(PatientStatusText(fields.flag), 10);
    return line;
}

std::string PatientAdmissionNumber(std::string_view line) { return LineColumns(line, 1, 10); }
std::string PatientBirthDate(std::string_view line) { return LineColumns(line, 14, 23); }
std::string PatientStayType(std::string_view line) { return LineColumns(line, 67, 69); }

StayKey StayKeyFromPatientLine(std::string_view line) {
    StayKey key;
    key.admissionNumber = LineColumns(line, 1, 10);
    key.birthDate = LineColumns(line, 20, 23) + LineColumns(line, 17, 18) + LineColumns(line, 14, 15);
    key.admissionTime = LineColumns(line, 33, 36) + LineColumns(line, 30, 31) + LineColumns(line, 27, 28) +
                        LineColumns(line, 39, 40) + LineColumns(line, 42, 43);
    return key;
}

std::string CurrentDepartmentStatus(std::string_view departmentLine) {
    return LineColumns(departmentLine, 98, 98) == "E" ? "EXTERN" : "INTERN";
}

PatientList LoadPatientLines(const std::string& departmentDbPath) {
    PatientList list;
    const std::string fileName = std::filesystem::path(departmentDbPath).filename().string();
    if (!FileExists(departmentDbPath)) {
        list.error = stored_data_messages::DepartmentDbMissing(fileName);
        return list;
    }
    try {
        ReadCurrentFile([&] {
            list.lines.clear();
            Database department(departmentDbPath, OpenMode::ReadOnly);
            Statement rows = department.prepare(
                "SELECT KIS_ID, DOB, ADM_DATE, DIS_DATE, TYP, FLAG FROM \"Gesamt - "
                "Patientenadministration\"");
            while (rows.step() == StepResult::Row) {
                PatientLineFields fields{rows.text(0), rows.text(1), rows.text(2),
                                         rows.text(3), rows.text(4), rows.text(5)};
                list.lines.push_back(BuildPatientLine(fields));
            }
        });
    } catch (const StoreError&) {
        list.lines.clear();
        list.error = stored_data_messages::DepartmentDbUnreadable(fileName);
        return list;
    }
    std::stable_sort(list.lines.begin(), list.lines.end());
    return list;
}

}  // namespace kalvora
