#include "import/record_readers.h"

#include <array>
#include <cstdio>

#include "base/conversions.h"
#include "base/encoding.h"
#include "import/field_validators.h"
#include "import/protocol_file.h"
#include "import/work_database.h"
#include "tiss/tiss_item.h"

namespace kalvora {

namespace {

constexpr std::string_view kBlank = " ";
constexpr std::string_view kDuplicate = "Mehrfacheinträge";
constexpr std::string_view kUnknownCause = "Fehlerursache unbekannt";

// Text cut or padded with blanks on the right to a width.
std::string fixedWidth(std::string text, size_t width) {
    text.resize(width, ' ');
    return text;
}

// Hospital, department, admission number, birth date and admission time: the fields both record
// types share, checked in this order.
template <typename Row>
void readSharedFields(const LineRules& rules, ValidationContext& validation, std::string_view line,
                      Row& fields) {
    if (LinePart(line, 2, 4) != rules.kaCode) {
        validation.protocol.WriteProtocolRow(levels::Error, "KA", line, kInvalidParameter);
        RaiseToError(validation.state);
        fields.KA_ID = kBlank;
    } else {
        fields.KA_ID = rules.kaCode;
    }
    if (LinePart(line, 6, 8) != rules.departmentCode) {
        validation.protocol.WriteProtocolRow(levels::Error, "Abteilung", line, kInvalidParameter);
        RaiseToError(validation.state);
        fields.ICU_FUN_ID = kBlank;
        fields.ICU_FUN_SID = kBlank;
    } else {
        fields.ICU_FUN_ID = rules.departmentCode.substr(0, 6);
        fields.ICU_FUN_SID = rules.departmentCode.substr(6, 2);
    }
    fields.KIS_ID = CheckMandatoryText(validation, line, 14, 10);
    auto checkedDate = [&](int start, int length, std::string_view label) -> std::string_view {
        std::string_view field = LinePart(line, start, length);
        if (CheckDateCode(field, length) != 0) {
            validation.protocol.WriteProtocolRow(levels::Error, label, line, kInvalidParameter);
            RaiseToError(validation.state);
            return kBlank;
        }
        return field;
    };
    fields.DOB = checkedDate(24, 8, "Geburtsdatum");
    fields.ADM_DATE = checkedDate(32, 12, "Aufnahmezeitpunkt");
}

void reportStoreResult(LineContext& context, std::string_view line, StepResult result) {
    if (result == StepResult::DuplicateKey) {
        context.duplicateFlag = true;
        context.protocol.WriteProtocolRow(levels::Warning, "Datensatz", line, kDuplicate);
        RaiseToWarning(context.state);
    }
}

void reportStoreFailure(LineContext& context, std::string_view line) {
    context.protocol.WriteProtocolRow(levels::Error, "Datensatz", line, kUnknownCause);
    RaiseToError(context.state);
}

}  // namespace

CheckedType1 CheckRecordType1(const LineRules& rules, std::string_view line) {
    CheckedType1 checked;
    ValidationContext validation{checked.findings, checked.state};
    RecordType1Row& row = checked.row;
    StayFigures& figures = checked.figures;
    row.ascii = IsAscii(line);
    row.QUALIFIER = "1";
    readSharedFields(rules, validation, line, row);

    std::string_view discharge = LinePart(line, 66, 12);
    bool dischargeValid = CheckDateCode(discharge, 12) == 0;
    if (!dischargeValid) {
        checked.findings.WriteProtocolRow(levels::Error, "Entlassungszeitpunkt", line, kInvalidParameter);
        RaiseToError(checked.state);
        row.DIS_DATE = kBlank;
    } else {
        row.DIS_DATE = discharge;
    }
    row.ICU_OUTCOME = CheckMandatoryRange(validation, "Entlassungszustand", line, 78, 1, 1, 4);
    figures.outcome = fixedWidth(std::string(row.ICU_OUTCOME), 1);

    std::string_view hospitalDischarge = LinePart(line, 79, 8);
    if (!IsBlankField(hospitalDischarge)) {
        row.HOSP_DIS_DATE = hospitalDischarge;
        if (CheckDateCode(hospitalDischarge, 8) != 0) {
            std::string_view level = rules.plausLevelIsError ? levels::Error : levels::Warning;
            checked.findings.WriteProtocolRow(level, "Spitalsentlassungsdatum", line, kInvalidParameter);
            if (rules.plausLevelIsError)
                RaiseToError(checked.state);
            else
                RaiseToWarning(checked.state);
        }
    } else {
        row.HOSP_DIS_DATE = Blanks(8);
    }
    row.HOSP_MORT = rules.plausLevelIsError
                        ? CheckRangeError(validation, "Spitalsentlassungszustand", line, 87, 1, 1, 2)
                        : CheckRangeWarning(validation, "Spitalsentlassungszustand", line, 87, 1, 1, 2);

    std::string_view admission = LinePart(line, 32, 12);
    bool admissionValid = CheckDateCode(admission, 12) == 0;
    if (!dischargeValid || !admissionValid) {
        figures.days = fixedWidth(" ", 5);
        figures.hours = "  ";
    } else {
        int days = DaysBetween(row.ADM_DATE.substr(0, 8), row.DIS_DATE.substr(0, 8));
        figures.days = fixedWidth(std::to_string(days), 5);
        figures.hours = days != 0 ? "  "
                                  : fixedWidth(std::to_string(WholeHoursBetween(row.ADM_DATE.substr(8, 4),
                                                                                row.DIS_DATE.substr(8, 4))),
                                               2);
    }
    double days = NumericValue(figures.days);
    if (days < 0 || (days == 0 && NumericValue(figures.hours) < 0)) {
        checked.findings.WriteProtocolRow(levels::Error, "Aufnahmezeitpunkt", line,
                                          "Entlassung vor Aufnahme");
        RaiseToError(checked.state);
    }
    std::string_view birth = LinePart(line, 24, 8);
    if (CheckDateCode(birth, 8) != 0 || !admissionValid)
        figures.age = fixedWidth(" ", 3);
    else
        figures.age = fixedWidth(std::to_string(AgeInYears(row.ADM_DATE, row.DOB)), 3);

    return checked;
}

CheckedType3 CheckRecordType3(const LineRules& rules, std::string_view line) {
    CheckedType3 checked;
    ValidationContext validation{checked.findings, checked.state};
    RecordType3Row& row = checked.row;
    row.utf8 = IsAscii(line);
    row.QUALIFIER = "3";
    readSharedFields(rules, validation, line, row);

    std::string_view surveyDay = LinePart(line, 44, 8);
    if (CheckDateCode(surveyDay, 8) != 0) {
        checked.findings.WriteProtocolRow(levels::Error, "Erhebungsdatum", line, kInvalidParameter);
        RaiseToError(checked.state);
        row.REC_DATE = kBlank;
    } else {
        row.REC_DATE = surveyDay;
    }

    const auto& items = TissItems();
    for (int i = 0; i < kTissItemCount; ++i) {
        const TissItem& item = items[i];
        // Nearly every item is a plain 0 or 1, which passes the range check as it stands.
        const auto at = static_cast<size_t>(item.linePosition - 1);
        if (at < line.size() && (line[at] == '0' || line[at] == '1')) {
            row.items[i] = line.substr(at, 1);
            continue;
        }
        row.items[i] =
            rules.plausLevelIsError
                ? CheckRangeError(validation, item.protocolLabel, line, item.linePosition, 1, 0, 1)
                : CheckRangeWarning(validation, item.protocolLabel, line, item.linePosition, 1, 0, 1);
    }

    if (checked.state != CheckState::Error) {
        int score = ComputeTissScore(row.items);
        checked.scoreText = TissScoreText(score);
        row.hasScore = true;
        if (score == 0) {
            checked.findings.WriteProtocolRow(levels::Warning, "TISS28", line, "Score beträgt 0 Punkte");
            RaiseToWarning(checked.state);
        }
    }
    return checked;
}

std::optional<std::uint32_t> ItemValuesOnly(const LineRules& rules, std::string_view line,
                                            const CheckedType3& checked) {
    const RecordType3Row& row = checked.row;
    if (checked.state == CheckState::Error || !row.utf8 || row.REC_DATE.size() != 8 ||
        row.KA_ID != rules.kaCode || row.ICU_FUN_ID != LinePart(rules.departmentCode, 1, 6) ||
        row.ICU_FUN_SID != LinePart(rules.departmentCode, 7, 2) || !IsUnderLineKey(row, line) ||
        HasBlankedKeyField(row))
        return std::nullopt;
    std::uint32_t items = 0;
    for (int i = 0; i < kTissItemCount; ++i) {
        if (row.items[i] == "1")
            items |= std::uint32_t{1} << i;
        else if (row.items[i] != "0")
            return std::nullopt;
    }
    return items;
}

void RowOfItemValues(const RowCodes& codes, std::string_view kisId, std::string_view dob,
                     std::string_view admDate, std::string_view recDate, std::uint32_t items,
                     CheckedType3& checked) {
    RecordType3Row& row = checked.row;
    row.utf8 = true;
    row.QUALIFIER = "3";
    row.KA_ID = codes.kaCode;
    row.ICU_FUN_ID = codes.departmentId;
    row.ICU_FUN_SID = codes.departmentSid;
    row.KIS_ID = kisId;
    row.DOB = dob;
    row.ADM_DATE = admDate;
    row.REC_DATE = recDate;
    for (int i = 0; i < kTissItemCount; ++i) row.items[i] = (items >> i & 1) != 0 ? "1" : "0";
    checked.scoreText = TissScoreText(ComputeTissScore(row.items));
    row.hasScore = true;
    CompleteRecordType3(checked);
}

void StoreRecordType1(LineContext& context, std::string_view line, const CheckedType1& checked) {
    checked.findings.writeTo(context.protocol, line);
    context.state = checked.state;
    try {
        reportStoreResult(context, line, context.work.insertRecordType1(checked.row));
    } catch (const StoreError&) {
        reportStoreFailure(context, line);
    }
}

void StoreRecordType3(LineContext& context, std::string_view line, CheckedType3& checked) {
    checked.findings.writeTo(context.protocol, line);
    context.state = checked.state;
    CompleteRecordType3(checked);
    RecordType3Row& row = checked.row;
    if (context.stayHours != nullptr && context.stayHours->has_value()) {
        row.STUNDEN = **context.stayHours;
        row.hasHours = true;
    }
    try {
        StepResult result = context.work.insertRecordType3(row);
        reportStoreResult(context, line, result);
    } catch (const StoreError&) {
        reportStoreFailure(context, line);
    }
}

void NoteRecordType1(LineContext& context, std::string_view line, const CheckedType1& checked) {
    checked.findings.writeTo(context.protocol, line);
    context.state = checked.state;
}

void SetStayFields(StayRow& stay, std::string_view line, const StayFigures& figures) {
    stay.DIS_YEARMONTH = Windows1252ToUtf8(LinePart(line, 66, 6));
    stay.DIS_DATE = Windows1252ToUtf8(LinePart(line, 66, 12));
    stay.BD = figures.days;
    stay.Alter = figures.age;
    stay.ICU_OUTCOME = Windows1252ToUtf8(figures.outcome);
    stay.TYP = "INT";
    stay.STUNDEN = StayHours(figures);
}

std::string StayHours(const StayFigures& figures) {
    const bool sameDayStay =
        NumericValue(figures.days) == 0 && (figures.outcome == "1" || figures.outcome == "2");
    return sameDayStay ? figures.hours : std::string("99");
}

void NoteRecordType3(LineContext& context, std::string_view line, const CheckedType3& checked,
                     bool duplicate) {
    checked.findings.writeTo(context.protocol, line);
    context.state = checked.state;
    if (duplicate) reportStoreResult(context, line, StepResult::DuplicateKey);
}

void CompleteRecordType3(CheckedType3& checked) {
    if (checked.row.hasScore) checked.row.T28_SCORE = checked.scoreText;
}

void LineFindings::WriteProtocolRow(std::string_view level, std::string_view parameter, std::string_view,
                                    std::string_view comment) {
    rows_.push_back({level, std::string(parameter), std::string(comment)});
}

void LineFindings::writeTo(ProtocolSink& protocol, std::string_view line) const {
    for (const Row& row : rows_) protocol.WriteProtocolRow(row.level, row.parameter, line, row.comment);
}

}  // namespace kalvora
