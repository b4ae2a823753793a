#pragma once
// A department database: the stays of one ICU department ("Gesamt - Patientenadministration"), their
// record type 1 rows and their survey days ("Satzart 3 - TISS28"), read by the lists, the search,
// the detail view, the analysis and the classification dialog. Nothing here writes.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/database.h"
#include "tiss/tiss_item.h"

namespace kalvora {

// The key of a stay, as stored: KIS_ID, DOB (JJJJMMTT) and ADM_DATE (JJJJMMTThhmm).
struct StayKey {
    std::string admissionNumber;
    std::string birthDate;
    std::string admissionTime;
    bool operator==(const StayKey& other) const = default;
};

// The fields of a stay that the patient list shows, as stored.
struct StayOverview {
    StayKey key;
    std::string dischargeTime;  // DIS_DATE
    std::string typ;            // TYP
    std::string flag;           // FLAG
};

// A stay's own row, as stored.
struct StoredStay {
    std::string kisId, dob, admDate, disDate, icuOutcome, typ;
};

// The stay's record type 1 row, as stored.
struct StoredRecordType1 {
    std::string kisId, dob, admDate, disDate, icuOutcome, hospDisDate, hospMort;
};

// One survey day of qualifier "3": REC_DATE, the 28 item values in the order of TissItems() and
// T28_SCORE, as stored.
struct StoredSurveyDay {
    std::string recordDate;
    std::array<std::string, kTissItemCount> items;
    std::string score;
};

// A stay's discharge month (DIS_YEARMONTH; blank when it has none), whether its TYP is "INT" in any
// letter case, and whether the month is stored as a blob rather than as text.
struct StayMonth {
    std::string_view month;
    bool intensive = false;
    bool blob = false;
};

class DepartmentDatabase {
public:
    // Opens the file for reading. Throws StoreError when it cannot be opened.
    static DepartmentDatabase ForReading(const std::string& path);

    // Every stay, in no particular order.
    std::vector<StayOverview> stays();
    // The stay of the key; none when the file has no such stay.
    std::optional<StoredStay> stay(const StayKey& key);
    std::optional<StoredRecordType1> recordType1(const StayKey& key);
    // The stay's survey days of qualifier "3", by REC_DATE.
    std::vector<StoredSurveyDay> surveyDays(const StayKey& key);

    // Whether a stay has this admission number and/or birth date (an absent term matches every
    // stay): one lookup through the index of the terms given. False when neither is given.
    bool holdsStay(const std::optional<std::string>& admissionNumber,
                   const std::optional<std::string>& birthDate);
    // Whether a stay has TYP "INT" and a FLAG other than "U".
    bool hasClassifiableStays();
    // Calls `visit` once per stay with its discharge month.
    void forEachStayMonth(const std::function<void(const StayMonth&)>& visit);

    explicit DepartmentDatabase(Database db) : db_(std::move(db)) {}

private:
    Database db_;
};

}  // namespace kalvora
