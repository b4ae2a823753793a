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

// Columns by byte offset; the entries of these tests hold only single-byte characters.
std::string Columns(const std::string& entry, int first, int last) {
    return entry.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1));
}

TEST(DepartmentEntryTest, BuildDepartmentEntry_germanNotation_placesEveryFieldInItsColumns) {
    const std::string entry = BuildDepartmentEntry(Record(), NumberNotation::German());
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
    const std::string entry = BuildDepartmentEntry(Record(), NumberNotation::Plain());
    EXPECT_EQ(Columns(entry, 30, 35), "  5.50");
    EXPECT_EQ(Columns(entry, 48, 52), " 1.38");
}

TEST(DepartmentEntryTest, BuildDepartmentEntry_noBeds_writesDialogZeroRatio) {
    Department record = Record();
    record.beds = 0;
    record.preset = " ";
    const std::string entry = BuildDepartmentEntry(record, NumberNotation::German());
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
    const std::string entry = BuildDepartmentEntry(record, NumberNotation::German());
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
    const std::string entry = BuildDepartmentEntry(record, NumberNotation::German());
    EXPECT_EQ(EntryHospitalText(entry), "K123 - Universitätsklinikum");
    EXPECT_EQ(EntryDgkpText(entry), "  5,50");
    EXPECT_EQ(EntryBedsText(entry), "  4");
    EXPECT_EQ(EntryPresetText(entry), "E2");
    EXPECT_EQ(EntryDepartmentText(entry),
              FixedWidth("12101001 - Kinderintensivstation für Frühgeborene", 111));
    EXPECT_EQ(EntryDataFileName(entry), "12101001.123");
    EXPECT_EQ(EntryKanr(entry), "K123");
    EXPECT_EQ(EntryAbteilung(entry), "12101001");
}

TEST(DepartmentEntryTest, DepartmentInputsFromEntry_readsDgkpInNotationAndBedsAsWholeNumber) {
    const std::string entry = BuildDepartmentEntry(Record(), NumberNotation::German());
    const DepartmentInputs inputs = DepartmentInputsFromEntry(entry, NumberNotation::German());
    EXPECT_EQ(inputs.dgkp.units, 550);
    EXPECT_EQ(inputs.beds, 4);
    EXPECT_EQ(inputs.preset, "E2");
    EXPECT_EQ(inputs.dataFileName, "12101001.123");
}

TEST(DepartmentEntryTest, RewriteDepartmentEntry_newValues_replacesStaffingColumnsOnly) {
    const std::string entry = BuildDepartmentEntry(Record(), NumberNotation::German());
    const std::string rewritten = RewriteDepartmentEntry(entry, {{825, 2}, 6, ""}, NumberNotation::German());
    ASSERT_EQ(rewritten.size(), entry.size());
    EXPECT_EQ(Columns(rewritten, 1, 29), Columns(entry, 1, 29));
    EXPECT_EQ(Columns(rewritten, 30, 35), "  8,25");
    EXPECT_EQ(Columns(rewritten, 40, 42), "  6");
    EXPECT_EQ(Columns(rewritten, 48, 52), " 1,38");
    EXPECT_EQ(Columns(rewritten, 61, 62), "  ");
    EXPECT_EQ(rewritten.substr(68), entry.substr(68));
}

TEST(DepartmentEntryTest, RewriteDepartmentEntry_noBeds_writesZeroRatioInNotation) {
    const std::string entry = BuildDepartmentEntry(Record(), NumberNotation::German());
    EXPECT_EQ(Columns(RewriteDepartmentEntry(entry, {{550, 2}, 0, "E1"}, NumberNotation::German()), 48, 52),
              " 0,00");
    EXPECT_EQ(Columns(RewriteDepartmentEntry(entry, {{550, 2}, 0, "E1"}, NumberNotation::Plain()), 48, 52),
              " 0.00");
}

}  // namespace
}  // namespace kalvora
