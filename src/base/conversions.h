#pragma once
// Conversions of dates, times and numbers shared by every part of the program.
// Dates travel as fixed-width text: a DateCode is JJJJMMTT, a DateTimeCode JJJJMMTThhmm;
// windows show TT.MM.JJJJ and TT.MM.JJJJ, hh:mm.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kalvora {

// Value of the number at the start of the text: blanks are skipped wherever they stand, an
// optional sign, digits, an optional "." with digits and an optional exponent (E or D) are read.
// "." is always the decimal separator. A text without a number is 0.
double NumericValue(std::string_view text);

// NumericValue rounded to a whole number, halves to the even neighbour.
long long WholeNumericValue(std::string_view text);

// Age in whole years on the reference day (first 8 characters count) of a person born on `birth`.
int AgeInYears(std::string_view reference, std::string_view birth);

// Calendar days from the first day to the second (first 8 characters of each), negative when the
// second is earlier.
int DaysBetween(std::string_view first, std::string_view second);

// Whole hours from the first time to the second (each hhmm).
int WholeHoursBetween(std::string_view first, std::string_view second);

// Check of a typed date: 0 when the first 8 characters are a valid JJJJMMTT, else 50.
int IsDateCodeValid(std::string_view text);

// A typed date in TT.MM.JJJJ form, or the blank/empty text when the entry is not a valid day.
std::string NormaliseDateEntry(std::string_view entry, std::string_view centuryPrefix);

// Display form of a stored DateCode (length 8) or DateTimeCode (any other length).
std::string FormatDateCode(std::string_view text, int length);

// Stored form (length 8 or 12) of a display text.
std::string DisplayToDateCode(std::string_view text, int length);

// DateCode of the day after / before a day given as TT.MM.JJJJ.
std::string NextDayCode(std::string_view display);
std::string PreviousDayCode(std::string_view display);

// Blanks around `text` are removed (in place); the result is `width` characters: blanks for an
// empty text, otherwise zeros in front. The later of "." and "," is taken out first.
std::string PadNumber(std::string& text, int width);

// Number notation of a locale for numbers typed and shown to the user.
struct NumberNotation {
    char decimalSeparator = ',';
    char groupSeparator = '.';
    static NumberNotation German() { return {',', '.'}; }
    static NumberNotation Plain() { return {'.', ','}; }
};

// Outcome of the check of a typed number when its field loses the focus.
struct NumberEntryResult {
    std::string text;                    // the field's text afterwards
    std::optional<std::string> message;  // error-box text; the focus goes back into the field
};

NumberEntryResult CheckNumberEntry(std::string_view text, int decimals, int maxCharacters,
                                   bool refuseNegative, const NumberNotation& notation);

// Parse a number in the given notation (optional sign, digits with optional grouping, optional
// decimal part). Blanks around it are allowed. No value when the text is not such a number.
std::optional<double> ParseLocaleNumber(std::string_view text, const NumberNotation& notation);

}  // namespace kalvora
