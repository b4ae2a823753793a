#include "reports/stay_detail.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "base/conversions.h"
#include "store/database.h"
#include "store/file_ops.h"
#include "store/schema.h"
#include "store/stored_data_messages.h"

namespace kalvora {

namespace {

bool isBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

// Entry number for a value that lies from 1 to `last`, else 0.
int entryInRange(std::string_view value, int last) {
    const double number = NumericValue(value);
    if (number < 1 || number > last) return 0;
    return static_cast<int>(WholeNumericValue(value));
}

std::string surveyDaySql() {
    std::string sql = "SELECT REC_DATE";
    for (const TissItem& item : TissItems()) {
        sql += ", ";
        sql += item.field;
    }
    sql +=
        ", T28_SCORE FROM \"Satzart 3 - TISS28\""
        " WHERE KIS_ID = ? AND DOB = ? AND ADM_DATE = ? AND QUALIFIER = '3' ORDER BY REC_DATE";
    return sql;
}

void bindKey(Statement& statement, const StayKey& key) {
    statement.bind(1, key.admissionNumber);
    statement.bind(2, key.birthDate);
    statement.bind(3, key.admissionTime);
}

}  // namespace

static StayDetailResult loadStayDetailOnce(const std::string& departmentDbPath, const StayKey& key) {
    StayDetailResult result;
    const std::string fileName = std::filesystem::path(departmentDbPath).filename().string();
    if (!FileExists(departmentDbPath)) {
        result.error = stored_data_messages::DepartmentDbMissing(fileName);
        return result;
    }
    try {
        Database department(departmentDbPath, OpenMode::ReadOnly);
        Statement stay = department.prepare(
            "SELECT KIS_ID, DOB, ADM_DATE, DIS_DATE, ICU_OUTCOME, TYP FROM \"Gesamt - "
            "Patientenadministration\""
            " WHERE KIS_ID = ? AND DOB = ? AND ADM_DATE = ?");
        bindKey(stay, key);
        if (stay.step() != StepResult::Row) {
            result.error = stored_data_messages::StayNotFound;
            return result;
        }
        StayDetail detail;
        detail.kisId = stay.text(0);
        detail.dob = stay.text(1);
        detail.admDate = stay.text(2);
        detail.disDate = stay.text(3);
        detail.icuOutcome = stay.text(4);
        detail.typ = stay.text(5);

        Statement recordType1 = department.prepare(
            "SELECT KIS_ID, DOB, ADM_DATE, DIS_DATE, ICU_OUTCOME, HOSP_DIS_DATE, HOSP_MORT"
            " FROM \"Satzart 1 - Patientenadministration Intensiv\" WHERE KIS_ID = ? AND DOB = ? AND "
            "ADM_DATE = ?");
        bindKey(recordType1, key);
        if (recordType1.step() == StepResult::Row) {
            detail.hasRecordType1 = true;
            detail.kisId = recordType1.text(0);
            detail.dob = recordType1.text(1);
            detail.admDate = recordType1.text(2);
            detail.disDate = recordType1.text(3);
            detail.icuOutcome = recordType1.text(4);
            detail.hospDisDate = recordType1.text(5);
            detail.hospMort = recordType1.text(6);
        }

        Statement days = department.prepare(surveyDaySql());
        bindKey(days, key);
        while (days.step() == StepResult::Row) {
            SurveyDay day;
            day.recordDate = days.text(0);
            for (int item = 0; item < kTissItemCount; ++item)
                day.items[static_cast<std::size_t>(item)] = days.text(item + 1);
            day.score = days.text(kTissItemCount + 1);
            detail.surveyDays.push_back(std::move(day));
        }
        result.detail = std::move(detail);
    } catch (const DatabaseReplaced&) {
        throw;  // read again from the new file
    } catch (const StoreError&) {
        result.detail.reset();
        result.error = stored_data_messages::DepartmentDbUnreadable(fileName);
    }
    return result;
}

int IcuOutcomeEntry(std::string_view value) { return entryInRange(value, 4); }
int HospitalStatusEntry(std::string_view value) { return entryInRange(value, 2); }

bool IsItemTicked(std::string_view value) {
    const double number = NumericValue(value);
    if (number < 0 || number > 1) return false;
    return WholeNumericValue(value) == 1;
}

std::string ScoreDisplay(std::string_view storedScore) {
    if (isBlank(storedScore)) return {};
    const double number = NumericValue(storedScore);
    if (number == std::floor(number) && std::fabs(number) < 1e15)
        return std::to_string(static_cast<long long>(number));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", number);
    return buffer;
}

StayDetailResult LoadStayDetail(const std::string& departmentDbPath, const StayKey& key) {
    return ReadCurrentFile([&] { return loadStayDetailOnce(departmentDbPath, key); });
}

}  // namespace kalvora
