#include "import/import_summary.h"

#include "base/text.h"

namespace kalvora {

std::string PadCharacters(std::string_view text, int width) { return FixedWidth(text, width); }

ImportSummaryRow ImportSummaryRow::ForFile(std::string_view fileName) {
    ImportSummaryRow row;
    row.file = PadCharacters(fileName, kSummaryFileWidth);
    row.ka = std::string(kSummaryKaWidth, ' ');
    row.department = std::string(kSummaryDepartmentWidth, ' ');
    row.patients = std::string(kSummaryCountWidth, ' ');
    row.imported = std::string(kSummaryCountWidth, ' ');
    return row;
}

namespace {
// A count with its leading blank, left-aligned in six characters; a longer count is kept whole.
std::string countText(long long value) {
    std::string text = " " + std::to_string(value);
    if (text.size() < static_cast<size_t>(kSummaryCountWidth)) text.resize(kSummaryCountWidth, ' ');
    return text;
}
}  // namespace

void ImportSummaryRow::setCounts(long long patientCount, long long importedCount, bool findings) {
    patients = countText(patientCount);
    imported = countText(importedCount);
    comment = findings ? std::string(comments::SeeProtocol) : std::string();
}

void ImportSummaryRow::reject(std::string_view rejectionComment) {
    std::string_view text = rejectionComment;
    size_t countColumns = 2 * kSummaryCountWidth;
    patients = std::string(kSummaryCountWidth, ' ');
    imported = std::string(kSummaryCountWidth, ' ');
    comment = std::string(text.size() > countColumns ? text.substr(countColumns) : std::string_view());
}

std::vector<std::string> ImportSummaryRow::cells() const {
    return {file, ka, department, patients, imported, comment};
}

std::string SummaryClipboardText(const std::vector<ImportSummaryRow>& rows) {
    std::string text;
    const auto& headers = SummaryHeaders();
    for (size_t i = 0; i < headers.size(); ++i) {
        if (i) text += '\t';
        text += headers[i];
    }
    text += '\r';
    for (size_t r = 0; r < rows.size(); ++r) {
        if (r) text += '\r';
        auto cells = rows[r].cells();
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i) text += '\t';
            text += cells[i];
        }
    }
    return text;
}

}  // namespace kalvora
