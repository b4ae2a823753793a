#include "classification/department_entry.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"

namespace kalvora {
namespace {

Department Record() {
    Department record;
    record.kanr = "K123";
    record.abteilung = "12101001";
    record.dataFile = "12101001.123";
    record.hospitalName = "Krankenhaus Nord";
    record.departmentName = "Intensivstation";
    record.dgkp = 5.5;
    record.beds = 4;
    record.preset = "E2";
    return record;
}

ClassificationEntry Entry(const Department& record = Record()) { return EntryOfDepartment(record); }

// Columns by byte offset; the entries of these tests hold only single-byte characters.
std::string Columns(const std::string& entry, int first, int last) {
    return entry.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1));
}

TEST(DepartmentEntryTest, BuildDepartmentEntry_germanNotation_placesEveryFieldInItsColumns) {
    const std::string entry = BuildDepartmentEntry(Entry(), NumberNotation::German());
    ASSERT_EQ(entry.size(), 191u);
    EXPECT_EQ(Columns(entry, 1, 27), "K123 - Krankenhaus Nord    ");
    EXPECT_EQ(Columns(entry, 28, 29), "  ");
    EXPECT_EQ(Columns(entry, 30, 35), "  5,50");
    EXPECT_EQ(Columns(entry, 36, 39), "    ");
    EXPECT_EQ(Columns(entry, 40, 42), "  4");
    EXPECT_EQ(Columns(entry, 43, 47), "     ");
    EXPECT_EQ(Columns(entry, 48, 52), " 1,38");
    EXPECT_EQ(Columns(entry, 53, 60), "        ");
    EXPECT_EQ(Columns(entry, 61, 62), "E2");
    EXPECT_EQ(Columns(entry, 63, 68), "      ");
    EXPECT_EQ(Columns(entry, 69, 179), "12101001 - Intensivstation" + std::string(85, ' '));
    EXPECT_EQ(Columns(entry, 180, 191), "12101001.123");
}

TEST(DepartmentEntryTest, BuildDepartmentEntry_plainNotation_usesPoint) {
    const std::string entry = BuildDepartmentEntry(Entry(), NumberNotation::Plain());
    EXPECT_EQ(Columns(entry, 30, 35), "  5.50");
    EXPECT_EQ(Columns(entry, 48, 52), " 1.38");
}

TEST(DepartmentEntryTest, BuildDepartmentEntry_noBeds_writesDialogZeroRatio) {
    Department record = Record();
    record.beds = 0;
    record.preset = " ";
    const std::string entry = BuildDepartmentEntry(Entry(record), NumberNotation::German());
    EXPECT_EQ(Columns(entry, 40, 42), "  0");
    EXPECT_EQ(Columns(entry, 48, 52), " 0.00");
    EXPECT_EQ(Columns(entry, 61, 62), "  ");
}

TEST(DepartmentEntryTest, BuildDepartmentEntry_tooLongValuesAndMissingNames_keepColumns) {
    Department record = Record();
    record.dgkp = 12345.67;
    record.beds = -12;
    record.hospitalName.reset();
    record.departmentName.reset();
    const std::string entry = BuildDepartmentEntry(Entry(record), NumberNotation::German());
    EXPECT_EQ(Columns(entry, 1, 27), "K123 - " + std::string(20, ' '));
    EXPECT_EQ(Columns(entry, 30, 35), "12345,");
    EXPECT_EQ(Columns(entry, 40, 42), "-12");
    EXPECT_EQ(Columns(entry, 48, 52), " 0.00");
    EXPECT_EQ(Columns(entry, 69, 179), "12101001 - " + std::string(100, ' '));
}

TEST(DepartmentEntryTest, EntryReaders_namesWithUmlauts_countCharactersNotBytes) {
    Department record = Record();
    record.hospitalName = "Universitätsklinikum Süd";
    record.departmentName = "Kinderintensivstation für Frühgeborene";
    const ClassificationEntry entry = Entry(record);
    const std::string line = BuildDepartmentEntry(entry, NumberNotation::German());
    EXPECT_EQ(EntryHospitalText(entry), "K123 - Universitätsklinikum");
    EXPECT_EQ(EntryDgkpText(entry, NumberNotation::German()), "  5,50");
    EXPECT_EQ(EntryBedsText(entry), "  4");
    EXPECT_EQ(EntryPresetText(entry), "E2");
    EXPECT_EQ(EntryDepartmentText(entry),
              FixedWidth("12101001 - Kinderintensivstation für Frühgeborene", 111));
    EXPECT_EQ(EntryDataFileName(entry), "12101001.123");
    // The fields stand in the line at their columns, counted in characters.
    EXPECT_EQ(LineColumns(line, 1, 27), EntryHospitalText(entry));
    EXPECT_EQ(LineColumns(line, 69, 179), EntryDepartmentText(entry));
    EXPECT_EQ(LineColumns(line, 180, 191), "12101001.123");
}

// The classification takes the figures as the list shows them: what does not fit its columns is cut
// there, and what the columns show is what is classified.
struct InputsCase {
    double dgkp;
    long long beds;
    const char* preset;
    long long dgkpUnits;  // hundredths
    long long inputBeds;
    const char* inputPreset;
};

class EntryInputs : public ::testing::TestWithParam<InputsCase> {};

TEST_P(EntryInputs, figuresAsTheirColumnsShowThem) {
    const InputsCase& c = GetParam();
    Department record = Record();
    record.dgkp = c.dgkp;
    record.beds = c.beds;
    record.preset = c.preset;
    for (const NumberNotation& notation : {NumberNotation::German(), NumberNotation::Plain()}) {
        const DepartmentInputs inputs = DepartmentInputsOf(Entry(record), notation);
        EXPECT_EQ(inputs.dgkp.rescaled(2).units, c.dgkpUnits) << c.dgkp;
        EXPECT_EQ(inputs.beds, c.inputBeds) << c.beds;
        EXPECT_EQ(inputs.preset, c.inputPreset);
        EXPECT_EQ(inputs.dataFileName, "12101001.123");
    }
}

INSTANTIATE_TEST_SUITE_P(Columns, EntryInputs,
                         ::testing::Values(InputsCase{5.5, 4, "E2", 550, 4, "E2"},
                                           InputsCase{999.99, 999, "", 99999, 999, "  "},
                                           InputsCase{1234.56, 1000, "E3", 123450, 100, "E3"},
                                           InputsCase{-12.5, -12, " ", -1250, -12, "  "},
                                           InputsCase{0.0, 0, "E0", 0, 0, "E0"}));

TEST(DepartmentEntryTest, WithStaffing_newValues_replacesStaffingColumnsOnly) {
    const ClassificationEntry entry = Entry();
    const std::string before = BuildDepartmentEntry(entry, NumberNotation::German());
    const ClassificationEntry edited = WithStaffing(entry, {{825, 2}, 6, ""});
    const std::string rewritten = BuildDepartmentEntry(edited, NumberNotation::German());
    ASSERT_EQ(rewritten.size(), before.size());
    EXPECT_EQ(Columns(rewritten, 1, 29), Columns(before, 1, 29));
    EXPECT_EQ(Columns(rewritten, 30, 35), "  8,25");
    EXPECT_EQ(Columns(rewritten, 40, 42), "  6");
    EXPECT_EQ(Columns(rewritten, 48, 52), " 1,38");
    EXPECT_EQ(Columns(rewritten, 61, 62), "  ");
    EXPECT_EQ(rewritten.substr(68), before.substr(68));
    const DepartmentInputs inputs = DepartmentInputsOf(edited, NumberNotation::German());
    EXPECT_EQ(inputs.dgkp.units, 825);
    EXPECT_EQ(inputs.beds, 6);
}

TEST(DepartmentEntryTest, WithStaffing_noBeds_writesZeroRatioInNotation) {
    const ClassificationEntry edited = WithStaffing(Entry(), {{550, 2}, 0, "E1"});
    EXPECT_EQ(Columns(BuildDepartmentEntry(edited, NumberNotation::German()), 48, 52), " 0,00");
    EXPECT_EQ(Columns(BuildDepartmentEntry(edited, NumberNotation::Plain()), 48, 52), " 0.00");
}

}  // namespace
}  // namespace kalvora
