#include "reports/patient_search.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "reports/department_line.h"
#include "reports/patient_line.h"
#include "support/department_fixture.h"

namespace kalvora {
namespace {

using test::SystemFixture;

// Three departments; the admission number 4711 is stored in the first and the third.
class DepartmentSearch : public ::testing::Test {
protected:
    void SetUp() override {
        system.addDepartment("K001", "12101001", "12101001.001");
        system.addDepartment("K001", "12101002", "12101002.001");
        system.addDepartment("K001", "12101003", "12101003.001");
        system.addStay("12101001.001", {"4711      ", "19600201", "201201010800", "201201050800"});
        system.addStay("12101002.001", {"0815      ", "19700301", "201201010800", "201201050800"});
        system.addStay("12101003.001", {"4711      ", "19600201", "201202010800", "201202050800"});
        departments = LoadDepartments(system.systemPath()).value();
    }

    DepartmentSearchResult search(std::optional<std::size_t> selected, SearchStart start,
                                  const SearchTerms& terms) {
        return SearchDepartments(departments, selected, start, terms, system.systemPath());
    }

    SystemFixture system;
    std::vector<Department> departments;
};

TEST_F(DepartmentSearch, beginnenThenFortsetzen_walksThroughDepartmentsAndFallsBackToReference) {
    SearchTerms terms = MakeSearchTerms("4711", "");

    DepartmentSearchResult first = search(std::nullopt, SearchStart::FromFirst, terms);
    ASSERT_EQ(first.hit, 0U);

    DepartmentSearchResult second = search(first.current, SearchStart::AfterReference, terms);
    ASSERT_EQ(second.hit, 2U);

    DepartmentSearchResult third = search(second.current, SearchStart::AfterReference, terms);
    EXPECT_FALSE(third.hit.has_value());
    EXPECT_EQ(third.current, 2U);
}

TEST_F(DepartmentSearch, fortsetzenFromFirstLine_skipsFirstDepartment) {
    DepartmentSearchResult result = search(0, SearchStart::AfterReference, MakeSearchTerms("4711", ""));
    EXPECT_EQ(result.hit, 2U);
    DepartmentSearchResult fromFirst = search(0, SearchStart::FromFirst, MakeSearchTerms("4711", ""));
    EXPECT_EQ(fromFirst.hit, 0U);
}

struct ModeCase {
    const char* admissionNumber;
    const char* birthDate;
    std::optional<std::size_t> hit;
};

class DepartmentSearchModes : public DepartmentSearch, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(DepartmentSearchModes, search_findsFirstDepartmentOfMode) {
    const ModeCase& c = GetParam();
    EXPECT_EQ(
        search(std::nullopt, SearchStart::FromFirst, MakeSearchTerms(c.admissionNumber, c.birthDate)).hit,
        c.hit);
}

INSTANTIATE_TEST_SUITE_P(Modes, DepartmentSearchModes,
                         ::testing::Values(ModeCase{"0815", "", 1U}, ModeCase{"", "01.03.1970", 1U},
                                           ModeCase{"4711", "01.02.1960", 0U},
                                           ModeCase{"4711", "01.03.1970", std::nullopt},
                                           ModeCase{"471", "", std::nullopt}, ModeCase{"  0815  ", "", 1U}));

TEST_F(DepartmentSearch, missingDatabase_isSkippedAndNamed) {
    std::filesystem::remove(system.file("system/12101001.001"));
    DepartmentSearchResult result = search(std::nullopt, SearchStart::FromFirst, MakeSearchTerms("4711", ""));
    EXPECT_EQ(result.hit, 2U);
    ASSERT_EQ(result.skipped.size(), 1U);
    EXPECT_EQ(result.skipped[0], "Die Abteilungsdatenbank 12101001.001 fehlt im Systemdatenverzeichnis!");
}

TEST(SearchTerms, make_padsNumberAndConvertsBirthDate) {
    SearchTerms terms = MakeSearchTerms(" 12 ", "01.02.1960");
    EXPECT_EQ(terms.admissionNumber, "12        ");
    EXPECT_EQ(terms.birthDate, "19600201");
    EXPECT_EQ(SearchModeOf(terms), SearchMode::Both);
    EXPECT_EQ(SearchModeOf(MakeSearchTerms("", "  ")), SearchMode::None);
    EXPECT_EQ(SearchModeOf(SearchTerms{}), SearchMode::None);
}

TEST(SearchTerms, normaliseBirthDate_acceptsOnlyFourDigitYears) {
    EXPECT_EQ(NormaliseBirthDateEntry("1.2.1960"), "01.02.1960");
    EXPECT_EQ(NormaliseBirthDateEntry("19600201"), "01.02.1960");
    EXPECT_EQ(NormaliseBirthDateEntry("01.02.60"), std::nullopt);
    EXPECT_EQ(NormaliseBirthDateEntry("31.02.1960"), std::nullopt);
    EXPECT_EQ(NormaliseBirthDateEntry(""), "");
}

class PatientLevelSearch : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [kis, dob] :
             {std::pair{"0000000001", "19600201"}, std::pair{"0000000002", "19700301"},
              std::pair{"0000000003", "19600201"}, std::pair{"abc       ", "19800101"}})
            stays.push_back({{kis, dob, "201201010800"}, "201201050800", "INT", "O"});
    }
    std::vector<StayOverview> stays;
};

TEST_F(PatientLevelSearch, birthDate_findsFirstMatchingLineThenContinues) {
    SearchTerms terms = MakeSearchTerms("", "01.02.1960");
    PatientSearchResult first = SearchPatientStays(stays, 1, SearchStart::FromFirst, terms);
    ASSERT_EQ(first.hit, 0U);
    PatientSearchResult second = SearchPatientStays(stays, first.current, SearchStart::AfterReference, terms);
    ASSERT_EQ(second.hit, 2U);
    PatientSearchResult third = SearchPatientStays(stays, second.current, SearchStart::AfterReference, terms);
    EXPECT_FALSE(third.hit.has_value());
    EXPECT_EQ(third.current, 2U);
}

TEST_F(PatientLevelSearch, admissionNumber_comparesExactlyWithCase) {
    EXPECT_EQ(SearchPatientStays(stays, std::nullopt, SearchStart::FromFirst, MakeSearchTerms("abc", "")).hit,
              3U);
    EXPECT_FALSE(SearchPatientStays(stays, std::nullopt, SearchStart::FromFirst, MakeSearchTerms("ABC", ""))
                     .hit.has_value());
    EXPECT_EQ(
        SearchPatientStays(stays, 0, SearchStart::FromFirst, MakeSearchTerms("0000000003", "01.02.1960")).hit,
        2U);
}

TEST_F(PatientLevelSearch, emptyList_hasNoCurrentLine) {
    PatientSearchResult result =
        SearchPatientStays({}, std::nullopt, SearchStart::FromFirst, MakeSearchTerms("1", ""));
    EXPECT_FALSE(result.hit.has_value());
    EXPECT_FALSE(result.current.has_value());
}

}  // namespace
}  // namespace kalvora
