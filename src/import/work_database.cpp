#include "import/work_database.h"

#include "base/encoding.h"
#include "base/process_memory.h"
#include "store/schema.h"

namespace kalvora {

namespace {

const std::string kStays = QuoteIdentifier(tables::Stays);
const std::string kType1 = QuoteIdentifier(tables::RecordType1);
const std::string kType3 = QuoteIdentifier(tables::RecordType3);
constexpr std::string_view kKeyMatch = " WHERE KIS_ID = ? AND DOB = ? AND ADM_DATE = ?";

std::string placeholders(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += i == 0 ? "?" : ", ?";
    return text;
}

void bindOptional(Statement& statement, int index, const std::optional<std::string>& value) {
    if (value)
        statement.bind(index, std::string_view(*value));
    else
        statement.bindNull(index);
}

std::optional<std::string> optionalText(const Statement& statement, int column) {
    if (statement.isNull(column)) return std::nullopt;
    return statement.text(column);
}

void bindKey(Statement& statement, int first, std::string_view kisId, std::string_view dob,
             std::string_view admDate) {
    statement.bind(first, kisId).bind(first + 1, dob).bind(first + 2, admDate);
}

}  // namespace

void BindDeliveryText(Statement& statement, int index, std::string_view windows1252) {
    if (IsAscii(windows1252))
        statement.bind(index, windows1252);
    else
        statement.bind(index, std::string_view(Windows1252ToUtf8(windows1252)));
}

void WorkDatabase::bindField(Statement& statement, int index, std::string_view text, bool utf8) {
    if (utf8 || IsAscii(text)) {
        statement.bindStatic(index, text);
        return;
    }
    if (convertedUsed_ == converted_.size()) converted_.emplace_back();
    std::string& slot = converted_[convertedUsed_++];
    slot = Windows1252ToUtf8(text);
    statement.bindStatic(index, slot);
}

WorkDatabase::WorkDatabase(const std::string& path) : db_(path, OpenMode::ReadWrite) {
    converted_.reserve(64);
    // The work file is scratch: a failed run throws it away, so it needs no journal and no syncing.
    db_.setScratchMode();
    setCacheBytes(kCacheBytes);
    db_.execute("PRAGMA temp_store = MEMORY");
    std::string stayColumns;
    for (size_t i = 0; i < kStayFields.size(); ++i) {
        if (i) stayColumns += ", ";
        stayColumns += QuoteIdentifier(kStayFields[i]);
    }
    hasStay_ = db_.prepare("SELECT 1 FROM " + kStays + std::string(kKeyMatch));
    seekStay_ = db_.prepare("SELECT " + stayColumns + " FROM " + kStays + std::string(kKeyMatch));
    insertStay_ = db_.prepare("INSERT INTO " + kStays + " (" + stayColumns + ") VALUES (" +
                              placeholders(kStayFields.size()) + ")");
    updateStay_ =
        db_.prepare("UPDATE " + kStays +
                    " SET Satzart_1 = ?, Satzart_3 = ?, FLAG = ?, DIS_YEARMONTH = ?, DIS_DATE = ?, BD = ?,"
                    " \"Alter\" = ?, TYP = ?, ICU_OUTCOME = ?, STUNDEN = ?, KA_ID = ?, ICU_FUN_ID = ?,"
                    " ICU_FUN_SID = ?" +
                    std::string(kKeyMatch));
    deleteStay_ = db_.prepare("DELETE FROM " + kStays + std::string(kKeyMatch));
    deleteType1_ = db_.prepare("DELETE FROM " + kType1 + std::string(kKeyMatch));
    deleteType3_ = db_.prepare("DELETE FROM " + kType3 + std::string(kKeyMatch));
    insertType1_ =
        db_.prepare("INSERT INTO " + kType1 + " VALUES (" + placeholders(kRecordType1Fields.size()) + ")");
    insertType3_ = db_.prepare(
        "INSERT INTO " + kType3 + " VALUES (" +
        placeholders(kRecordType3LeadingFields.size() + kTissItemCount + kRecordType3TrailingFields.size()) +
        ")");
    const std::string walkColumns =
        "SELECT KIS_ID, DOB, ADM_DATE, FLAG, TYP, \"Alter\", Satzart_1, Satzart_3, BD, DIS_DATE, STUNDEN "
        "FROM " +
        kStays;
    const std::string walkOrder = " ORDER BY KIS_ID, DOB, ADM_DATE LIMIT ?";
    firstStays_ = db_.prepare(walkColumns + walkOrder);
    nextStays_ = db_.prepare(walkColumns + " WHERE (KIS_ID, DOB, ADM_DATE) > (?, ?, ?)" + walkOrder);
    std::string days = "SELECT REC_DATE, T28_SCORE";
    for (std::string_view field : kDayItemFields) days += ", " + std::string(field);
    surveyDays_ = db_.prepare(days + " FROM " + kType3 + std::string(kKeyMatch));
    hasSurveyDay_ = db_.prepare("SELECT 1 FROM " + kType3 + std::string(kKeyMatch) + " AND REC_DATE = ?");
    setFlag_ = db_.prepare("UPDATE " + kStays + " SET FLAG = ?" + std::string(kKeyMatch));
}

void WorkDatabase::setCacheBytes(std::size_t bytes) {
    // A smaller cache lets go of the pages beyond it at once; the memory they took is handed back
    // to the system, not only to the allocator.
    db_.execute("PRAGMA cache_size = -" + std::to_string(bytes / 1024));
    ReturnFreedMemory();
}

bool WorkDatabase::seekStay(std::string_view kisId, std::string_view dob, std::string_view admDate,
                            StayRow& stay) {
    bindKey(seekStay_, 1, kisId, dob, admDate);
    bool found = seekStay_.step() == StepResult::Row;
    if (found) {
        stay.KA_ID = seekStay_.text(0);
        stay.ICU_FUN_ID = seekStay_.text(1);
        stay.ICU_FUN_SID = seekStay_.text(2);
        stay.KIS_ID = seekStay_.text(3);
        stay.DOB = seekStay_.text(4);
        stay.ADM_DATE = seekStay_.text(5);
        stay.Satzart_1 = seekStay_.integer(6);
        stay.Satzart_3 = seekStay_.integer(7);
        stay.FLAG = seekStay_.text(8);
        stay.DIS_YEARMONTH = optionalText(seekStay_, 9);
        stay.DIS_DATE = optionalText(seekStay_, 10);
        stay.BD = optionalText(seekStay_, 11);
        stay.Alter = optionalText(seekStay_, 12);
        stay.TYP = optionalText(seekStay_, 13);
        stay.ICU_OUTCOME = optionalText(seekStay_, 14);
        stay.STUNDEN = optionalText(seekStay_, 15);
    }
    seekStay_.reset();
    return found;
}

void WorkDatabase::insertStay(const StayRow& stay) {
    Statement& s = insertStay_;
    s.bind(1, std::string_view(stay.KA_ID)).bind(2, std::string_view(stay.ICU_FUN_ID));
    s.bind(3, std::string_view(stay.ICU_FUN_SID));
    bindKey(s, 4, stay.KIS_ID, stay.DOB, stay.ADM_DATE);
    s.bind(7, stay.Satzart_1).bind(8, stay.Satzart_3).bind(9, std::string_view(stay.FLAG));
    bindOptional(s, 10, stay.DIS_YEARMONTH);
    bindOptional(s, 11, stay.DIS_DATE);
    bindOptional(s, 12, stay.BD);
    bindOptional(s, 13, stay.Alter);
    bindOptional(s, 14, stay.TYP);
    bindOptional(s, 15, stay.ICU_OUTCOME);
    bindOptional(s, 16, stay.STUNDEN);
    s.run();
}

void WorkDatabase::updateStay(const StayRow& stay) {
    Statement& s = updateStay_;
    s.bind(1, stay.Satzart_1).bind(2, stay.Satzart_3).bind(3, std::string_view(stay.FLAG));
    bindOptional(s, 4, stay.DIS_YEARMONTH);
    bindOptional(s, 5, stay.DIS_DATE);
    bindOptional(s, 6, stay.BD);
    bindOptional(s, 7, stay.Alter);
    bindOptional(s, 8, stay.TYP);
    bindOptional(s, 9, stay.ICU_OUTCOME);
    bindOptional(s, 10, stay.STUNDEN);
    s.bind(11, std::string_view(stay.KA_ID)).bind(12, std::string_view(stay.ICU_FUN_ID));
    s.bind(13, std::string_view(stay.ICU_FUN_SID));
    bindKey(s, 14, stay.KIS_ID, stay.DOB, stay.ADM_DATE);
    s.run();
}

void WorkDatabase::deleteStay(std::string_view kisId, std::string_view dob, std::string_view admDate) {
    bindKey(deleteStay_, 1, kisId, dob, admDate);
    deleteStay_.run();
}

void WorkDatabase::deleteRecordRows(std::string_view kisId, std::string_view dob, std::string_view admDate) {
    deleteRecordType1Row(kisId, dob, admDate);
    deleteSurveyDays(kisId, dob, admDate);
}

void WorkDatabase::deleteRecordType1Row(std::string_view kisId, std::string_view dob,
                                        std::string_view admDate) {
    bindKey(deleteType1_, 1, kisId, dob, admDate);
    deleteType1_.run();
}

void WorkDatabase::deleteSurveyDays(std::string_view kisId, std::string_view dob, std::string_view admDate) {
    bindKey(deleteType3_, 1, kisId, dob, admDate);
    deleteType3_.run();
}

bool WorkDatabase::hasStay(std::string_view kisId, std::string_view dob, std::string_view admDate) {
    bindKey(hasStay_, 1, kisId, dob, admDate);
    const bool found = hasStay_.step() == StepResult::Row;
    hasStay_.reset();
    return found;
}

bool WorkDatabase::hasSurveyDay(std::string_view kisId, std::string_view dob, std::string_view admDate,
                                std::string_view recDate) {
    bindKey(hasSurveyDay_, 1, kisId, dob, admDate);
    hasSurveyDay_.bind(4, recDate);
    const bool found = hasSurveyDay_.step() == StepResult::Row;
    hasSurveyDay_.reset();
    return found;
}

StepResult WorkDatabase::insertRecordType1(const RecordType1Row& row) {
    Statement& s = insertType1_;
    const std::string_view values[] = {row.QUALIFIER,   row.KA_ID,         row.ICU_FUN_ID, row.ICU_FUN_SID,
                                       row.KIS_ID,      row.DOB,           row.ADM_DATE,   row.DIS_DATE,
                                       row.ICU_OUTCOME, row.HOSP_DIS_DATE, row.HOSP_MORT};
    int index = 1;
    convertedUsed_ = 0;
    for (std::string_view value : values) bindField(s, index++, value, row.ascii);
    if (row.DOB == " " || row.ADM_DATE == " ") storedBlankedKeys_ = true;
    StepResult result = s.step();
    s.rewind();
    return result;
}

StepResult WorkDatabase::insertRecordType3(const RecordType3Row& row) {
    Statement& s = insertType3_;
    const std::string_view leading[] = {row.QUALIFIER, row.KA_ID, row.ICU_FUN_ID, row.ICU_FUN_SID,
                                        row.KIS_ID,    row.DOB,   row.ADM_DATE,   row.REC_DATE};
    convertedUsed_ = 0;
    auto field = [&](int i, std::string_view value) { bindField(s, i, value, row.utf8); };
    int index = 1;
    for (std::string_view value : leading) field(index++, value);
    for (std::string_view item : row.items) {
        if (row.hasItems)
            field(index++, item);
        else
            s.bindNull(index++);
    }
    if (row.hasScore)
        s.bindStatic(index++, row.T28_SCORE);
    else
        s.bindNull(index++);
    if (row.hasHours)
        field(index++, row.STUNDEN);
    else
        s.bindNull(index++);
    if (row.DOB == " " || row.ADM_DATE == " ") storedBlankedKeys_ = true;
    if (!row.hasHours) storedDaysWithoutHours_ = true;
    StepResult result = s.step();
    s.rewind();
    return result;
}

void WorkDatabase::readStays(const StayRow* after, size_t limit, std::vector<StayRow>& stays) {
    stays.clear();
    Statement& s = after ? nextStays_ : firstStays_;
    int index = 1;
    if (after) {
        bindKey(s, 1, after->KIS_ID, after->DOB, after->ADM_DATE);
        index = 4;
    }
    s.bind(index, static_cast<long long>(limit));
    while (s.step() == StepResult::Row) {
        StayRow& stay = stays.emplace_back();
        stay.KIS_ID = s.text(0);
        stay.DOB = s.text(1);
        stay.ADM_DATE = s.text(2);
        stay.FLAG = s.text(3);
        stay.STUNDEN = optionalText(s, 10);
        if (stay.FLAG == flags::StoredCorrect || stay.FLAG == flags::StoredIncorrect) continue;
        stay.TYP = optionalText(s, 4);
        stay.Alter = optionalText(s, 5);
        stay.Satzart_1 = s.integer(6);
        stay.Satzart_3 = s.integer(7);
        stay.BD = optionalText(s, 8);
        stay.DIS_DATE = optionalText(s, 9);
    }
    s.reset();
}

void WorkDatabase::readSurveyDays(const StayRow& stay, std::vector<CheckedDay>& days) {
    days.clear();
    Statement& s = surveyDays_;
    bindKey(s, 1, stay.KIS_ID, stay.DOB, stay.ADM_DATE);
    while (s.step() == StepResult::Row) {
        CheckedDay& day = days.emplace_back();
        day.date = s.text(0);
        day.hasScore = !s.isNull(1);
        day.score = s.text(1);
        day.hasItems = !s.isNull(2);
        for (int i = 0; i < DayItemCount; ++i) day.ticked[i] = s.textView(2 + i) == "1";
    }
    s.reset();
}

void WorkDatabase::setStayFlag(const StayRow& stay, std::string_view flag) {
    setFlag_.bind(1, flag);
    bindKey(setFlag_, 2, stay.KIS_ID, stay.DOB, stay.ADM_DATE);
    setFlag_.run();
}

long long WorkDatabase::stayCount() { return db_.scalar("SELECT count(*) FROM " + kStays); }

void WorkDatabase::markStoredStays() {
    db_.execute(
        "UPDATE \"Gesamt - Patientenadministration\" SET FLAG = 'A' WHERE FLAG = 'O';"
        "UPDATE \"Gesamt - Patientenadministration\" SET FLAG = 'B' WHERE FLAG = 'W';");
}

void WorkDatabase::restoreStoredStayFlags() {
    db_.execute(
        "UPDATE \"Gesamt - Patientenadministration\" SET FLAG = 'O' WHERE FLAG = 'A';"
        "UPDATE \"Gesamt - Patientenadministration\" SET FLAG = 'W' WHERE FLAG = 'B';"
        "DELETE FROM \"Satzart 3 - TISS28 TEMP\";");
}

void WorkDatabase::removeErrorStays() {
    db_.execute("DELETE FROM \"Gesamt - Patientenadministration\" WHERE FLAG = 'E'");
    if (!storedBlankedKeys_) return;
    for (std::string_view table : {tables::RecordType1, tables::RecordType3}) {
        const std::string name = QuoteIdentifier(table);
        db_.execute("DELETE FROM " + name +
                    " WHERE (DOB = ' ' OR ADM_DATE = ' ') AND NOT EXISTS (SELECT 1 FROM "
                    "\"Gesamt - Patientenadministration\" g WHERE g.KIS_ID = " +
                    name + ".KIS_ID AND g.DOB = " + name + ".DOB AND g.ADM_DATE = " + name + ".ADM_DATE)");
    }
}

void WorkDatabase::copyHoursToSurveyDays() {
    // Rows read for a stay already known have their hours; only the others are updated.
    if (!storedDaysWithoutHours_) return;
    db_.execute(
        "UPDATE \"Satzart 3 - TISS28\" SET STUNDEN = (SELECT g.STUNDEN FROM \"Gesamt - "
        "Patientenadministration\" g"
        " WHERE g.KIS_ID = \"Satzart 3 - TISS28\".KIS_ID AND g.DOB = \"Satzart 3 - TISS28\".DOB"
        " AND g.ADM_DATE = \"Satzart 3 - TISS28\".ADM_DATE) WHERE STUNDEN IS NULL");
}

}  // namespace kalvora
