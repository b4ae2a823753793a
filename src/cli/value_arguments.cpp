#include "cli/value_arguments.h"

#include <algorithm>

#include "base/conversions.h"
#include "base/message_service.h"
#include "base/text.h"

namespace kalvora::cli {

namespace {

constexpr std::string_view kInvalidDateTime = "Ungültiger Zeitpunkt (JJJJMMTThhmm) oder (TT.MM.JJJJ, hh:mm)!";

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// JJJJMMTT of a day typed in either form; empty when it is none.
std::string DateCodeOf(std::string_view text, std::string_view centuryPrefix) {
    if (text.find('.') == std::string_view::npos)
        return text.size() == 8 && AllDigits(text) && IsDateCodeValid(text) == 0 ? std::string(text)
                                                                                 : std::string();
    const std::string display = NormaliseDateEntry(text, centuryPrefix);
    if (IsBlankText(display)) return {};
    return DisplayToDateCode(display, 8);
}

// hhmm of the hours (one or two digits, 0 to 23) and minutes (two digits); empty when they are none.
std::string TimeCodeOf(std::string_view hours, std::string_view minutes) {
    if (hours.empty() || hours.size() > 2 || minutes.size() != 2 || !AllDigits(hours) || !AllDigits(minutes))
        return {};
    const std::string hh = (hours.size() == 1 ? "0" : "") + std::string(hours);
    if (std::stoi(hh) > 23 || std::stoi(std::string(minutes)) > 59) return {};
    return hh + std::string(minutes);
}

std::string Joined(const std::string& date, const std::string& time) {
    return date.empty() || time.empty() ? std::string() : date + time;
}

std::string DateTimeCodeOf(std::string_view text) {
    if (text.find('.') == std::string_view::npos) {
        if (text.size() != 12 || !AllDigits(text)) return {};
        return Joined(DateCodeOf(text.substr(0, 8), "8"), TimeCodeOf(text.substr(8, 2), text.substr(10, 2)));
    }
    // "TT.MM.JJJJ, hh:mm" or "TT.MM.JJJJ hh:mm"
    const auto gap = text.find_first_of(", ");
    const auto timeStart = gap == std::string_view::npos ? gap : text.find_first_not_of(", ", gap);
    if (timeStart == std::string_view::npos) return {};
    const std::string_view time = text.substr(timeStart);
    const auto colon = time.find(':');
    if (colon == std::string_view::npos) return {};
    return Joined(DateCodeOf(text.substr(0, gap), "8"),
                  TimeCodeOf(time.substr(0, colon), time.substr(colon + 1)));
}

}  // namespace

std::string ArgumentRefusal(std::string_view name, std::string_view value, std::string_view message) {
    return std::string(name) + " „" + std::string(value) + "“: " + std::string(message);
}

CheckedValue AdmissionNumberArgument(std::string_view name, std::string_view text) {
    const std::string number(text.substr(0, text.find_last_not_of(' ') + 1));
    // FixedWidth cuts a longer text to the width and fills a shorter one: shorter only when too long.
    const std::string stored = FixedWidth(number, kAdmissionNumberWidth);
    if (stored.size() < number.size())
        return {{}, ArgumentRefusal(name, text, "Die Aufnahmezahl hat mehr als 10 Zeichen!")};
    return {stored, {}};
}

CheckedValue DateArgument(std::string_view name, std::string_view text, std::string_view centuryPrefix) {
    const std::string code = DateCodeOf(std::string(TrimBlanks(text)), centuryPrefix);
    if (code.empty()) return {{}, ArgumentRefusal(name, text, messages::InvalidDate)};
    return {code, {}};
}

CheckedValue DateTimeArgument(std::string_view name, std::string_view text) {
    const std::string code = DateTimeCodeOf(std::string(TrimBlanks(text)));
    if (code.empty()) return {{}, ArgumentRefusal(name, text, kInvalidDateTime)};
    return {code, {}};
}

}  // namespace kalvora::cli
