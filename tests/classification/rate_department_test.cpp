#include "classification/rate_department.h"

#include <gtest/gtest.h>

#include <string>

#include "classification/level_table.h"

namespace kalvora {
namespace {

constexpr long long kLongPeriod = 366;

ClassificationFigures Figures(long long overallTenths, long long classificationTenths,
                              long long reported = 1000, long long children = 0) {
    ClassificationFigures figures;
    figures.overallMean = {overallTenths, 1};
    figures.classificationMean = {classificationTenths, 1};
    figures.reportedDays = reported;
    figures.classificationDays = reported;
    figures.childrenDays = children;
    return figures;
}

DepartmentInputs Inputs(long long dgkpHundredths, long long beds, std::string preset = "  ") {
    DepartmentInputs inputs;
    inputs.dataFileName = "12101001.123";
    inputs.dgkp = {dgkpHundredths, 2};
    inputs.beds = beds;
    inputs.preset = std::move(preset);
    return inputs;
}

struct LevelCase {
    long long dgkpPerBedHundredths;
    long long classificationMeanTenths;
    int level;
};

class LevelBoundaryTest : public ::testing::TestWithParam<LevelCase> {};

TEST_P(LevelBoundaryTest, RateDepartment_atBoundary_givesSmallerPartialLevel) {
    const LevelCase& c = GetParam();
    // One bed, so DGKP equals DGKP per bed.
    const ClassificationResult result =
        RateDepartment(Figures(c.classificationMeanTenths, c.classificationMeanTenths),
                       Inputs(c.dgkpPerBedHundredths, 1), kLongPeriod);
    EXPECT_EQ(result.level, c.level);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, LevelBoundaryTest,
                         ::testing::Values(LevelCase{150, 400, 0}, LevelCase{149, 400, -1},
                                           LevelCase{300, 400, 3}, LevelCase{299, 400, 2},
                                           LevelCase{250, 400, 2}, LevelCase{200, 400, 1},
                                           LevelCase{199, 400, 0}, LevelCase{400, 220, 1},
                                           LevelCase{400, 219, 0}, LevelCase{400, 270, 2},
                                           LevelCase{400, 320, 3}, LevelCase{400, 0, 0},
                                           LevelCase{100, 400, -1}));

TEST(RateDepartmentTest, RateDepartment_levelOneExample_gives799Points) {
    DepartmentInputs inputs = Inputs(430, 2);  // 4.30 / 2 beds = 2.15
    const ClassificationResult result = RateDepartment(Figures(243, 230), inputs, kLongPeriod);
    EXPECT_EQ(result.level, 1);
    EXPECT_EQ(result.levelText, "Stufe 1                 ");
    EXPECT_EQ(result.dgkpPerBed.units, 215);
    EXPECT_EQ(result.tissExcess.units, 23);
    EXPECT_EQ(result.dgkpExcess.units, 15);
    EXPECT_EQ(result.factor, 15);
    EXPECT_EQ(result.basePoints, 748);
    EXPECT_EQ(result.pointsPerTenth.units, 34);
    EXPECT_EQ(result.points, 799);
    EXPECT_EQ(result.comment, "");
}

TEST(RateDepartmentTest, RateDepartment_presetE0HighFigures_capsPointsAt657) {
    const ClassificationResult result = RateDepartment(Figures(400, 400), Inputs(295, 1, "E0"), kLongPeriod);
    EXPECT_EQ(result.level, 0);
    EXPECT_EQ(result.tissExcess.units, 230);
    EXPECT_EQ(result.dgkpExcess.units, 145);
    EXPECT_EQ(result.factor, 145);
    EXPECT_EQ(result.points, 657);
}

TEST(RateDepartmentTest, RateDepartment_presetE2WithLowStaffing_givesLevelTwoWithoutRemark) {
    const ClassificationResult result = RateDepartment(Figures(250, 250), Inputs(120, 1, "E2"), kLongPeriod);
    EXPECT_EQ(result.level, 2);
    EXPECT_EQ(result.dgkpExcess.units, -130);
    EXPECT_EQ(result.factor, 0);
    EXPECT_EQ(result.points, 1134);
    EXPECT_EQ(result.comment, "");
}

TEST(RateDepartmentTest, RateDepartment_noBedsNoPreset_givesNoLevelAndOnlyStaffingRemark) {
    const ClassificationResult result = RateDepartment(Figures(300, 300, 1000), Inputs(500, 0), kLongPeriod);
    EXPECT_EQ(result.level, kNoLevel);
    EXPECT_EQ(result.levelText, "Keine Einstufung möglich");
    EXPECT_EQ(result.dgkpPerBed.units, 0);
    EXPECT_EQ(result.points, 0);
    EXPECT_EQ(result.basePoints, 0);
    EXPECT_EQ(result.factor, 0);
    EXPECT_EQ(result.tissExcess.units, 0);
    EXPECT_EQ(result.dgkpExcess.units, 0);
    EXPECT_EQ(result.pointsPerTenth.units, 0);
    EXPECT_EQ(result.comment, remarks::NoStaffingLevel);
}

TEST(RateDepartmentTest, RateDepartment_allRemarks_appendsThemInOrderWithoutSeparator) {
    // No staffing level, 10 % children's days, 30 days, 10 reported days of 1 bed * 30 days.
    const ClassificationResult result = RateDepartment(Figures(200, 200, 10, 1), Inputs(100, 1), 30);
    EXPECT_EQ(result.comment, std::string(remarks::NoStaffingLevel) + std::string(remarks::ChildrenShare) +
                                  std::string(remarks::ShortPeriod) + std::string(remarks::LowOccupancy));
}

TEST(RateDepartmentTest, RateDepartment_overallMeanBelowBase_givesFactorZero) {
    const ClassificationResult result = RateDepartment(Figures(150, 270), Inputs(250, 1), kLongPeriod);
    EXPECT_EQ(result.level, 2);
    EXPECT_EQ(result.tissExcess.units, -120);
    EXPECT_EQ(result.factor, 0);
    EXPECT_EQ(result.points, 1134);
}

TEST(RateDepartmentTest, RateDepartment_invalidPresetText_computesLevel) {
    const ClassificationResult result = RateDepartment(Figures(270, 270), Inputs(250, 1, "E7"), kLongPeriod);
    EXPECT_EQ(result.level, 2);
}

struct RemarkCase {
    long long reported;
    long long children;
    long long beds;
    long long periodDays;
    std::string comment;
};

class RemarkBoundaryTest : public ::testing::TestWithParam<RemarkCase> {};

TEST_P(RemarkBoundaryTest, RateDepartment_atRemarkBoundary_addsRemarkOnlyBeyondIt) {
    const RemarkCase& c = GetParam();
    // DGKP per bed 2.00 keeps the staffing remark away.
    const ClassificationResult result =
        RateDepartment(Figures(250, 250, c.reported, c.children), Inputs(200 * c.beds, c.beds), c.periodDays);
    EXPECT_EQ(result.comment, c.comment);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, RemarkBoundaryTest,
    ::testing::Values(RemarkCase{100, 5, 1, 100, ""},                                   // 5 % children
                      RemarkCase{100, 6, 1, 100, std::string(remarks::ChildrenShare)},  // 6 %
                      RemarkCase{35, 0, 1, 100, ""},                                    // 35 % occupancy
                      RemarkCase{34, 0, 1, 100, std::string(remarks::LowOccupancy)},    // 34 %
                      RemarkCase{90, 0, 1, 90, ""},                                     // 90 days
                      RemarkCase{89, 0, 1, 89, std::string(remarks::ShortPeriod)},      // 89 days
                      RemarkCase{0, 50, 1, 100, std::string(remarks::LowOccupancy)}));  // no reported days

TEST(MeanOfScoresTest, MeanOfScores_exactHalf_roundsAwayFromZero) {
    EXPECT_EQ(MeanOfScores({449, 0}, 20).units, 225);  // 22.45
    EXPECT_EQ(MeanOfScores({448, 0}, 20).units, 224);  // 22.40
    EXPECT_EQ(MeanOfScores({24000, 3}, 1).units, 240);
    EXPECT_EQ(MeanOfScores({100, 0}, 0).units, 0);
}

TEST(DgkpPerBedTest, DgkpPerBed_roundsToTwoPlacesAndNeedsOneBed) {
    EXPECT_EQ(DgkpPerBed({550, 2}, 4).units, 138);  // 1.375
    EXPECT_EQ(DgkpPerBed({500, 2}, 0).units, 0);
    EXPECT_EQ(DgkpPerBed({500, 2}, -3).units, 0);
    EXPECT_EQ(DgkpPerBed({-500, 2}, 3).units, -167);
}

}  // namespace
}  // namespace kalvora
