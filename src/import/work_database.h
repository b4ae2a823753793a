#pragma once
// The work file of one import with the statements the run uses on it, prepared once and reused
// for every line.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "import/checked_day.h"
#include "import/stay_row.h"
#include "store/database.h"
#include "tiss/tiss_item.h"

namespace kalvora {

// A record type 1 row as the reader fills it: views into the delivery line (Windows-1252), converted
// to UTF-8 when they are stored.
struct RecordType1Row {
    bool ascii = false;  // the line holds only ASCII characters: no field needs converting
    std::string_view QUALIFIER, KA_ID, ICU_FUN_ID, ICU_FUN_SID, KIS_ID, DOB, ADM_DATE, DIS_DATE, ICU_OUTCOME,
        HOSP_DIS_DATE, HOSP_MORT;
};

// A record type 3 row; a missing item or score is NULL (substitute survey days).
struct RecordType3Row {
    std::string_view QUALIFIER, KA_ID, ICU_FUN_ID, ICU_FUN_SID, KIS_ID, DOB, ADM_DATE, REC_DATE;
    std::array<std::string_view, kTissItemCount> items{};
    bool hasItems = true;
    std::string_view T28_SCORE;
    bool hasScore = false;
    std::string_view STUNDEN;
    bool hasHours = false;
    bool utf8 = false;  // the texts are UTF-8 already (rows built from a stored stay, or ASCII lines)
};

// What the work file was copied from.
enum class WorkFileOrigin { Template, Department };

class WorkDatabase {
public:
    // Opens the work file (already a copy of the template or of the department database).
    explicit WorkDatabase(const std::string& path);

    Database& db() { return db_; }

    // The page cache the work file starts with; the import may give part of it to other uses.
    static constexpr std::size_t kCacheBytes = std::size_t{20} << 20;
    void setCacheBytes(std::size_t bytes);

    // Key texts here are UTF-8.
    bool seekStay(std::string_view kisId, std::string_view dob, std::string_view admDate, StayRow& stay);
    void insertStay(const StayRow& stay);
    void updateStay(const StayRow& stay);
    // Removes the stay and its record rows.
    void deleteStay(std::string_view kisId, std::string_view dob, std::string_view admDate);
    // Removes the record rows of a stay whose own row is not written yet.
    void deleteRecordRows(std::string_view kisId, std::string_view dob, std::string_view admDate);
    void deleteRecordType1Row(std::string_view kisId, std::string_view dob, std::string_view admDate);
    void deleteSurveyDays(std::string_view kisId, std::string_view dob, std::string_view admDate);
    bool hasStay(std::string_view kisId, std::string_view dob, std::string_view admDate);

    // Whether a survey day of the stay with that date is stored (key texts UTF-8).
    bool hasSurveyDay(std::string_view kisId, std::string_view dob, std::string_view admDate,
                      std::string_view recDate);

    StepResult insertRecordType1(const RecordType1Row& row);
    StepResult insertRecordType3(const RecordType3Row& row);

    long long stayCount();

    // The walk over the stays after reading, a batch at a time so that the stays walked can be changed
    // between two batches: up to `limit` stays in key order after the stay `after` (from the first
    // stay when null), in place of the content of `stays`. A stay stored before this file comes with
    // its key, FLAG and STUNDEN only.
    void readStays(const StayRow* after, size_t limit, std::vector<StayRow>& stays);
    // The survey days stored for a stay, in place of the content of `days`.
    void readSurveyDays(const StayRow& stay, std::vector<CheckedDay>& days);
    void setStayFlag(const StayRow& stay, std::string_view flag);

    // The stays stored before this file are told apart from the file's own while it is read: FLAG
    // "O" becomes "A" and "W" becomes "B"; restoreStoredStayFlags turns them back and empties the
    // classification's work table, which the new department file must not carry over.
    void markStoredStays();
    void restoreStoredStayFlags();
    // Removes the stays with errors (FLAG "E") with their record rows, and the record rows stored
    // with a blanked key field, which belong to no stay.
    void removeErrorStays();
    // Gives the survey days stored without hours the hours of their stay.
    void copyHoursToSurveyDays();

    // Whether a record row was stored with a blanked birth date or admission time (such rows belong
    // to no stay), and whether a survey day was stored without its stay's hours.
    bool storedBlankedKeys() const { return storedBlankedKeys_; }
    bool storedDaysWithoutHours() const { return storedDaysWithoutHours_; }

private:
    // Binds a delivery field without copying; converted texts are kept here until the row is stored.
    void bindField(Statement& statement, int index, std::string_view text, bool utf8);
    std::vector<std::string> converted_;
    size_t convertedUsed_ = 0;
    bool storedBlankedKeys_ = false;
    bool storedDaysWithoutHours_ = false;

    Database db_;
    Statement hasStay_, seekStay_, insertStay_, updateStay_, deleteStay_, deleteType1_, deleteType3_,
        insertType1_, insertType3_, firstStays_, nextStays_, surveyDays_, hasSurveyDay_, setFlag_;
};

// Binds a field of a delivery line (Windows-1252) as UTF-8.
void BindDeliveryText(Statement& statement, int index, std::string_view windows1252);

}  // namespace kalvora
