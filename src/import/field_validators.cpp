#include "import/field_validators.h"

#include <cmath>

#include "base/conversions.h"
#include "base/file_name_check.h"
#include "import/protocol_file.h"

namespace kalvora {

namespace {

constexpr std::string_view kBlanks = "                                    ";  // 36

bool isLeapYear(long year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int daysInMonth(long year, long month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

// The whole number of a part of a date text; no value when it cannot be held in 16 bits, which
// makes the date invalid (a year written with an exponent, for example).
bool wholeNumber(std::string_view text, long& value) {
    // Plain digits need no number reading.
    bool digits = !text.empty();
    long plain = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            digits = false;
            break;
        }
        plain = plain * 10 + (c - '0');
    }
    if (digits) {
        value = plain;
        return true;
    }
    double number = NumericValue(text);
    if (!std::isfinite(number)) return false;
    double rounded = std::nearbyint(number);  // halves to even
    if (rounded < -32768.0 || rounded > 32767.0) return false;
    value = static_cast<long>(rounded);
    return true;
}

std::string_view checkRange(ValidationContext& context, std::string_view level, std::string_view label,
                            std::string_view line, int start, int length, double minimum, double maximum,
                            bool mandatory) {
    std::string_view field = LinePart(line, start, length);
    bool isError = level == levels::Error;
    if (IsBlankField(field)) {
        if (mandatory) {
            context.protocol.WriteProtocolRow(levels::Error, label, line, kInvalidParameter);
            RaiseToError(context.state);
        }
        return Blanks(length);
    }
    // Most fields are a single digit; they need no number reading.
    double value =
        field.size() == 1 && field[0] >= '0' && field[0] <= '9' ? field[0] - '0' : NumericValue(field);
    if (value >= minimum && value <= maximum) return field;
    context.protocol.WriteProtocolRow(level, label, line, kInvalidParameter);
    if (isError)
        RaiseToError(context.state);
    else
        RaiseToWarning(context.state);
    return field;
}

}  // namespace

bool IsBlankField(std::string_view field) { return field.find_first_not_of(' ') == std::string_view::npos; }

std::string_view Blanks(int length) {
    return kBlanks.substr(0, static_cast<size_t>(std::min<int>(std::max(length, 0), 36)));
}

int CheckDateCode(std::string_view text, int length) {
    constexpr int invalid = 10;
    if (text.find('.') != std::string_view::npos) return invalid;
    auto part = [&](size_t from, size_t count) {
        return from < text.size() ? text.substr(from, count) : std::string_view();
    };
    long year = 0, month = 0, day = 0;
    if (!wholeNumber(part(0, 4), year) || year < 1850 || year > 2200) return invalid;
    if (!wholeNumber(part(4, 2), month) || month < 1 || month > 12) return invalid;
    if (!wholeNumber(part(6, 2), day) || day < 1 || day > daysInMonth(year, month)) return invalid;
    if (length != 12) return 0;
    if (IsBlankField(part(8, 4))) return invalid;
    long hour = 0, minute = 0;
    if (!wholeNumber(part(8, 2), hour) || hour > 23) return invalid;
    if (!wholeNumber(part(10, 2), minute) || minute > 59) return invalid;
    return 0;
}

std::string_view CheckRangeError(ValidationContext& context, std::string_view label, std::string_view line,
                                 int start, int length, double minimum, double maximum) {
    return checkRange(context, levels::Error, label, line, start, length, minimum, maximum, false);
}

std::string_view CheckRangeWarning(ValidationContext& context, std::string_view label, std::string_view line,
                                   int start, int length, double minimum, double maximum) {
    return checkRange(context, levels::Warning, label, line, start, length, minimum, maximum, false);
}

std::string_view CheckMandatoryRange(ValidationContext& context, std::string_view label,
                                     std::string_view line, int start, int length, double minimum,
                                     double maximum) {
    return checkRange(context, levels::Error, label, line, start, length, minimum, maximum, true);
}

std::string_view CheckMandatoryText(ValidationContext& context, std::string_view line, int start,
                                    int length) {
    std::string_view field = LinePart(line, start, length);
    if (!IsBlankField(field)) return field;
    context.protocol.WriteProtocolRow(levels::Error, "KH-Aufnahmezahl", line, kInvalidParameter);
    RaiseToError(context.state);
    return Blanks(length);
}

void CheckFileName(std::string_view name, CheckState& state) {
    if (!IsShortFileName(name)) state = CheckState::BadFileName;
}

}  // namespace kalvora
