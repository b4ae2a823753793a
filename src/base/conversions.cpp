#include "base/conversions.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>

#include "base/text.h"

namespace kalvora {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Characters start..start+count-1 (1-based) as far as the text has them; shorter near the end.
std::string_view CharsPresent(std::string_view text, std::size_t start, std::size_t count) {
    if (start > text.size()) return {};
    return text.substr(start - 1, count);
}

// The same characters, with those beyond the end of the text taken as blanks (fixed width).
std::string CharsOrBlanks(std::string_view text, std::size_t start, std::size_t count) {
    std::string result(CharsPresent(text, start, count));
    result.resize(count, ' ');
    return result;
}

long long ClampLong(long long value, long long low, long long high) { return std::clamp(value, low, high); }

int ToInt(long long value) { return static_cast<int>(ClampLong(value, INT_MIN, INT_MAX)); }

long long RoundHalfToEven(double value) {
    if (std::isnan(value)) return 0;
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (value >= 9223372036854775808.0) return LLONG_MAX;
    if (value <= -9223372036854775808.0) return LLONG_MIN;
    const double whole = std::floor(value);
    const double fraction = value - whole;  // exact for every double
    long long result = static_cast<long long>(whole);
    if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0)) ++result;
    return result;
}

long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days since 1970-01-01 of a proleptic Gregorian date with a month of 1 to 12 and day 1.
long long DaysFromCivil(long long year, long long month, long long day) {
    year -= month <= 2;
    const long long era = FloorDiv(year, 400);
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    long long year;
    long long month;
    long long day;
};

CivilDate CivilFromDays(long long days) {
    days += 719468;
    const long long era = FloorDiv(days, 146097);
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long shiftedMonth = (5 * dayOfYear + 2) / 153;
    const long long day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const long long month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    return {yearOfEra + era * 400 + (month <= 2), month, day};
}

// A day built from year, month and day numbers with carry: day 0 is the last day of the previous
// month, month 13 is January of the next year. The parts are bounded so that odd input cannot
// overflow; real dates are far inside these bounds.
long long BuildDay(long long year, long long month, long long day) {
    year = ClampLong(year, -1'000'000, 1'000'000);
    month = ClampLong(month, -1'000'000, 1'000'000);
    day = ClampLong(day, -100'000'000, 100'000'000);
    year += FloorDiv(month - 1, 12);
    month -= FloorDiv(month - 1, 12) * 12;
    return DaysFromCivil(year, month, 1) + day - 1;
}

long long WholePart(std::string_view text, std::size_t start, std::size_t count) {
    return WholeNumericValue(CharsPresent(text, start, count));
}

// The day of a JJJJMMTT text (first 8 characters).
long long DayOfDateCode(std::string_view text) {
    return BuildDay(WholePart(text, 1, 4), WholePart(text, 5, 2), WholePart(text, 7, 2));
}

bool IsLeapYear(long long year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(long long year, long long month) {
    switch (month) {
        case 4:
        case 6:
        case 9:
        case 11:
            return 30;
        case 2:
            return IsLeapYear(year) ? 29 : 28;
        default:
            return 31;
    }
}

std::string TwoDigits(long long value) {
    std::string text = std::to_string(value);
    if (text.size() < 2) text.insert(0, 2 - text.size(), '0');
    return text;
}

// Year of a DateCode: written without blanks, filled to and cut at four characters.
std::string FourDigitYear(long long year) {
    std::string digits = std::to_string(year < 0 ? -year : year);
    const std::size_t width = year < 0 ? 3 : 4;
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    if (year < 0) digits.insert(0, 1, '-');
    return digits.substr(0, 4);
}

std::string DateCodeOfDay(long long day) {
    const CivilDate date = CivilFromDays(day);
    return FourDigitYear(date.year) + TwoDigits(date.month) + TwoDigits(date.day);
}

std::string DayCodeFromDisplay(std::string_view display, int offset) {
    const long long day =
        BuildDay(WholePart(display, 7, 4), WholePart(display, 4, 2), WholePart(display, 1, 2));
    return DateCodeOfDay(day + offset);
}

// A typed number in exact decimal digits, as the user wrote it.
struct TypedNumber {
    bool negative = false;
    std::string integerDigits;
    std::string fractionDigits;
};

std::optional<TypedNumber> ParseTypedNumber(std::string_view text, const NumberNotation& notation) {
    text = TrimBlanks(text);
    TypedNumber number;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.negative = text[i] == '-';
        ++i;
    }
    // Grouping is accepted only where it belongs (1 to 3 digits, then groups of exactly 3), so that
    // "1.5" typed in a German locale is refused rather than read as 15.
    std::size_t groupLength = 0;
    bool grouped = false;
    while (i < text.size()) {
        const char c = text[i];
        if (IsDigit(c)) {
            number.integerDigits.push_back(c);
            ++groupLength;
        } else if (c == notation.decimalSeparator) {
            break;
        } else if (c == notation.groupSeparator) {
            if (groupLength == 0 || groupLength > 3 || (grouped && groupLength != 3)) return std::nullopt;
            grouped = true;
            groupLength = 0;
        } else {
            return std::nullopt;
        }
        ++i;
    }
    if (grouped && groupLength != 3) return std::nullopt;
    if (i < text.size()) {
        ++i;  // the decimal separator
        for (; i < text.size(); ++i) {
            if (!IsDigit(text[i])) return std::nullopt;
            number.fractionDigits.push_back(text[i]);
        }
    }
    if (number.integerDigits.empty() && number.fractionDigits.empty()) return std::nullopt;
    return number;
}

bool IsZero(const TypedNumber& number) {
    return number.integerDigits.find_first_not_of('0') == std::string::npos &&
           number.fractionDigits.find_first_not_of('0') == std::string::npos;
}

std::string WithoutLeadingZeros(std::string_view digits) {
    const auto first = digits.find_first_not_of('0');
    return first == std::string_view::npos ? std::string() : std::string(digits.substr(first));
}

// The plain form: no grouping, no leading zeros, no trailing zeros of the fraction.
std::string PlainText(const TypedNumber& number, const NumberNotation& notation) {
    std::string integer = WithoutLeadingZeros(number.integerDigits);
    if (integer.empty()) integer = "0";
    std::string fraction = number.fractionDigits;
    fraction.erase(fraction.find_last_not_of('0') + 1);
    std::string text = IsZero(number) || !number.negative ? "" : "-";
    text += integer;
    if (!fraction.empty()) text += notation.decimalSeparator + fraction;
    return text;
}

// Writes the number with `decimals` places, halves rounded away from zero on the typed digits.
// Without decimals a zero value is the empty text (pattern "####"); with decimals at least one
// integer digit is written (pattern "###0.0").
std::string PatternText(const TypedNumber& number, int decimals, bool grouping,
                        const NumberNotation& notation) {
    const std::size_t places = static_cast<std::size_t>(std::max(decimals, 0));
    std::string fraction = number.fractionDigits;
    const bool roundUp = fraction.size() > places && fraction[places] >= '5';
    fraction.resize(places, '0');
    std::string digits = number.integerDigits + fraction;
    if (roundUp) {
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
        if (i == 0) {
            digits.insert(0, 1, '1');
        } else {
            ++digits[i - 1];
        }
    }
    std::string integer = WithoutLeadingZeros(std::string_view(digits).substr(0, digits.size() - places));
    fraction = digits.substr(digits.size() - places);
    const bool zero = integer.empty() && fraction.find_first_not_of('0') == std::string::npos;
    if (integer.empty() && places > 0) integer = "0";
    if (grouping) {
        for (std::size_t pos = integer.size(); pos > 3; pos -= 3)
            integer.insert(pos - 3, 1, notation.groupSeparator);
    }
    std::string text = number.negative && !zero ? "-" : "";
    text += integer;
    if (places > 0) text += notation.decimalSeparator + fraction;
    return text;
}

}  // namespace

double NumericValue(std::string_view text) {
    const std::size_t size = text.size();
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < size && text[i] == ' ') ++i;
    };

    skipBlanks();
    bool negative = false;
    if (i < size && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    // Significant digits without leading zeros, and the power of ten they are to be scaled by.
    std::string digits;
    long long scale = 0;
    bool anyDigit = false;
    for (skipBlanks(); i < size && IsDigit(text[i]); ++i, skipBlanks()) {
        anyDigit = true;
        if (digits.empty() && text[i] == '0') continue;
        digits.push_back(text[i]);
    }
    if (i < size && text[i] == '.') {
        ++i;
        for (skipBlanks(); i < size && IsDigit(text[i]); ++i, skipBlanks()) {
            anyDigit = true;
            --scale;
            if (digits.empty() && text[i] == '0') continue;
            digits.push_back(text[i]);
        }
    }
    if (!anyDigit || digits.empty()) return 0.0;

    if (i < size && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        ++i;
        skipBlanks();
        bool negativeExponent = false;
        if (i < size && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        long long exponent = 0;
        for (skipBlanks(); i < size && IsDigit(text[i]); ++i, skipBlanks()) {
            // Capped: beyond this the value is infinite or zero anyway.
            exponent = std::min(exponent * 10 + (text[i] - '0'), 1'000'000'000LL);
        }
        scale += negativeExponent ? -exponent : exponent;
    }

    const double sign = negative ? -1.0 : 1.0;
    // Fast path: up to 15 digits and a power of ten that a double holds exactly give the correctly
    // rounded value by one multiplication or division.
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (digits.size() <= 15 && scale >= -22 && scale <= 22) {
        long long mantissa = 0;
        for (const char c : digits) mantissa = mantissa * 10 + (c - '0');
        const double value = static_cast<double>(mantissa);
        return sign * (scale < 0 ? value / kPowers[-scale] : value * kPowers[scale]);
    }

    const long long magnitude = static_cast<long long>(digits.size()) + scale;
    if (magnitude > 400) return sign * std::numeric_limits<double>::infinity();
    if (magnitude < -400) return 0.0;
    digits += 'e';
    digits += std::to_string(scale);
    double value = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        return magnitude > 0 ? sign * std::numeric_limits<double>::infinity() : 0.0;
    }
    return sign * value;
}

long long WholeNumericValue(std::string_view text) { return RoundHalfToEven(NumericValue(text)); }

int AgeInYears(std::string_view reference, std::string_view birth) {
    const long long referenceDay = DayOfDateCode(reference);
    const CivilDate born = CivilFromDays(DayOfDateCode(birth));
    const long long referenceYear = CivilFromDays(referenceDay).year;
    // Built with carry, so a birthday on 29 February falls on 1 March outside leap years.
    const long long birthday = BuildDay(referenceYear, born.month, born.day);
    return ToInt(referenceYear - born.year - (referenceDay < birthday ? 1 : 0));
}

int DaysBetween(std::string_view first, std::string_view second) {
    return ToInt(DayOfDateCode(second) - DayOfDateCode(first));
}

int WholeHoursBetween(std::string_view first, std::string_view second) {
    const double hours = NumericValue(CharsPresent(second, 1, 2)) - NumericValue(CharsPresent(first, 1, 2));
    const bool minutesBefore =
        NumericValue(CharsPresent(second, 3, 2)) < NumericValue(CharsPresent(first, 3, 2));
    return ToInt(RoundHalfToEven(hours - (minutesBefore ? 1.0 : 0.0)));
}

int IsDateCodeValid(std::string_view text) {
    constexpr int kValid = 0;
    constexpr int kInvalid = 50;
    const long long year = WholePart(text, 1, 4);
    const long long month = WholePart(text, 5, 2);
    const long long day = WholePart(text, 7, 2);
    if (year < 1850 || year > 2200) return kInvalid;
    if (month < 1 || month > 12) return kInvalid;
    if (day < 1 || day > DaysInMonth(year, month)) return kInvalid;
    return kValid;
}

std::string NormaliseDateEntry(std::string_view entry, std::string_view centuryPrefix) {
    const auto firstPoint = entry.find('.');
    if (firstPoint == std::string_view::npos) {
        if (IsDateCodeValid(entry) != 0) return " ";
        std::string result(CharsPresent(entry, 7, 2));
        result += '.';
        result += CharsPresent(entry, 5, 2);
        result += '.';
        result += CharsPresent(entry, 1, 4);
        return result;
    }

    const std::string_view rest = entry.substr(firstPoint + 1);
    const auto secondPoint = rest.find('.');
    if (secondPoint == std::string_view::npos) return {};

    const auto twoCharacters = [](std::string_view part) {
        return part.size() >= 2 ? std::string(part) : std::string(2 - part.size(), '0') + std::string(part);
    };
    const std::string day = twoCharacters(entry.substr(0, firstPoint));
    const std::string month = twoCharacters(rest.substr(0, secondPoint));
    if (day.size() > 2 || month.size() > 2) return {};

    // A short year is completed from the front of the century prefix ("12" with "2000" is "2012").
    const std::string_view typedYear = rest.substr(secondPoint + 1);
    std::string year;
    if (typedYear.size() < 4) year = centuryPrefix.substr(0, 4 - typedYear.size());
    for (const char c : typedYear) {
        if (c != ' ') year.push_back(c);
    }
    if (year.size() > 4) return {};
    if (IsDateCodeValid(year + month + day) != 0) return {};
    return day + '.' + month + '.' + year;
}

std::string FormatDateCode(std::string_view text, int length) {
    const bool dayOnly = length == 8;
    if (IsBlankText(text)) return std::string(dayOnly ? 10 : 17, ' ');
    std::string result =
        CharsOrBlanks(text, 7, 2) + '.' + CharsOrBlanks(text, 5, 2) + '.' + CharsOrBlanks(text, 1, 4);
    if (!dayOnly) result += ", " + CharsOrBlanks(text, 9, 2) + ':' + CharsOrBlanks(text, 11, 2);
    return result;
}

std::string DisplayToDateCode(std::string_view text, int length) {
    std::string result = CharsOrBlanks(text, 7, 4) + CharsOrBlanks(text, 4, 2) + CharsOrBlanks(text, 1, 2);
    if (length != 8) result += CharsOrBlanks(text, 13, 2) + CharsOrBlanks(text, 16, 2);
    if (IsBlankText(result)) return std::string(static_cast<std::size_t>(std::clamp(length, 0, 12)), ' ');
    return result;
}

std::string NextDayCode(std::string_view display) { return DayCodeFromDisplay(display, 1); }

std::string PreviousDayCode(std::string_view display) { return DayCodeFromDisplay(display, -1); }

std::string PadNumber(std::string& text, int width) {
    text = std::string(TrimBlanks(text));
    const std::size_t size = static_cast<std::size_t>(std::max(width, 0));
    if (text.empty()) return std::string(size, ' ');
    std::string result = text;
    const auto point = result.find('.');
    const auto comma = result.find(',');
    if (point != std::string::npos || comma != std::string::npos) {
        // npos counts as "no position", so the separator that is present wins.
        const auto later = point == std::string::npos   ? comma
                           : comma == std::string::npos ? point
                                                        : std::max(point, comma);
        result.erase(later, 1);
    }
    if (result.size() < size) result.insert(0, size - result.size(), '0');
    return result;
}

NumberEntryResult CheckNumberEntry(std::string_view text, int decimals, int maxCharacters,
                                   bool refuseNegative, const NumberNotation& notation) {
    NumberEntryResult result{std::string(text), std::nullopt};
    if (IsBlankText(text)) return result;

    const std::optional<TypedNumber> number = ParseTypedNumber(text, notation);
    if (!number) {
        result.message = "Die Eingabe ist ungültig!";
        return result;
    }
    if (refuseNegative && number->negative && !IsZero(*number)) {
        result.message = "Negative Werte sind unzulässig!";
        return result;
    }

    result.text = PlainText(*number, notation);
    const std::string ungrouped = PatternText(*number, decimals, false, notation);
    if (maxCharacters < 0 || ungrouped.size() > static_cast<std::size_t>(maxCharacters)) {
        // The maximum is written as a number with room for its sign, hence the blank before it.
        const std::string maximum = (maxCharacters >= 0 ? " " : "") + std::to_string(maxCharacters);
        result.message = "Maximal " + maximum + " Stellen zulässig!";
        return result;
    }
    result.text = PatternText(*number, decimals, true, notation);
    return result;
}

std::optional<double> ParseLocaleNumber(std::string_view text, const NumberNotation& notation) {
    const std::optional<TypedNumber> number = ParseTypedNumber(text, notation);
    if (!number) return std::nullopt;
    std::string plain = number->negative ? "-" : "";
    plain += number->integerDigits.empty() ? "0" : number->integerDigits;
    if (!number->fractionDigits.empty()) plain += '.' + number->fractionDigits;
    double value = 0.0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Too many integer digits overflow; a long run of zeros after the separator underflows.
        const bool overflow = number->integerDigits.find_first_not_of('0') != std::string::npos;
        if (!overflow) return 0.0;
        return (number->negative ? -1.0 : 1.0) * std::numeric_limits<double>::infinity();
    }
    return value + 0.0;  // no negative zero
}

}  // namespace kalvora
