#pragma once
// The checks out of which the record readers are built. Each field validator takes a field of an
// import line by position and length, writes a protocol row on failure, raises the check state and
// returns the text the reader stores.

#include <string_view>

#include "import/check_state.h"

namespace kalvora {

class ProtocolSink;

// What the validators of one line share: the protocol and the line's check state.
struct ValidationContext {
    ProtocolSink& protocol;
    CheckState& state;
};

inline constexpr std::string_view kInvalidParameter = "Parameter ungültig";

// A field is blank when the characters present at its positions are all blanks (or none are).
bool IsBlankField(std::string_view field);

// Blanks of the given length, for blanked fields (at most 36 characters).
std::string_view Blanks(int length);

// 0 when the text is a valid date (length 8) or date and time (length 12), else 10.
int CheckDateCode(std::string_view text, int length);
inline bool IsValidDateCode(std::string_view text, int length) { return CheckDateCode(text, length) == 0; }

std::string_view CheckRangeError(ValidationContext& context, std::string_view label, std::string_view line,
                                 int start, int length, double minimum, double maximum);
std::string_view CheckRangeWarning(ValidationContext& context, std::string_view label, std::string_view line,
                                   int start, int length, double minimum, double maximum);
std::string_view CheckMandatoryRange(ValidationContext& context, std::string_view label,
                                     std::string_view line, int start, int length, double minimum,
                                     double maximum);
std::string_view CheckMandatoryText(ValidationContext& context, std::string_view line, int start, int length);

// Check of a file name typed by the user (protocol or export file): BadFileName when it is not a
// short file name of allowed characters. A name is never a path: separators and ":" are refused too.
void CheckFileName(std::string_view name, CheckState& state);

}  // namespace kalvora
