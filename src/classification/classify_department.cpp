#include "classification/classify_department.h"

#include <stdexcept>

#include "classification/classification_sql_functions.h"
#include "classification/rate_department.h"
#include "shell/settings.h"
#include "store/database.h"

namespace kalvora {

namespace {

constexpr std::string_view kEmptyWorkTable = R"(DELETE FROM "Satzart 3 - TISS28 TEMP";)";

constexpr std::string_view kCopyDayRecords =
    R"(INSERT INTO "Satzart 3 - TISS28 TEMP" (QUALIFIER, KIS_ID, DOB, REC_DATE, T28_SCORE, STUNDEN)
       SELECT QUALIFIER, KIS_ID, DOB, REC_DATE, T28_SCORE, STUNDEN FROM "Satzart 3 - TISS28";)";

// With MehrfachTISS "J" the day records of one patient (KIS_ID, DOB) on one survey day with the
// same QUALIFIER become one record with the highest score and the highest hours, both by numeric
// value. The records are gathered in a keyed scratch table in the order of their key in
// "Satzart 3 - TISS28", so that a record meeting an earlier one of its day merges into it; this
// avoids sorting all records as a GROUP BY would. The key tells a missing QUALIFIER (an empty blob)
// from an empty one, as grouping does.
constexpr std::string_view kMergeDayRecords =
    R"(DROP TABLE IF EXISTS temp."Classification days";
       CREATE TEMP TABLE "Classification days" (KIS_ID TEXT, DOB TEXT, REC_DATE TEXT, QUALIFIER_KEY,
           QUALIFIER TEXT, T28_SCORE TEXT, STUNDEN TEXT,
           PRIMARY KEY (KIS_ID, DOB, REC_DATE, QUALIFIER_KEY)) WITHOUT ROWID;
       INSERT INTO "Classification days"
           SELECT KIS_ID, DOB, REC_DATE, ifnull(QUALIFIER, x''), QUALIFIER, T28_SCORE, STUNDEN
           FROM "Satzart 3 - TISS28" WHERE true
           ON CONFLICT DO UPDATE SET T28_SCORE = HigherValue(T28_SCORE, excluded.T28_SCORE),
                                     STUNDEN = HigherValue(STUNDEN, excluded.STUNDEN);
       INSERT INTO "Satzart 3 - TISS28 TEMP" (QUALIFIER, KIS_ID, DOB, REC_DATE, T28_SCORE, STUNDEN)
           SELECT QUALIFIER, KIS_ID, DOB, REC_DATE, T28_SCORE, STUNDEN FROM "Classification days";
       DROP TABLE temp."Classification days";)";

// Children's days: every stay that touches the period and reaches the minimum hours, whatever its
// TYP and FLAG, with an age below 16, counted from its first to its last day inside the period.
// A stay whose admission or discharge does not begin with a valid day cannot be placed in the
// period and adds nothing; neither does a stay without an age.
// ?1 Erhebungvon, ?2 Erhebungbis, ?3 MindestStd, ?4/?5 the day numbers of the period's ends.
constexpr std::string_view kChildrenDays =
    R"(SELECT TOTAL((CASE WHEN d <= Val(?2) THEN dischargeDay ELSE ?5 END)
                  - (CASE WHEN a >= Val(?1) THEN admissionDay ELSE ?4 END) + 1)
       FROM (SELECT Val(substr(ADM_DATE, 1, 8)) AS a, Val(substr(DIS_DATE, 1, 8)) AS d,
                    DayNumber(ADM_DATE) AS admissionDay, DayNumber(DIS_DATE) AS dischargeDay,
                    Val(STUNDEN) AS hours, "Alter" AS age
             FROM "Gesamt - Patientenadministration")
       WHERE NOT (a < Val(?1) AND d < Val(?1)) AND NOT (a > Val(?2) AND d > Val(?2))
         AND hours >= Val(?3) AND ltrim(age) GLOB '[0-9]*' AND Val(age) < 16
         AND admissionDay IS NOT NULL AND dischargeDay IS NOT NULL;)";

// The day counts and score sums of the period in one pass over the work table. A day counts when
// it has a score; reported days are the delivered ones ("3"), with ?4 = 1 the substitutes too;
// missing days are the substitutes whatever ?4 says.
// ?1 Erhebungvon, ?2 Erhebungbis, ?3 MindestStd, ?4 1 when substitutes count.
constexpr std::string_view kDayFigures =
    R"(SELECT COUNT(CASE WHEN QUALIFIER <> '3' THEN T28_SCORE END),
              COUNT(CASE WHEN reported THEN T28_SCORE END),
              TOTAL(CASE WHEN reported THEN score END),
              COUNT(CASE WHEN reported AND score >= 16 THEN T28_SCORE END),
              TOTAL(CASE WHEN reported AND score >= 16 THEN score END)
       FROM (SELECT QUALIFIER, T28_SCORE, Val(T28_SCORE) AS score, (?4 OR QUALIFIER = '3') AS reported
             FROM "Satzart 3 - TISS28 TEMP"
             WHERE Val(REC_DATE) >= Val(?1) AND Val(REC_DATE) <= Val(?2) AND Val(STUNDEN) >= Val(?3));)";

// Score sums are sums of whole scores; three places keep any fraction a stored score might have.
constexpr int kSumPlaces = 3;

void BindPeriod(Statement& statement, const ClassificationRun& run) {
    statement.bind(1, std::string_view(run.Erhebungvon));
    statement.bind(2, std::string_view(run.Erhebungbis));
    statement.bind(3, std::string_view(run.MindestStd));
}

}  // namespace

void FillClassificationWorkTable(Database& department, const ClassificationRun& run) {
    // Emptied in a transaction of its own: the refill then reuses free pages, whose old content
    // need not be journaled again.
    department.execute(kEmptyWorkTable);
    Transaction transaction(department);
    department.execute(run.countsMultipleOnce() ? kMergeDayRecords : kCopyDayRecords);
    transaction.commit();
}

ClassificationFigures CountClassificationFigures(Database& department, const ClassificationRun& run) {
    ClassificationFigures figures;

    Statement children = department.prepare(kChildrenDays);
    BindPeriod(children, run);
    children.bind(4, DayNumber(run.Erhebungvon));
    children.bind(5, DayNumber(run.Erhebungbis));
    if (children.step() == StepResult::Row) figures.childrenDays = static_cast<long long>(children.real(0));

    Statement days = department.prepare(kDayFigures);
    BindPeriod(days, run);
    days.bind(4, run.countsSubstitutes() ? 1 : 0);
    if (days.step() == StepResult::Row) {
        figures.missingDays = days.integer(0);
        figures.reportedDays = days.integer(1);
        figures.overallMean =
            MeanOfScores(Decimal::fromDouble(days.real(2), kSumPlaces), figures.reportedDays);
        figures.classificationDays = days.integer(3);
        figures.classificationMean =
            MeanOfScores(Decimal::fromDouble(days.real(4), kSumPlaces), figures.classificationDays);
    }
    return figures;
}

ClassificationResult classifyDepartment(const std::string& systemDataPath, const ClassificationRun& run,
                                        const DepartmentInputs& inputs) {
    if (auto refusal = CheckClassificationRun(run)) throw std::invalid_argument(*refusal);
    ClassificationFigures figures;
    {
        Database department(JoinPath(systemDataPath, inputs.dataFileName), OpenMode::ReadWrite);
        RegisterClassificationFunctions(department);
        FillClassificationWorkTable(department, run);
        figures = CountClassificationFigures(department, run);
    }
    return RateDepartment(figures, inputs, PeriodDays(run));
}

}  // namespace kalvora
