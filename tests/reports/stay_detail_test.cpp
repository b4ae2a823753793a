#include "reports/stay_detail.h"

#include <gtest/gtest.h>

#include "support/department_fixture.h"

namespace kalvora {
namespace {

using test::StayFixture;
using test::SurveyDayFixture;
using test::SystemFixture;

class StayDetailTest : public ::testing::Test {
protected:
    void SetUp() override { path = system.addDepartment("K001", "12101001", "12101001.001"); }

    SystemFixture system;
    std::string path;
    const StayKey key{"4711      ", "19600201", "201201010800"};
};

TEST_F(StayDetailTest, load_listsOnlyQualifierThreeInDateOrder) {
    StayFixture stay{"4711      ", "19600201", "201201010800", "201201050800"};
    stay.hospDisDate = "20120110";
    stay.hospMort = "2";
    stay.days = {SurveyDayFixture{"20120103", "3", "1" + std::string(27, '0'), "005"},
                 SurveyDayFixture{"20120101", "3", "01" + std::string(26, '0'), "001"},
                 SurveyDayFixture{"20120102", "M", std::string(28, ' '), "000"},
                 SurveyDayFixture{"20120105", "L", std::string(28, ' '), "005"},
                 SurveyDayFixture{"20120104", "3", std::string(27, '0') + "1", "005"}};
    system.addStay("12101001.001", stay);

    Result<StayDetail> result = LoadStayDetail(path, key);

    ASSERT_TRUE(result.ok()) << result.message();
    const StayDetail& detail = *result;
    EXPECT_TRUE(detail.hasRecordType1);
    EXPECT_EQ(detail.disDate, "201201050800");
    EXPECT_EQ(detail.hospDisDate, "20120110");
    EXPECT_EQ(detail.hospMort, "2");
    ASSERT_EQ(detail.surveyDays.size(), 3U);
    EXPECT_EQ(detail.surveyDays[0].recordDate, "20120101");
    EXPECT_EQ(detail.surveyDays[1].recordDate, "20120103");
    EXPECT_EQ(detail.surveyDays[2].recordDate, "20120104");
    EXPECT_EQ(detail.surveyDays[0].items[1], "1");
    EXPECT_EQ(detail.surveyDays[0].items[0], "0");
    EXPECT_EQ(detail.surveyDays[1].items[0], "1");
    EXPECT_EQ(detail.surveyDays[2].items[27], "1");
    EXPECT_EQ(detail.surveyDays[2].score, "005");
}

TEST_F(StayDetailTest, load_withoutRecordType1TakesDischargeFromStayRow) {
    StayFixture stay{"4711      ", "19600201", "201201010800", "201201050800"};
    stay.withRecordType1 = false;
    stay.icuOutcome = "3";
    system.addStay("12101001.001", stay);

    Result<StayDetail> result = LoadStayDetail(path, key);

    ASSERT_TRUE(result.ok()) << result.message();
    EXPECT_FALSE(result->hasRecordType1);
    EXPECT_EQ(result->disDate, "201201050800");
    EXPECT_EQ(result->icuOutcome, "3");
    EXPECT_EQ(result->hospDisDate, "");
    EXPECT_TRUE(result->surveyDays.empty());
}

TEST_F(StayDetailTest, load_unknownStayGivesMessage) {
    Result<StayDetail> result = LoadStayDetail(path, key);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.message(), "Der Aufenthalt ist in der Abteilungsdatenbank nicht vorhanden!");
    EXPECT_EQ(LoadStayDetail(path + ".fehlt", key).message(),
              "Die Abteilungsdatenbank 12101001.001.fehlt fehlt im Systemdatenverzeichnis!");
}

struct EntryCase {
    const char* value;
    int icuOutcome;
    int hospitalStatus;
};

class DetailEntries : public ::testing::TestWithParam<EntryCase> {};

TEST_P(DetailEntries, entries_followStoredValue) {
    EXPECT_EQ(IcuOutcomeEntry(GetParam().value), GetParam().icuOutcome);
    EXPECT_EQ(HospitalStatusEntry(GetParam().value), GetParam().hospitalStatus);
}

INSTANTIATE_TEST_SUITE_P(Values, DetailEntries,
                         ::testing::Values(EntryCase{"0", 0, 0}, EntryCase{"1", 1, 1}, EntryCase{"2", 2, 2},
                                           EntryCase{"3", 3, 0}, EntryCase{"4", 4, 0}, EntryCase{"5", 0, 0},
                                           EntryCase{"", 0, 0}, EntryCase{"x", 0, 0}, EntryCase{"2.5", 2, 0},
                                           EntryCase{"1.5", 2, 2}));

TEST(DetailView, itemsAndScore_showAsTheViewShowsThem) {
    EXPECT_TRUE(IsItemTicked("1"));
    EXPECT_FALSE(IsItemTicked("0"));
    EXPECT_FALSE(IsItemTicked("2"));
    EXPECT_FALSE(IsItemTicked(""));
    EXPECT_EQ(ScoreDisplay("027"), "27");
    EXPECT_EQ(ScoreDisplay("000"), "0");
    EXPECT_EQ(ScoreDisplay("   "), "");
    EXPECT_EQ(kIcuOutcomeEntries[IcuOutcomeEntry("3")], "Gestorben");
    EXPECT_EQ(kHospitalStatusEntries[HospitalStatusEntry("2")], "Entlassen");
}

}  // namespace
}  // namespace kalvora
