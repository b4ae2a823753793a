#include "store/department_database.h"

namespace kalvora {

namespace {

void bindKey(Statement& statement, const StayKey& key) {
    statement.bind(1, key.admissionNumber);
    statement.bind(2, key.birthDate);
    statement.bind(3, key.admissionTime);
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

// The months are counted by the caller, which spares the engine sorting all stays by month. The
// third field tells a month stored as a blob (every text sorts below every blob).
constexpr std::string_view kStayMonths =
    "SELECT coalesce(DIS_YEARMONTH, ''), TYP = 'INT' COLLATE NOCASE, DIS_YEARMONTH >= x''"
    " FROM \"Gesamt - Patientenadministration\"";

}  // namespace

DepartmentDatabase DepartmentDatabase::ForReading(const std::string& path) {
    return DepartmentDatabase(Database(path, OpenMode::ReadOnly));
}

std::vector<StayOverview> DepartmentDatabase::stays() {
    std::vector<StayOverview> stays;
    Statement rows = db_.prepare(
        "SELECT KIS_ID, DOB, ADM_DATE, DIS_DATE, TYP, FLAG FROM \"Gesamt - Patientenadministration\"");
    while (rows.step() == StepResult::Row) {
        stays.push_back(
            {{rows.text(0), rows.text(1), rows.text(2)}, rows.text(3), rows.text(4), rows.text(5)});
    }
    return stays;
}

std::optional<StoredStay> DepartmentDatabase::stay(const StayKey& key) {
    Statement stay = db_.prepare(
        "SELECT KIS_ID, DOB, ADM_DATE, DIS_DATE, ICU_OUTCOME, TYP FROM \"Gesamt - Patientenadministration\""
        " WHERE KIS_ID = ? AND DOB = ? AND ADM_DATE = ?");
    bindKey(stay, key);
    if (stay.step() != StepResult::Row) return std::nullopt;
    return StoredStay{stay.text(0), stay.text(1), stay.text(2), stay.text(3), stay.text(4), stay.text(5)};
}

std::optional<StoredRecordType1> DepartmentDatabase::recordType1(const StayKey& key) {
    Statement row = db_.prepare(
        "SELECT KIS_ID, DOB, ADM_DATE, DIS_DATE, ICU_OUTCOME, HOSP_DIS_DATE, HOSP_MORT"
        " FROM \"Satzart 1 - Patientenadministration Intensiv\" WHERE KIS_ID = ? AND DOB = ? AND "
        "ADM_DATE = ?");
    bindKey(row, key);
    if (row.step() != StepResult::Row) return std::nullopt;
    return StoredRecordType1{row.text(0), row.text(1), row.text(2), row.text(3),
                             row.text(4), row.text(5), row.text(6)};
}

std::vector<StoredSurveyDay> DepartmentDatabase::surveyDays(const StayKey& key) {
    std::vector<StoredSurveyDay> surveyDays;
    Statement days = db_.prepare(surveyDaySql());
    bindKey(days, key);
    while (days.step() == StepResult::Row) {
        StoredSurveyDay day;
        day.recordDate = days.text(0);
        for (int item = 0; item < kTissItemCount; ++item)
            day.items[static_cast<std::size_t>(item)] = days.text(item + 1);
        day.score = days.text(kTissItemCount + 1);
        surveyDays.push_back(std::move(day));
    }
    return surveyDays;
}

bool DepartmentDatabase::holdsStay(const std::optional<std::string>& admissionNumber,
                                   const std::optional<std::string>& birthDate) {
    Statement seek;
    if (admissionNumber && birthDate) {
        seek = db_.prepare(
            "SELECT 1 FROM \"Gesamt - Patientenadministration\" INDEXED BY KIS_ID_DOB_Index"
            " WHERE KIS_ID = ? AND DOB = ? LIMIT 1");
        seek.bind(1, *admissionNumber);
        seek.bind(2, *birthDate);
    } else if (admissionNumber) {
        seek = db_.prepare(
            "SELECT 1 FROM \"Gesamt - Patientenadministration\" INDEXED BY KIS_ID_Index WHERE KIS_ID = ? "
            "LIMIT 1");
        seek.bind(1, *admissionNumber);
    } else if (birthDate) {
        seek = db_.prepare(
            "SELECT 1 FROM \"Gesamt - Patientenadministration\" INDEXED BY DOB_Index WHERE DOB = ? LIMIT 1");
        seek.bind(1, *birthDate);
    } else {
        return false;
    }
    return seek.step() == StepResult::Row;
}

bool DepartmentDatabase::hasClassifiableStays() {
    Statement stay = db_.prepare(
        R"(SELECT 1 FROM "Gesamt - Patientenadministration" WHERE TYP = 'INT' AND FLAG <> 'U' LIMIT 1;)");
    return stay.step() == StepResult::Row;
}

void DepartmentDatabase::forEachStayMonth(const std::function<void(const StayMonth&)>& visit) {
    Statement stays = db_.prepare(kStayMonths);
    while (stays.step() == StepResult::Row)
        visit({stays.textView(0), stays.integer(1) != 0, stays.integer(2) != 0});
}

}  // namespace kalvora
