#include "classification/department_entry.h"

#include "base/text.h"
#include "classification/rate_department.h"

namespace kalvora {

namespace {

constexpr int kHospitalWidth = 27;
constexpr int kHospitalNameWidth = 20;
constexpr int kDgkpWidth = 6;
constexpr int kBedsWidth = 3;
constexpr int kRatioWidth = 5;
constexpr int kPresetWidth = 2;
constexpr int kDepartmentWidth = 111;
constexpr int kDepartmentNameWidth = 100;
constexpr int kDataFileWidth = 12;

// Right-aligned in `width`, blanks on the left; a longer text keeps its leftmost characters.
std::string RightAligned(std::string_view text, int width) {
    const std::size_t size = CharacterCount(text);
    const std::size_t wanted = static_cast<std::size_t>(width);
    if (size >= wanted) return FixedWidth(text, width);
    return std::string(wanted - size, ' ') + std::string(text);
}

std::string Blanks(int count) { return std::string(static_cast<std::size_t>(count), ' '); }

std::string RatioText(const ClassificationEntry& entry, const NumberNotation& notation) {
    const Staffing& staffing = entry.staffing;
    if (staffing.beds > 0) return TwoPlacesText(DgkpPerBed(staffing.dgkp, staffing.beds), notation);
    if (entry.staffingRewritten) return std::string(" 0") + notation.decimalSeparator + "00";
    return std::string(kDialogZeroRatio);
}

std::string BedsText(long long beds) { return RightAligned(std::to_string(beds), kBedsWidth); }

}  // namespace

std::string TwoPlacesText(const Decimal& value, const NumberNotation& notation) {
    return value.rescaled(2).toText(notation.decimalSeparator);
}

ClassificationEntry EntryOfDepartment(const Department& department) {
    ClassificationEntry entry;
    entry.department = department;
    entry.staffing = {Decimal::fromDouble(department.dgkp, 2), department.beds, department.preset};
    return entry;
}

ClassificationEntry WithStaffing(ClassificationEntry entry, const Staffing& staffing) {
    entry.staffing = staffing;
    entry.staffingRewritten = true;
    return entry;
}

std::string EntryHospitalText(const ClassificationEntry& entry) {
    const Department& department = entry.department;
    return FixedWidth(
        department.kanr + " - " + FixedWidth(department.hospitalName.value_or(""), kHospitalNameWidth),
        kHospitalWidth);
}

std::string EntryDgkpText(const ClassificationEntry& entry, const NumberNotation& notation) {
    return RightAligned(TwoPlacesText(entry.staffing.dgkp, notation), kDgkpWidth);
}

std::string EntryBedsText(const ClassificationEntry& entry) { return BedsText(entry.staffing.beds); }

std::string EntryPresetText(const ClassificationEntry& entry) {
    return FixedWidth(entry.staffing.preset, kPresetWidth);
}

std::string EntryDepartmentText(const ClassificationEntry& entry) {
    const Department& department = entry.department;
    return FixedWidth(department.abteilung + " - " +
                          FixedWidth(department.departmentName.value_or(""), kDepartmentNameWidth),
                      kDepartmentWidth);
}

std::string EntryDataFileName(const ClassificationEntry& entry) {
    return WithoutBlanks(FixedWidth(entry.department.dataFile, kDataFileWidth));
}

std::string BuildDepartmentEntry(const ClassificationEntry& entry, const NumberNotation& notation) {
    std::string line = EntryHospitalText(entry);
    line += Blanks(2);
    line += EntryDgkpText(entry, notation);
    line += Blanks(4);
    line += EntryBedsText(entry);
    line += Blanks(5);
    line += RightAligned(RatioText(entry, notation), kRatioWidth);
    line += Blanks(8);
    line += EntryPresetText(entry);
    line += Blanks(6);
    line += EntryDepartmentText(entry);
    const std::string& dataFile = entry.department.dataFile;
    line += std::string_view(dataFile).substr(0, ByteOffsetOfCharacter(dataFile, kDataFileWidth));
    return line;
}

DepartmentInputs DepartmentInputsOf(const ClassificationEntry& entry, const NumberNotation& notation) {
    DepartmentInputs inputs;
    const Staffing& staffing = entry.staffing;
    if (CharacterCount(TwoPlacesText(staffing.dgkp, notation)) <= static_cast<std::size_t>(kDgkpWidth)) {
        inputs.dgkp = staffing.dgkp.rescaled(2);
    } else if (auto shown = ParseLocaleNumber(EntryDgkpText(entry, notation), notation)) {
        inputs.dgkp = Decimal::fromDouble(*shown, 2);
    }
    inputs.beds = WholeNumericValue(EntryBedsText(entry));
    inputs.preset = EntryPresetText(entry);
    inputs.dataFileName = EntryDataFileName(entry);
    return inputs;
}

}  // namespace kalvora
