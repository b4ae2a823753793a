#pragma once
// One row per imported file of a batch, as the result window shows it and "Kopieren" copies it.

#include <string>
#include <string_view>
#include <vector>

namespace kalvora {

inline constexpr int kSummaryFileWidth = 12;
inline constexpr int kSummaryKaWidth = 27;
inline constexpr int kSummaryDepartmentWidth = 49;
inline constexpr int kSummaryCountWidth = 6;

namespace comments {
inline constexpr std::string_view SeeProtocol = "Detailinformation siehe Protokolldatei";
// The twelve leading blanks stand for the two empty count columns.
inline constexpr std::string_view BadFileName = "            Periode, Jahr, Abteilung oder KA ungültig";
inline constexpr std::string_view BadRecordType = "            nur gültige Satzarten verarbeitbar";
inline constexpr std::string_view NoRecords = "            kein Datensatz der Satzarten 1 oder 3";
inline constexpr std::string_view StoreFailed = "            schwerwiegende Dateninkonsistenz";
}  // namespace comments

struct ImportSummaryRow {
    std::string file;        // 12 characters
    std::string ka;          // 27 characters
    std::string department;  // 49 characters
    std::string patients;    // " N" left-aligned in 6 characters; blanks for a rejected file
    std::string imported;    // the same form
    std::string comment;

    // Starts the row of a file: its name cut or padded to 12 characters, the other columns blank.
    static ImportSummaryRow ForFile(std::string_view fileName);
    void setCounts(long long patientCount, long long importedCount, bool findings);
    // A rejection text whose twelve leading blanks fill the two count columns.
    void reject(std::string_view rejectionComment);
    std::vector<std::string> cells() const;
};

inline const std::vector<std::string>& SummaryHeaders() {
    static const std::vector<std::string> headers = {
        "Datei", "KA", "Abteilung", "#Patienten", "davon importiert", "Kommentar"};
    return headers;
}

// The text "Kopieren" puts on the clipboard: the headers, a carriage return, then the rows with a
// tab between cells and a carriage return between rows.
std::string SummaryClipboardText(const std::vector<ImportSummaryRow>& rows);

// Text cut to or padded with blanks to a number of characters (UTF-8 aware).
std::string PadCharacters(std::string_view text, int width);

}  // namespace kalvora
