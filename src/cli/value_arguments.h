#pragma once
// Values given on the command line for the fields of the windows: where a window's field would cut
// an overlong entry or read a malformed date as another day, the command line refuses the value in
// German, naming the argument and the value.

#include <string>
#include <string_view>

namespace kalvora::cli {

struct CheckedValue {
    std::string value;  // the stored form
    std::string error;  // empty when the value was taken
    bool ok() const { return error.empty(); }
};

inline constexpr int kAdmissionNumberWidth = 10;

// An admission number of at most 10 characters (blanks around it disregarded), filled with blanks
// to 10 characters as stored. Leading blanks are kept: they are part of a stored number.
CheckedValue AdmissionNumberArgument(std::string_view name, std::string_view text);

// A day as JJJJMMTT (eight digits) or as the windows take it (TT.MM.JJJJ, also 1.2.1960; a shorter
// year is completed with `centuryPrefix` as in the window), as JJJJMMTT.
CheckedValue DateArgument(std::string_view name, std::string_view text, std::string_view centuryPrefix);

// A point in time as JJJJMMTThhmm or as the lists print it (TT.MM.JJJJ, hh:mm; the comma may be
// left out), as JJJJMMTThhmm.
CheckedValue DateTimeArgument(std::string_view name, std::string_view text);

// "NAME „VALUE“: MESSAGE"
std::string ArgumentRefusal(std::string_view name, std::string_view value, std::string_view message);

}  // namespace kalvora::cli
