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
constexpr int kDepartmentStart = 69;

// Right-aligned in `width`, blanks on the left; a longer text keeps its leftmost characters.
std::string RightAligned(std::string_view text, int width) {
    const std::size_t size = CharacterCount(text);
    const std::size_t wanted = static_cast<std::size_t>(width);
    if (size >= wanted) return FixedWidth(text, width);
    return std::string(wanted - size, ' ') + std::string(text);
}

std::string Blanks(int count) { return std::string(static_cast<std::size_t>(count), ' '); }

std::string StaffingColumns(const Decimal& dgkp, long long beds, const std::string& ratio,
                            std::string_view preset, const NumberNotation& notation) {
    std::string columns = RightAligned(TwoPlacesText(dgkp, notation), kDgkpWidth);
    columns += Blanks(4);
    columns += RightAligned(std::to_string(beds), kBedsWidth);
    columns += Blanks(5);
    columns += RightAligned(ratio, kRatioWidth);
    columns += Blanks(8);
    columns += FixedWidth(preset, kPresetWidth);
    columns += Blanks(6);
    return columns;
}

}  // namespace

std::string TwoPlacesText(const Decimal& value, const NumberNotation& notation) {
    return value.rescaled(2).toText(notation.decimalSeparator);
}

std::string BuildDepartmentEntry(const Department& record, const NumberNotation& notation) {
    const Decimal dgkp = Decimal::fromDouble(record.dgkp, 2);
    const std::string ratio = record.beds > 0 ? TwoPlacesText(DgkpPerBed(dgkp, record.beds), notation)
                                              : std::string(kDialogZeroRatio);
    std::string entry =
        FixedWidth(record.kanr + " - " + FixedWidth(record.hospitalName.value_or(""), kHospitalNameWidth),
                   kHospitalWidth);
    entry += Blanks(2);
    entry += StaffingColumns(dgkp, record.beds, ratio, record.preset, notation);
    entry += FixedWidth(
        record.abteilung + " - " + FixedWidth(record.departmentName.value_or(""), kDepartmentNameWidth),
        kDepartmentWidth);
    entry +=
        std::string_view(record.dataFile).substr(0, ByteOffsetOfCharacter(record.dataFile, kDataFileWidth));
    return entry;
}

std::string RewriteDepartmentEntry(std::string_view entry, const Staffing& values,
                                   const NumberNotation& notation) {
    const std::string ratio = values.beds > 0 ? TwoPlacesText(DgkpPerBed(values.dgkp, values.beds), notation)
                                              : std::string(" 0") + notation.decimalSeparator + "00";
    std::string rewritten = FixedWidth(EntryField(entry, 1, 29), 29);
    rewritten += StaffingColumns(values.dgkp, values.beds, ratio, values.preset, notation);
    rewritten += entry.substr(ByteOffsetOfCharacter(entry, kDepartmentStart - 1));
    return rewritten;
}

std::string EntryField(std::string_view entry, int first, int last) {
    if (first < 1) return {};
    return LineColumns(entry, first, last);
}

std::string EntryHospitalText(std::string_view entry) { return EntryField(entry, 1, 27); }
std::string EntryDgkpText(std::string_view entry) { return EntryField(entry, 30, 35); }
std::string EntryBedsText(std::string_view entry) { return EntryField(entry, 40, 42); }
std::string EntryPresetText(std::string_view entry) { return EntryField(entry, 61, 62); }
std::string EntryDepartmentText(std::string_view entry) { return EntryField(entry, 69, 179); }
std::string EntryDataFileName(std::string_view entry) { return WithoutBlanks(EntryField(entry, 180, 191)); }
std::string EntryKanr(std::string_view entry) { return EntryField(entry, 1, 4); }
std::string EntryAbteilung(std::string_view entry) { return EntryField(entry, 69, 76); }

DepartmentInputs DepartmentInputsFromEntry(std::string_view entry, const NumberNotation& notation) {
    DepartmentInputs inputs;
    if (auto dgkp = ParseLocaleNumber(EntryDgkpText(entry), notation))
        inputs.dgkp = Decimal::fromDouble(*dgkp, 2);
    inputs.beds = WholeNumericValue(EntryBedsText(entry));
    inputs.preset = EntryPresetText(entry);
    inputs.dataFileName = EntryDataFileName(entry);
    return inputs;
}

}  // namespace kalvora
