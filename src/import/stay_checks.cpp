#include "import/stay_checks.h"

#include <string>
#include <vector>

#include "import/protocol_file.h"
#include "import/work_database.h"
#include "shell/conversions.h"
#include "shell/encoding.h"
#include "store/schema.h"

namespace kalvora {

namespace {

// The items the day rules look at, by their place in the line order.
enum DayItem { StandMon, SMed, MMed, MechVent, SuppVent, SVasodr, MVasodr, SInt, MInt, DayItemCount };
constexpr std::string_view kDayItemFields[DayItemCount] = {"T28_STAND_MON", "T28_S_MED",    "T28_M_MED",
                                                           "T28_MECH_VENT", "T28_SUPP_VENT", "T28_S_VASODR",
                                                           "T28_M_VASODR",  "T28_S_INT",     "T28_M_INT"};

struct SurveyDay {
    long long number = -1;  // JJJJMMTT as a number; -1 when not a date
    std::string date;
    std::string score;
    bool hasScore = false;
    bool hasItems = false;
    std::string items[DayItemCount];
};

struct DayRule {
    DayItem first;
    DayItem second;  // DayItemCount: the rule looks at the first item alone
    std::string_view commentStart;
    std::string_view commentEnd;
};

constexpr DayRule kDayRules[] = {
    {SMed, MMed, "Unplausible Kombination einmalige und mehrfache Medikation am ", " erhoben"},
    {SuppVent, MechVent, "Unplausible Kombination Atemunterstützung und mechanische Beatmung am ", " erhoben"},
    {SVasodr, MVasodr, "Unplausible Kombination einmalige und mehrfache vasoaktive Medikation am ", " erhoben"},
    {SInt, MInt, "Unplausible Kombination einfache und mehrfache Intervention am ", " erhoben"},
    {StandMon, DayItemCount, "Erhebungstag ", " ohne Standardmonitoring unplausibel"},
};

bool dayRuleHolds(const DayRule& rule, const SurveyDay& day) {
    // A substitute day holds no item values and so satisfies no rule.
    if (!day.hasItems) return false;
    if (rule.second == DayItemCount) return day.items[rule.first] != "1";
    return day.items[rule.first] == "1" && day.items[rule.second] == "1";
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

class StayChecker {
public:
    explicit StayChecker(StayCheckContext& context) : context_(context), db_(context.work.db()) {
        std::string days = "SELECT REC_DATE, T28_SCORE";
        for (std::string_view field : kDayItemFields) days += ", " + std::string(field);
        days += " FROM " + QuoteIdentifier(tables::RecordType3) +
                " WHERE KIS_ID = ? AND DOB = ? AND ADM_DATE = ? ORDER BY REC_DATE";
        surveyDays_ = db_.prepare(days);
        setFlag_ = db_.prepare("UPDATE " + QuoteIdentifier(tables::Stays) +
                               " SET FLAG = ? WHERE KIS_ID = ? AND DOB = ? AND ADM_DATE = ?");
    }

    StayCheckCounts run() {
        StayCheckCounts counts;
        // Flag changes are kept until the walk is over, so that the walk never reads a table it changes.
        std::vector<std::pair<StayRow, std::string>> flagChanges;
        Statement stays = db_.prepare(
            "SELECT KIS_ID, DOB, ADM_DATE, FLAG, TYP, \"Alter\", Satzart_1, Satzart_3, BD, DIS_DATE, STUNDEN FROM " +
            QuoteIdentifier(tables::Stays) + " ORDER BY KIS_ID, DOB, ADM_DATE");
        while (stays.step() == StepResult::Row) {
            StayRow stay;
            stay.KIS_ID = stays.text(0);
            stay.DOB = stays.text(1);
            stay.ADM_DATE = stays.text(2);
            stay.FLAG = stays.text(3);
            std::string typ = stays.text(4);
            std::string age = stays.text(5);
            stay.Satzart_1 = stays.integer(6);
            stay.Satzart_3 = stays.integer(7);
            std::string bd = stays.text(8);
            std::string dischargeDate = stays.text(9);
            if (!stays.isNull(10)) stay.STUNDEN = stays.text(10);

            if (stay.FLAG == flags::StoredCorrect || stay.FLAG == flags::StoredIncorrect) {
                ++counts.oldStays;
                continue;
            }
            std::string flag = stay.FLAG;
            if (typ == "INT") {
                checkIcuStay(stay, age, bd, dischargeDate, flag);
                counts.countedRecordLines += stay.Satzart_1 + stay.Satzart_3;
            } else {
                writeStayRow(levels::Error, " ", stay, "Datensatzaufbau entspricht nicht der Verordnung");
                flag = flags::Error;
            }
            if (flag == flags::Error) {
                ++counts.errorStays;
                counts.findings = true;
            } else if (flag == flags::Incorrect) {
                counts.findings = true;
            }
            if (flag != stay.FLAG) flagChanges.emplace_back(std::move(stay), flag);
        }
        stays.reset();
        for (const auto& [stay, flag] : flagChanges) {
            setFlag_.bind(1, std::string_view(flag)).bind(2, std::string_view(stay.KIS_ID));
            setFlag_.bind(3, std::string_view(stay.DOB)).bind(4, std::string_view(stay.ADM_DATE));
            setFlag_.run();
        }
        return counts;
    }

private:
    std::string stayLine(char recordType, const StayRow& stay) const {
        std::string line(1, recordType);
        line += context_.kaCode;
        line += context_.departmentCode;
        line += protocolText(stay.KIS_ID);
        line += protocolText(stay.DOB);
        line += protocolText(stay.ADM_DATE);
        return line;
    }

    void writeStayRow(std::string_view level, std::string_view parameter, const StayRow& stay,
                      std::string_view comment) {
        context_.protocol.WriteProtocolRow(level, parameter, stayLine(' ', stay), comment);
    }

    void writeSurveyWarning(const StayRow& stay, const std::string& comment) {
        context_.protocol.WriteProtocolRow(levels::Warning, "TISS28", stayLine('3', stay), comment);
    }

    void checkIcuStay(const StayRow& stay, const std::string& age, const std::string& bd,
                      const std::string& dischargeDate, std::string& flag) {
        std::string_view function = std::string_view(context_.departmentCode).substr(2, 2);
        if ((function == "51" || function == "27") && !IsBlank(age) && NumericValue(age) < 16) {
            writeStayRow(levels::Error, " ", stay, "Ausgewählter Patiententyp für angegebenes Alter ungültig");
            flag = flags::Error;
        }
        if (stay.Satzart_1 == 0 || stay.Satzart_3 == 0) {
            writeStayRow(levels::Error, "Datensatz", stay, "Satzarten 1 und 3 obligatorisch");
            flag = flags::Error;
        }
        if (flag == flags::Error) return;

        if (!IsBlank(bd)) {
            long long careDays = static_cast<long long>(NumericValue(bd)) + 1;
            if (stay.Satzart_3 != careDays) {
                writeSurveyWarning(stay, std::to_string(stay.Satzart_3) + " TISS28-Tage vs. " +
                                             std::to_string(careDays) + " Pflegetage");
                flag = flags::Incorrect;
            }
        }

        std::vector<SurveyDay> days = loadSurveyDays(stay);
        std::vector<SurveyDay> range = addSubstituteDays(stay, dischargeDate, days);
        for (const SurveyDay& day : range) {
            std::string date = FormatDateCode(day.date, 8);
            for (const DayRule& rule : kDayRules) {
                if (!dayRuleHolds(rule, day)) continue;
                writeSurveyWarning(stay, std::string(rule.commentStart) + date + std::string(rule.commentEnd));
                flag = flags::Incorrect;
            }
        }
    }

    static bool IsBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

    std::vector<SurveyDay> loadSurveyDays(const StayRow& stay) {
        std::vector<SurveyDay> days;
        surveyDays_.bind(1, std::string_view(stay.KIS_ID)).bind(2, std::string_view(stay.DOB));
        surveyDays_.bind(3, std::string_view(stay.ADM_DATE));
        while (surveyDays_.step() == StepResult::Row) {
            SurveyDay day;
            day.date = surveyDays_.text(0);
            day.number = day.date.size() == 8 ? dateNumber(day.date) : -1;
            day.hasScore = !surveyDays_.isNull(1);
            day.score = surveyDays_.text(1);
            day.hasItems = !surveyDays_.isNull(2);
            for (int i = 0; i < DayItemCount; ++i) day.items[i] = surveyDays_.text(2 + i);
            days.push_back(std::move(day));
        }
        surveyDays_.reset();
        return days;
    }

    // Adds a substitute row for every missing day from admission to discharge and returns the rows of
    // that range in day order, substitutes included.
    std::vector<SurveyDay> addSubstituteDays(const StayRow& stay, const std::string& dischargeDate,
                                             const std::vector<SurveyDay>& delivered) {
        std::vector<SurveyDay> range;
        long long first = dateNumber(stay.ADM_DATE);
        long long last = dateNumber(dischargeDate);
        if (first < 0 || last < 0 || last < first) return range;
        auto find = [&](long long date) -> const SurveyDay* {
            for (const SurveyDay& day : delivered)
                if (day.number == date) return &day;
            return nullptr;
        };
        long long serial = SerialOfDateNumber(first);
        for (long long number = first; number <= last; number = DateNumberOfSerial(++serial)) {
            if (const SurveyDay* existing = find(number)) {
                range.push_back(*existing);
                continue;
            }
            SurveyDay substitute;
            substitute.number = number;
            substitute.date = std::to_string(number);
            std::string_view qualifier;
            if (number == first) {
                qualifier = "E";
                const SurveyDay* following = find(DateNumberOfSerial(serial + 1));
                substitute.score = following && following->hasScore ? following->score : "000";
            } else if (number == last) {
                qualifier = "L";
                const SurveyDay& previous = range.back();
                substitute.score = previous.hasScore ? previous.score : "000";
            } else {
                qualifier = "M";
                substitute.score = "000";
            }
            substitute.hasScore = true;
            storeSubstitute(stay, qualifier, substitute);
            range.push_back(std::move(substitute));
        }
        return range;
    }

    void storeSubstitute(const StayRow& stay, std::string_view qualifier, const SurveyDay& day) {
        std::string ka = Windows1252ToUtf8(context_.kaCode);
        std::string department = Windows1252ToUtf8(context_.departmentCode);
        RecordType3Row row;
        row.utf8 = true;
        row.QUALIFIER = qualifier;
        row.KA_ID = ka;
        row.ICU_FUN_ID = std::string_view(department).substr(0, 6);
        row.ICU_FUN_SID = std::string_view(department).substr(6, 2);
        row.KIS_ID = stay.KIS_ID;
        row.DOB = stay.DOB;
        row.ADM_DATE = stay.ADM_DATE;
        row.REC_DATE = day.date;
        row.hasItems = false;
        row.T28_SCORE = day.score;
        row.hasScore = true;
        if (stay.STUNDEN) {
            row.STUNDEN = *stay.STUNDEN;
            row.hasHours = true;
        }
        if (context_.work.insertRecordType3(row) == StepResult::DuplicateKey)
            throw StoreError("substitute survey day already stored");
    }

    StayCheckContext& context_;
    Database& db_;
    Statement surveyDays_;
    Statement setFlag_;
};

}  // namespace

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
