#include "classification/classify_department.h"

#include <sqlite3.h>

#include <stdexcept>
#include <string>

#include "base/paths.h"
#include "classification/classification_figures.h"
#include "classification/classification_sql_functions.h"
#include "classification/rate_department.h"
#include "store/database.h"
#include "store/store_error_text.h"

namespace kalvora {

namespace {

constexpr std::string_view kEmptyWorkTable = R"(DELETE FROM "Satzart 3 - TISS28 TEMP";)";

// Every record written passes its fields to TallyDay (see DayTallyFunction), which returns the score
// unchanged: the figures are counted while the work table is written, without reading it again.
constexpr std::string_view kCopyDayRecords =
    R"(INSERT INTO main."Satzart 3 - TISS28 TEMP" (QUALIFIER, KIS_ID, DOB, REC_DATE, T28_SCORE, STUNDEN)
       SELECT QUALIFIER, KIS_ID, DOB, REC_DATE, TallyDay(T28_SCORE, QUALIFIER, REC_DATE, STUNDEN), STUNDEN
       FROM main."Satzart 3 - TISS28";)";

// With MehrfachTISS "J" the day records of one patient (KIS_ID, DOB) on one survey day with the
// same QUALIFIER become one record with the highest score and the highest hours, both by numeric
// value. Records of one stay never share a survey day (the day is part of their key), so only
// patients with records of more than one stay can have records to merge. Those patients are
// gathered first; the records of all other patients are copied as they are, and only the few
// records of the patients gathered are grouped. A NULL QUALIFIER forms a group of its own, apart
// from an empty one.
constexpr std::string_view kCreatePatients =
    R"(DROP TABLE IF EXISTS temp."Classification patients";
       CREATE TEMP TABLE "Classification patients" (KIS_ID TEXT, DOB TEXT, PRIMARY KEY (KIS_ID, DOB))
           WITHOUT ROWID;)";
constexpr std::string_view kDropPatients = R"(DROP TABLE temp."Classification patients";)";
constexpr std::string_view kAddPatient =
    R"(INSERT OR IGNORE INTO temp."Classification patients" (KIS_ID, DOB) VALUES (?, ?);)";
// In key order, where the records of each patient lie together; the order needs no sorting.
constexpr std::string_view kRecordStays =
    R"(SELECT KIS_ID, DOB, ADM_DATE FROM main."Satzart 3 - TISS28" ORDER BY KIS_ID, DOB, ADM_DATE;)";
constexpr std::string_view kMergeDayRecords =
    R"(INSERT INTO main."Satzart 3 - TISS28 TEMP" (QUALIFIER, KIS_ID, DOB, REC_DATE, T28_SCORE, STUNDEN)
           SELECT QUALIFIER, KIS_ID, DOB, REC_DATE, TallyDay(T28_SCORE, QUALIFIER, REC_DATE, STUNDEN), STUNDEN
           FROM main."Satzart 3 - TISS28" AS r
           WHERE NOT EXISTS (SELECT 1 FROM temp."Classification patients" AS p
                             WHERE p.KIS_ID = r.KIS_ID AND p.DOB = r.DOB);
       INSERT INTO main."Satzart 3 - TISS28 TEMP" (QUALIFIER, KIS_ID, DOB, REC_DATE, T28_SCORE, STUNDEN)
           SELECT r.QUALIFIER, r.KIS_ID, r.DOB, r.REC_DATE,
                  TallyDay(HighestValue(r.T28_SCORE), r.QUALIFIER, r.REC_DATE, HighestValue(r.STUNDEN)),
                  HighestValue(r.STUNDEN)
           FROM temp."Classification patients" AS p
           JOIN main."Satzart 3 - TISS28" AS r ON r.KIS_ID = p.KIS_ID AND r.DOB = p.DOB
           GROUP BY r.KIS_ID, r.DOB, r.REC_DATE, r.QUALIFIER;)";

constexpr std::string_view kStays =
    R"(SELECT ADM_DATE, DIS_DATE, STUNDEN, "Alter" FROM "Gesamt - Patientenadministration";)";
constexpr std::string_view kWorkRecords =
    R"(SELECT QUALIFIER, REC_DATE, T28_SCORE, STUNDEN FROM "Satzart 3 - TISS28 TEMP";)";

// Score sums are sums of whole scores; three places keep any fraction a stored score might have.
constexpr int kSumPlaces = 3;

// A read-only statement over many rows whose fields are read as views, without copies.
class RowReader {
public:
    RowReader(Database& db, std::string_view sql) : db_(db.handle()) {
        if (sqlite3_get_autocommit(db_) != 0 && !db.stillAtPath()) throw DatabaseReplaced(db.path());
        if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr) !=
            SQLITE_OK)
            throw StoreError(
                DatabaseErrorText(sqlite3_db_filename(db_, "main"), sqlite3_extended_errcode(db_),
                                  std::string("Anweisung nicht übersetzbar: ") + sqlite3_errmsg(db_)),
                sqlite3_extended_errcode(db_));
    }
    ~RowReader() { sqlite3_finalize(statement_); }
    RowReader(const RowReader&) = delete;
    RowReader& operator=(const RowReader&) = delete;

    bool next() {
        const int rc = sqlite3_step(statement_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw StoreError(DatabaseErrorText(sqlite3_db_filename(db_, "main"), sqlite3_extended_errcode(db_),
                                           std::string("Anweisung fehlgeschlagen: ") + sqlite3_errmsg(db_)),
                         sqlite3_extended_errcode(db_));
    }

    FieldText field(int column) const {
        if (sqlite3_column_type(statement_, column) == SQLITE_NULL) return std::nullopt;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        if (text == nullptr) return std::string_view();
        return std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
    }

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

// TallyDay(score, qualifier, day, hours), registered while the work table is filled: counts the
// record in the tally and returns its score unchanged. Not deterministic, so that the engine calls
// it exactly once for every record written.
class DayTallyFunction {
public:
    DayTallyFunction(Database& db, DayTally& tally) : db_(db) {
        if (sqlite3_create_function_v2(db_.handle(), kName, 4, SQLITE_UTF8 | SQLITE_DIRECTONLY, &tally, count,
                                       nullptr, nullptr, nullptr) != SQLITE_OK)
            throw StoreError(DatabaseErrorText(
                db_.path(), sqlite3_extended_errcode(db_.handle()),
                std::string("Zählfunktion nicht anlegbar: ") + sqlite3_errmsg(db_.handle())));
    }
    ~DayTallyFunction() {
        sqlite3_create_function_v2(db_.handle(), kName, 4, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr,
                                   nullptr);
    }
    DayTallyFunction(const DayTallyFunction&) = delete;
    DayTallyFunction& operator=(const DayTallyFunction&) = delete;

private:
    static constexpr const char* kName = "TallyDay";

    static FieldText text(sqlite3_value* value) {
        if (sqlite3_value_type(value) == SQLITE_NULL) return std::nullopt;
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
        if (text == nullptr) return std::string_view();
        return std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(value)));
    }

    static void count(sqlite3_context* context, int, sqlite3_value** argv) {
        static_cast<DayTally*>(sqlite3_user_data(context))
            ->add(text(argv[1]), text(argv[2]), text(argv[0]), text(argv[3]));
        sqlite3_result_value(context, argv[0]);
    }

    Database& db_;
};

// The work table is refilled on every run with copies of the department's own records, so its old
// content need not be overwritten when it is emptied; that would write every page of it twice.
class FastEmptying {
public:
    explicit FastEmptying(Database& db) : db_(db), previous_(db.scalar("PRAGMA main.secure_delete")) {
        db_.execute("PRAGMA main.secure_delete = OFF");
    }
    ~FastEmptying() {
        try {
            constexpr const char* kSettings[] = {"PRAGMA main.secure_delete = OFF",
                                                 "PRAGMA main.secure_delete = ON",
                                                 "PRAGMA main.secure_delete = FAST"};
            if (previous_ >= 0 && previous_ <= 2) db_.execute(kSettings[previous_]);
        } catch (...) {
        }
    }
    FastEmptying(const FastEmptying&) = delete;
    FastEmptying& operator=(const FastEmptying&) = delete;

private:
    Database& db_;
    long long previous_;
};

// Gathers the patients whose day records belong to more than one stay; true when there is one.
bool GatherPatientsWithSeveralStays(Database& department) {
    Statement addPatient = department.prepare(kAddPatient);
    std::string kisId, dob, admission;
    bool samePatient = false, gathered = false, any = false;
    RowReader records(department, kRecordStays);
    while (records.next()) {
        const std::string_view rowKisId = records.field(0).value_or(""),
                               rowDob = records.field(1).value_or("");
        const std::string_view rowAdmission = records.field(2).value_or("");
        samePatient = samePatient && rowKisId == kisId && rowDob == dob;
        if (!samePatient) {
            kisId = rowKisId;
            dob = rowDob;
            admission = rowAdmission;
            samePatient = true;
            gathered = false;
        } else if (!gathered && rowAdmission != admission) {
            addPatient.bind(1, kisId).bind(2, dob);
            addPatient.run();
            gathered = any = true;
        }
    }
    return any;
}

long long CountChildrenDays(Database& department, const FigurePeriod& period) {
    long long childrenDays = 0;
    RowReader stays(department, kStays);
    while (stays.next())
        childrenDays +=
            ChildrenDaysOfStay(period, stays.field(0), stays.field(1), stays.field(2), stays.field(3));
    return childrenDays;
}

ClassificationFigures FiguresOf(long long childrenDays, const DayTally& days) {
    ClassificationFigures figures;
    figures.childrenDays = childrenDays;
    figures.missingDays = days.missingDays();
    figures.reportedDays = days.reportedDays();
    figures.overallMean =
        MeanOfScores(Decimal::fromDouble(days.reportedSum(), kSumPlaces), figures.reportedDays);
    figures.classificationDays = days.classificationDays();
    figures.classificationMean =
        MeanOfScores(Decimal::fromDouble(days.classificationSum(), kSumPlaces), figures.classificationDays);
    return figures;
}

}  // namespace

DayTally FillClassificationWorkTable(Database& department, const ClassificationRun& run) {
    DayTally tally(FigurePeriod::Of(run));
    DayTallyFunction tallyFunction(department, tally);
    FastEmptying fastEmptying(department);
    // Emptied in a transaction of its own: the refill then reuses free pages, whose old content
    // need not be journaled again. Both hold the write lock from their start, so that a department
    // file replaced by an import meanwhile is noticed before it is written.
    {
        Transaction emptying(department, true);
        department.execute(kEmptyWorkTable);
        emptying.commit();
    }
    Transaction transaction(department, true);
    if (run.countsMultipleOnce()) {
        department.execute(kCreatePatients);
        department.execute(GatherPatientsWithSeveralStays(department) ? kMergeDayRecords : kCopyDayRecords);
        department.execute(kDropPatients);
    } else {
        department.execute(kCopyDayRecords);
    }
    transaction.commit();
    return tally;
}

ClassificationFigures CountClassificationFigures(Database& department, const ClassificationRun& run) {
    const FigurePeriod period = FigurePeriod::Of(run);
    DayTally days(period);
    RowReader records(department, kWorkRecords);
    while (records.next()) days.add(records.field(0), records.field(1), records.field(2), records.field(3));
    return FiguresOf(CountChildrenDays(department, period), days);
}

Result<ClassificationResult> ClassifyDepartment(const std::string& systemDataPath,
                                                const ClassificationRun& run,
                                                const DepartmentInputs& inputs) {
    if (const Outcome checked = CheckClassificationRun(run); !checked) return Failure{checked.message()};
    ClassificationFigures figures;
    try {
        // An import that stores the department anew meanwhile leaves this run on the old file; the
        // run starts again on the new one.
        figures = ReadCurrentFile([&] {
            Database department(JoinPath(systemDataPath, inputs.dataFileName), OpenMode::ReadWrite);
            RegisterClassificationFunctions(department);
            const DayTally days = FillClassificationWorkTable(department, run);
            return FiguresOf(CountChildrenDays(department, FigurePeriod::Of(run)), days);
        });
    } catch (const std::exception& error) {
        return Failure{error.what()};
    }
    return RateDepartment(figures, inputs, PeriodDays(run));
}

}  // namespace kalvora
