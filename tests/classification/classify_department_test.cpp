#include "classification/classify_department.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "classification/classification_sql_functions.h"
#include "classification/rate_department.h"
#include "classification_fixture.h"
#include "store/database.h"

namespace kalvora {
namespace {

using test::ClassificationFixture;
using test::DayData;
using test::StayData;

constexpr const char* kFile = "12101001.123";

ClassificationRun PeriodRun(const std::string& minimumHours = "0 ", const std::string& multiple = "N",
                            const std::string& substitutes = "N") {
    return {"20120101", "20121231", minimumHours, multiple, substitutes};
}

DepartmentInputs Inputs(long long dgkpHundredths = 1000, long long beds = 4,
                        const std::string& preset = "  ") {
    return {kFile, {dgkpHundredths, 2}, beds, preset};
}

class ClassifyDepartmentTest : public ::testing::Test {
protected:
    ClassifyDepartmentTest() { fixture.addDepartment("K123", "12101001", kFile, 10.0, 4, " "); }

    StayData stay(const std::string& kisId, const std::string& admission = "201203010800",
                  const std::string& discharge = "201203051000") {
        StayData data;
        data.kisId = kisId;
        data.admission = admission;
        data.discharge = discharge;
        return data;
    }

    ClassificationResult classify(const ClassificationRun& run, const DepartmentInputs& inputs = Inputs()) {
        return ClassifyDepartment(fixture.systemDir(), run, inputs).value();
    }

    ClassificationFixture fixture;
};

TEST_F(ClassifyDepartmentTest, classifyDepartment_deliveredDays_countsAndAveragesThem) {
    const StayData s = stay("1");
    fixture.addStay(kFile, s);
    fixture.addDay(kFile, s, {"20120301", "010"});
    fixture.addDay(kFile, s, {"20120302", "030"});
    fixture.addDay(kFile, s, {"20120303", "025"});
    fixture.addDay(kFile, s, {"20111231", "070"});  // before the period

    const ClassificationResult result = classify(PeriodRun());
    EXPECT_EQ(result.reportedDays, 3);
    EXPECT_EQ(result.overallMean.units, 217);  // 65 / 3 = 21.67
    EXPECT_EQ(result.classificationDays, 2);
    EXPECT_EQ(result.classificationMean.units, 275);
    EXPECT_EQ(result.missingDays, 0);
    EXPECT_EQ(result.dgkpPerBed.units, 250);
    EXPECT_EQ(result.level, 2);
}

TEST_F(ClassifyDepartmentTest, classifyDepartment_noDays_givesZeroFiguresAndTissLevelZero) {
    const ClassificationResult result = classify(PeriodRun());
    EXPECT_EQ(result.reportedDays, 0);
    EXPECT_EQ(result.overallMean.units, 0);
    EXPECT_EQ(result.classificationMean.units, 0);
    EXPECT_EQ(result.level, 0);
    EXPECT_EQ(result.comment, remarks::LowOccupancy);
}

TEST_F(ClassifyDepartmentTest, classifyDepartment_multipleTissJ_countsOnePatientDayOnceWithHighestScore) {
    // Two stays of one patient with a record on the same survey day.
    const StayData first = stay("1", "201203010800", "201203011200");
    const StayData second = stay("1", "201203011500", "201203031000");
    fixture.addStay(kFile, first);
    fixture.addStay(kFile, second);
    fixture.addDay(kFile, first, {"20120301", "018"});
    fixture.addDay(kFile, second, {"20120301", "025"});

    const ClassificationResult merged = classify(PeriodRun("0 ", "J"));
    EXPECT_EQ(merged.reportedDays, 1);
    EXPECT_EQ(merged.overallMean.units, 250);

    const ClassificationResult separate = classify(PeriodRun("0 ", "N"));
    EXPECT_EQ(separate.reportedDays, 2);
    EXPECT_EQ(separate.overallMean.units, 215);
}

TEST_F(ClassifyDepartmentTest, classifyDepartment_multipleTissJ_takesHighestHoursByNumericValue) {
    StayData first = stay("1", "201203010800", "201203011700");
    first.hours = "9 ";
    StayData second = stay("1", "201203011800", "201203020600");
    second.hours = "12";
    fixture.addStay(kFile, first);
    fixture.addStay(kFile, second);
    fixture.addDay(kFile, first, {"20120301", "020"});
    fixture.addDay(kFile, second, {"20120301", "030"});

    // Compared as text "9 " would win over "12" and the merged day would miss 10 hours.
    const ClassificationResult result = classify(PeriodRun("10", "J"));
    EXPECT_EQ(result.reportedDays, 1);
    EXPECT_EQ(result.overallMean.units, 300);

    Database department = fixture.openDepartment(kFile);
    Statement work = department.prepare("SELECT T28_SCORE, STUNDEN FROM \"Satzart 3 - TISS28 TEMP\"");
    ASSERT_EQ(work.step(), StepResult::Row);
    EXPECT_EQ(work.text(0), "030");
    EXPECT_EQ(work.text(1), "12");
    EXPECT_EQ(work.step(), StepResult::Done);
}

TEST_F(ClassifyDepartmentTest,
       classifyDepartment_multipleTissJ_mergesOnlySameQualifierAndSkipsMissingScores) {
    const StayData first = stay("1", "201203010800", "201203011200");
    const StayData second = stay("1", "201203011500", "201203031000");
    const StayData third = stay("1", "201203031500", "201203041000");
    fixture.addStay(kFile, first);
    fixture.addStay(kFile, second);
    fixture.addStay(kFile, third);
    DayData withoutScore{"20120301"};
    withoutScore.nullScore = true;
    fixture.addDay(kFile, first, withoutScore);
    fixture.addDay(kFile, second, {"20120301", "021"});
    fixture.addDay(kFile, second, {"20120303", "030", "L"});
    fixture.addDay(kFile, third, {"20120303", "012"});

    const ClassificationResult result = classify(PeriodRun("0 ", "J"));
    EXPECT_EQ(result.reportedDays, 2);
    EXPECT_EQ(result.overallMean.units, 165);
    EXPECT_EQ(result.missingDays, 1);
}

TEST_F(ClassifyDepartmentTest,
       classifyDepartment_substituteDays_countAsMissingAndInMeansOnlyWithErsatzTissJ) {
    const StayData s = stay("1");
    fixture.addStay(kFile, s);
    fixture.addDay(kFile, s, {"20120301", "020"});
    fixture.addDay(kFile, s, {"20120302", "000", "M"});
    fixture.addDay(kFile, s, {"20120303", "020", "L"});

    const ClassificationResult without = classify(PeriodRun("0 ", "N", "N"));
    EXPECT_EQ(without.reportedDays, 1);
    EXPECT_EQ(without.missingDays, 2);
    EXPECT_EQ(without.overallMean.units, 200);
    EXPECT_EQ(without.classificationDays, 1);

    const ClassificationResult with = classify(PeriodRun("0 ", "N", "J"));
    EXPECT_EQ(with.reportedDays, 3);
    EXPECT_EQ(with.missingDays, 2);
    EXPECT_EQ(with.overallMean.units, 133);  // 40 / 3
    EXPECT_EQ(with.classificationDays, 2);
    EXPECT_EQ(with.classificationMean.units, 200);
}

TEST_F(ClassifyDepartmentTest, classifyDepartment_dayWithoutScore_isNotCounted) {
    const StayData s = stay("1");
    fixture.addStay(kFile, s);
    fixture.addDay(kFile, s, {"20120301", "020"});
    DayData empty{"20120302"};
    empty.nullScore = true;
    fixture.addDay(kFile, s, empty);
    EXPECT_EQ(classify(PeriodRun()).reportedDays, 1);
}

TEST_F(ClassifyDepartmentTest, classifyDepartment_shortStayBelowMinimumHours_isLeftOutEverywhere) {
    StayData child = stay("1", "201203010800", "201203011100");
    child.hours = "3 ";
    child.age = "4";
    fixture.addStay(kFile, child);
    fixture.addDay(kFile, child, {"20120301", "020"});
    const StayData adult = stay("2", "201203010800", "201203101000");
    fixture.addStayWithDays(kFile, adult, 1, 10, "201203", "020");

    const ClassificationResult excluded = classify(PeriodRun("4 "), Inputs(1000, 0));
    EXPECT_EQ(excluded.reportedDays, 10);
    EXPECT_EQ(excluded.comment.find(remarks::ChildrenShare), std::string::npos);

    // With 3 hours the child's day counts: 1 children's day of 11 reported days is above 5 %.
    const ClassificationResult included = classify(PeriodRun("3 "), Inputs(1000, 0));
    EXPECT_EQ(included.reportedDays, 11);
    EXPECT_NE(included.comment.find(remarks::ChildrenShare), std::string::npos);
}

TEST_F(ClassifyDepartmentTest, CountClassificationFigures_childStays_countCalendarDaysInsidePeriod) {
    StayData acrossStart = stay("1", "201112280800", "201201031000");  // 01.01. to 03.01.: 3 days
    acrossStart.age = "15";
    StayData inside = stay("2", "201203010800", "201203041000");  // 4 days
    inside.age = "2";
    StayData acrossEnd = stay("3", "201212300800", "201301051000");  // 30.12. to 31.12.: 2 days
    acrossEnd.age = "0";
    StayData adult = stay("4", "201203010800", "201203041000");
    adult.age = "16";
    StayData before = stay("5", "201112010800", "201112051000");
    before.age = "3";
    StayData unknownAge = stay("6", "201203010800", "201203041000");
    unknownAge.age = " ";
    StayData noDischarge = stay("7", "201203010800", "");
    noDischarge.age = "5";
    StayData notIcu = stay("8", "201204010800", "201204011000");  // counted whatever TYP and FLAG say
    notIcu.age = "7";
    notIcu.typ = "";
    notIcu.flag = "U";
    for (const StayData& s : {acrossStart, inside, acrossEnd, adult, before, unknownAge, noDischarge, notIcu})
        fixture.addStay(kFile, s);

    Database department = fixture.openDepartment(kFile);
    RegisterClassificationFunctions(department);
    const ClassificationFigures figures = CountClassificationFigures(department, PeriodRun());
    EXPECT_EQ(figures.childrenDays, 3 + 4 + 2 + 1);
}

TEST_F(ClassifyDepartmentTest, classifyDepartment_runTwice_refillsWorkTableOnce) {
    const StayData s = stay("1");
    fixture.addStayWithDays(kFile, s, 1, 3, "201203", "020");
    classify(PeriodRun());
    classify(PeriodRun());
    Database department = fixture.openDepartment(kFile);
    EXPECT_EQ(department.scalar("SELECT count(*) FROM \"Satzart 3 - TISS28 TEMP\""), 3);
}

TEST_F(ClassifyDepartmentTest, classifyDepartment_blankInvalidOrReversedPeriod_isRefused) {
    for (const auto& [from, to] : {std::pair{"        ", "20121231"}, std::pair{"20120101", "20121232"},
                                   std::pair{"unknown ", "20121231"}, std::pair{"2012011", "20121231"},
                                   std::pair{"20121231", "20120101"}}) {
        ClassificationRun run = PeriodRun();
        run.Erhebungvon = from;
        run.Erhebungbis = to;
        const Outcome checked = CheckClassificationRun(run);
        ASSERT_FALSE(checked.ok()) << from << " " << to;
        const Result<ClassificationResult> refused = ClassifyDepartment(fixture.systemDir(), run, Inputs());
        ASSERT_FALSE(refused.ok());
        EXPECT_EQ(refused.message(), checked.message());
    }
}

TEST_F(ClassifyDepartmentTest, classifyDepartment_missingDatabase_failsNamingTheFile) {
    const Result<ClassificationResult> result =
        ClassifyDepartment(fixture.systemDir(), PeriodRun(), {"missing.123", {0, 2}, 1, "  "});
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.message().find("missing.123"), std::string::npos) << result.message();
}

}  // namespace
}  // namespace kalvora
