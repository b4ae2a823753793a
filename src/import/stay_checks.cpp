#include "import/stay_checks.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/conversions.h"
#include "base/encoding.h"
#include "import/protocol_file.h"
#include "import/work_database.h"
#include "store/schema.h"
#include "tiss/tiss_item.h"

namespace kalvora {

namespace {

struct DayRule {
    DayItem first;
    DayItem second;  // DayItemCount: the rule looks at the first item alone
    std::string_view commentStart;
    std::string_view commentEnd;
};

constexpr DayRule kDayRules[] = {
    {SMed, MMed, "Unplausible Kombination einmalige und mehrfache Medikation am ", " erhoben"},
    {SuppVent, MechVent, "Unplausible Kombination Atemunterstützung und mechanische Beatmung am ",
     " erhoben"},
    {SVasodr, MVasodr, "Unplausible Kombination einmalige und mehrfache vasoaktive Medikation am ",
     " erhoben"},
    {SInt, MInt, "Unplausible Kombination einfache und mehrfache Intervention am ", " erhoben"},
    {StandMon, DayItemCount, "Erhebungstag ", " ohne Standardmonitoring unplausibel"},
};

bool dayRuleHolds(const DayRule& rule, const CheckedDay& day) {
    // A substitute day holds no item values and so satisfies no rule.
    if (!day.hasItems) return false;
    if (rule.second == DayItemCount) return !day.ticked[rule.first];
    return day.ticked[rule.first] && day.ticked[rule.second];
}

long long dateNumber(std::string_view text) {
    long long value = 0;
    for (size_t i = 0; i < 8; ++i) {
        char c = i < text.size() ? text[i] : ' ';
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Days counted from 1 March of year 0, with carry of days and months beyond their range, so that
// day numbers can be walked one by one.
long long SerialOfDateNumber(long long dateNumber) {
    long long year = dateNumber / 10000, month = dateNumber / 100 % 100, day = dateNumber % 100;
    year += (month - 1) / 12;
    month = (month - 1) % 12 + 1;
    if (month <= 2) {
        year -= 1;
        month += 12;
    }
    long long era = year / 400;
    long long yearOfEra = year - era * 400;
    long long dayOfYear = (153 * (month - 3) + 2) / 5;
    long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra + (day - 1);
}

long long DateNumberOfSerial(long long serial) {
    long long era = serial / 146097;
    long long dayOfEra = serial - era * 146097;
    long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    long long shifted = (5 * dayOfYear + 2) / 153;
    long long day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    long long month = shifted < 10 ? shifted + 3 : shifted - 9;
    long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return year * 10000 + month * 100 + day;
}

std::string protocolText(std::string_view utf8) {
    return IsAscii(utf8) ? std::string(utf8) : Utf8ToWindows1252(utf8);
}

std::string_view textOf(const std::optional<std::string>& value) {
    return value ? std::string_view(*value) : std::string_view();
}

bool isBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

// The checks of one stay, collecting what they find.
class StayCheck {
public:
    StayCheck(const StayRow& stay, std::string_view kaCode, std::string_view departmentCode)
        : stay_(stay), kaCode_(kaCode), departmentCode_(departmentCode) {
        outcome_.flag = stay.FLAG;
    }

    StayCheckOutcome run(std::vector<CheckedDay> days) {
        if (textOf(stay_.TYP) == "INT") {
            checkIcuStay(std::move(days));
        } else {
            addStayRow(levels::Error, " ", "Datensatzaufbau entspricht nicht der Verordnung");
            outcome_.flag = flags::Error;
        }
        return std::move(outcome_);
    }

private:
    std::string stayLine(char recordType) const {
        std::string line(1, recordType);
        line += kaCode_;
        line += departmentCode_;
        line += protocolText(stay_.KIS_ID);
        line += protocolText(stay_.DOB);
        line += protocolText(stay_.ADM_DATE);
        return line;
    }

    void addStayRow(std::string_view level, std::string_view parameter, std::string_view comment) {
        outcome_.rows.push_back({level, std::string(parameter), stayLine(' '), std::string(comment)});
    }

    void addSurveyWarning(std::string comment) {
        outcome_.rows.push_back({levels::Warning, "TISS28", stayLine('3'), std::move(comment)});
        outcome_.flag = flags::Incorrect;
    }

    void checkIcuStay(std::vector<CheckedDay> days) {
        std::string_view age = textOf(stay_.Alter);
        std::string_view function = departmentCode_.substr(2, 2);
        if ((function == "51" || function == "27") && !isBlank(age) && NumericValue(age) < 16) {
            addStayRow(levels::Error, " ", "Ausgewählter Patiententyp für angegebenes Alter ungültig");
            outcome_.flag = flags::Error;
        }
        if (stay_.Satzart_1 == 0 || stay_.Satzart_3 == 0) {
            addStayRow(levels::Error, "Datensatz", "Satzarten 1 und 3 obligatorisch");
            outcome_.flag = flags::Error;
        }
        if (outcome_.flag == flags::Error) return;

        std::string_view bd = textOf(stay_.BD);
        if (!isBlank(bd)) {
            long long careDays = static_cast<long long>(NumericValue(bd)) + 1;
            if (stay_.Satzart_3 != careDays)
                addSurveyWarning(std::to_string(stay_.Satzart_3) + " TISS28-Tage vs. " +
                                 std::to_string(careDays) + " Pflegetage");
        }

        std::sort(days.begin(), days.end(),
                  [](const CheckedDay& a, const CheckedDay& b) { return a.date < b.date; });
        std::vector<CheckedDay> substitutes;
        for (const CheckedDay* day : stayRange(days, substitutes)) {
            std::string date = FormatDateCode(day->date, 8);
            for (const DayRule& rule : kDayRules)
                if (dayRuleHolds(rule, *day))
                    addSurveyWarning(std::string(rule.commentStart) + date + std::string(rule.commentEnd));
        }
    }

    // The days from admission to discharge in day order: the delivered ones and a substitute for every
    // missing day, which is added to the outcome. `substitutes` keeps the substitutes the range points to.
    std::vector<const CheckedDay*> stayRange(const std::vector<CheckedDay>& delivered,
                                             std::vector<CheckedDay>& substitutes) {
        std::vector<const CheckedDay*> range;
        long long first = dateNumber(stay_.ADM_DATE);
        long long last = dateNumber(textOf(stay_.DIS_DATE));
        if (first < 0 || last < 0 || last < first) return range;
        std::vector<long long> numbers;
        numbers.reserve(delivered.size());
        for (const CheckedDay& day : delivered)
            numbers.push_back(day.date.size() == 8 ? dateNumber(day.date) : -1);
        auto find = [&](long long date) -> const CheckedDay* {
            for (size_t i = 0; i < numbers.size(); ++i)
                if (numbers[i] == date) return &delivered[i];
            return nullptr;
        };
        // Substitutes are counted first, so that the range can point into a vector that never moves.
        long long missing = 0;
        long long serial = SerialOfDateNumber(first);
        for (long long number = first; number <= last; number = DateNumberOfSerial(++serial))
            if (!find(number)) ++missing;
        substitutes.reserve(static_cast<size_t>(missing));

        serial = SerialOfDateNumber(first);
        for (long long number = first; number <= last; number = DateNumberOfSerial(++serial)) {
            if (const CheckedDay* existing = find(number)) {
                range.push_back(existing);
                continue;
            }
            CheckedDay& substitute = substitutes.emplace_back();
            substitute.date = std::to_string(number);
            std::string_view qualifier;
            if (number == first) {
                qualifier = "E";
                const CheckedDay* following = find(DateNumberOfSerial(serial + 1));
                substitute.score = following && following->hasScore ? following->score : "000";
            } else if (number == last) {
                qualifier = "L";
                const CheckedDay& previous = *range.back();
                substitute.score = previous.hasScore ? previous.score : "000";
            } else {
                qualifier = "M";
                substitute.score = "000";
            }
            substitute.hasScore = true;
            outcome_.substitutes.push_back({qualifier, substitute.date, substitute.score});
            range.push_back(&substitute);
        }
        return range;
    }

    const StayRow& stay_;
    std::string_view kaCode_;
    std::string_view departmentCode_;
    StayCheckOutcome outcome_;
};

// The walk over all stays after reading: each new stay checked from its survey days, its findings
// written to the protocol and its days stored.
// A few milliseconds of checks between two chances for the window to repaint.
constexpr long long kStaysPerYield = 2048;
// The stays are walked a batch at a time (WalkStays); the flags the walk changes for stays of the work
// file are kept until the batch is walked, so that memory does not grow with the number of stays.

class StayChecker {
public:
    explicit StayChecker(StayCheckContext& context) : context_(context) {}

    StayCheckCounts run() {
        if (context_.stays == nullptr) throw std::logic_error("no stays to walk");
        WalkStays& stays = *context_.stays;
        StayCheckCounts counts;
        std::vector<StayRow> batch;
        std::vector<std::pair<size_t, std::string>> flagChanges;  // by place in the batch
        std::vector<CheckedDay> days;
        std::vector<const RecordType3Row*> heldBack;
        long long walked = 0;
        while (stays.next(batch)) {
            for (size_t at = 0; at < batch.size(); ++at) {
                if (context_.status != nullptr && ++walked % kStaysPerYield == 0)
                    context_.status->yield(Progress{});
                StayRow& stay = batch[at];
                const StoredDays stored = stays.rowsOf(at, heldBack);
                const HeldBackStay* held = stays.heldStayOf(at);
                if (stay.FLAG == flags::StoredCorrect || stay.FLAG == flags::StoredIncorrect) {
                    // A stored stay that only got survey days without findings is not checked again.
                    ++counts.oldStays;
                    storeHeldBack(stay, heldBack);
                    continue;
                }
                if (stored == StoredDays::Counted)
                    context_.work.readSurveyDays(stay, days);
                else
                    days.clear();
                for (const RecordType3Row* row : heldBack) days.push_back(CheckedDayOf(*row));
                const StayCheckOutcome outcome =
                    CheckStay(stay, std::move(days), context_.kaCode, context_.departmentCode);
                for (const FindingRow& row : outcome.rows)
                    context_.protocol.WriteProtocolRow(row.level, row.parameter, row.line, row.comment);
                if (textOf(stay.TYP) == "INT") counts.countedRecordLines += stay.Satzart_1 + stay.Satzart_3;
                if (outcome.flag == flags::Error) {
                    // The stay and its rows go: its held-back rows are not stored at all.
                    ++counts.errorStays;
                    counts.findings = true;
                    if (held != nullptr) removeHeldStay(stay, *held, stored);
                } else {
                    if (outcome.flag == flags::Incorrect) counts.findings = true;
                    if (held != nullptr) storeHeldStay(stay, *held, outcome.flag);
                    if (stored == StoredDays::Replaced)
                        context_.work.deleteSurveyDays(stay.KIS_ID, stay.DOB, stay.ADM_DATE);
                    storeHeldBack(stay, heldBack);
                    for (const SubstituteDay& day : outcome.substitutes) storeSubstitute(stay, day);
                }
                // A held-back stay's flag went into its row; a stay of the work file is changed later.
                if (held == nullptr && outcome.flag != stay.FLAG) flagChanges.emplace_back(at, outcome.flag);
            }
            for (const auto& [at, flag] : flagChanges) context_.work.setStayFlag(batch[at], flag);
            flagChanges.clear();
            days_.batchDone();
        }
        return counts;
    }

private:
    // A held-back stay's row with its flag, in place of the older row of the work file if it has one,
    // and its record type 1 row.
    void storeHeldStay(StayRow& stay, const HeldBackStay& held, std::string_view flag) {
        stay.FLAG = flag;
        if (held.olderRow) {
            context_.work.updateStay(stay);
            context_.work.deleteRecordType1Row(stay.KIS_ID, stay.DOB, stay.ADM_DATE);
        } else {
            context_.work.insertStay(stay);
        }
        if (held.type1Row != nullptr &&
            context_.work.insertRecordType1(*held.type1Row) == StepResult::DuplicateKey)
            throw StoreError("Der Aufenthalt " + stay.KIS_ID + " ist bereits gespeichert.");
    }

    // A held-back stay with errors: nothing of it is stored, and what the work file holds of it goes.
    void removeHeldStay(const StayRow& stay, const HeldBackStay& held, StoredDays stored) {
        if (held.olderRow)
            context_.work.deleteStay(stay.KIS_ID, stay.DOB, stay.ADM_DATE);
        else if (stored != StoredDays::None)
            context_.work.deleteSurveyDays(stay.KIS_ID, stay.DOB, stay.ADM_DATE);
    }

    // A held-back day gets the hours its stay has now, as when its line was read: they change only
    // with a record type 1 line, which starts the stay anew.
    void storeHeldBack(const StayRow& stay, const std::vector<const RecordType3Row*>& rows) {
        for (const RecordType3Row* held : rows) storeDay(stay, *held, false);
    }

    // Stores a survey day of the stay with the stay's hours; the walk stores only days not stored yet.
    void storeDay(const StayRow& stay, RecordType3Row row, bool substitute) {
        if (stay.STUNDEN) {
            row.STUNDEN = *stay.STUNDEN;
            row.hasHours = true;
        }
        days_.store(row, substitute);
    }

    void storeSubstitute(const StayRow& stay, const SubstituteDay& day) {
        RecordType3Row row;
        row.utf8 = true;
        row.QUALIFIER = day.qualifier;
        row.KA_ID = kaCode_;
        row.ICU_FUN_ID = std::string_view(department_).substr(0, 6);
        row.ICU_FUN_SID = std::string_view(department_).substr(6, 2);
        row.KIS_ID = stay.KIS_ID;
        row.DOB = stay.DOB;
        row.ADM_DATE = stay.ADM_DATE;
        row.REC_DATE = day.date;
        row.hasItems = false;
        row.T28_SCORE = day.score;
        row.hasScore = true;
        storeDay(stay, row, true);
    }

    // The work file as the store of the survey days, when no other is given.
    class WorkFileDays : public SurveyDayStore {
    public:
        explicit WorkFileDays(WorkDatabase& work) : work_(work) {}
        void store(const RecordType3Row& row, bool substitute) override {
            if (work_.insertRecordType3(row) == StepResult::DuplicateKey)
                throw StoreError(AlreadyStoredDay(row.REC_DATE, substitute));
        }

    private:
        WorkDatabase& work_;
    };

    StayCheckContext& context_;
    WorkFileDays workFileDays_{context_.work};
    SurveyDayStore& days_ = context_.days != nullptr ? *context_.days : workFileDays_;
    std::string kaCode_ = Windows1252ToUtf8(context_.kaCode);
    std::string department_ = Windows1252ToUtf8(context_.departmentCode);
};

}  // namespace

std::string AlreadyStoredDay(std::string_view recDate, bool substitute) {
    return std::string(substitute ? "Der Ersatz-Erhebungstag " : "Der Erhebungstag ") + std::string(recDate) +
           " ist bereits gespeichert.";
}

CheckedDay CheckedDayOf(const RecordType3Row& row) {
    static const std::array<int, DayItemCount> itemIndex = [] {
        std::array<int, DayItemCount> index{};
        const auto& items = TissItems();
        for (int d = 0; d < DayItemCount; ++d)
            for (int i = 0; i < kTissItemCount; ++i)
                if (items[i].field == kDayItemFields[d]) index[d] = i;
        return index;
    }();
    CheckedDay day;
    day.date = row.REC_DATE;
    day.hasScore = row.hasScore;
    if (row.hasScore) day.score = row.T28_SCORE;
    day.hasItems = row.hasItems;
    if (row.hasItems)
        for (int d = 0; d < DayItemCount; ++d) day.ticked[d] = row.items[itemIndex[d]] == "1";
    return day;
}

StayCheckOutcome CheckStay(const StayRow& stay, std::vector<CheckedDay> days, std::string_view kaCode,
                           std::string_view departmentCode) {
    return StayCheck(stay, kaCode, departmentCode).run(std::move(days));
}

StayCheckCounts checkStays(StayCheckContext& context) { return StayChecker(context).run(); }

void checkSumRecord(StayCheckContext& context, bool sumPresent, long long sumValue, StayCheckCounts& counts) {
    std::string fileLine = "0";
    fileLine += context.kaCode;
    fileLine += context.departmentCode;
    if (sumPresent && sumValue != counts.countedRecordLines) {
        context.protocol.WriteProtocolRow(levels::Warning, " ", fileLine, "Summensatz falsch");
        counts.findings = true;
    }
    if (counts.countedRecordLines >= 1 && !sumPresent) {
        context.protocol.WriteProtocolRow(levels::Warning, " ", fileLine, "Summensatz fehlt");
        counts.findings = true;
    }
}

}  // namespace kalvora
