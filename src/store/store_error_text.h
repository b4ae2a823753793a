#pragma once
// German texts for what the engine and the file system report, always naming the file concerned,
// so that "database or disk is full" or "Input/output error" never reach the user as they are.

#include <string>
#include <string_view>

namespace kalvora {

// What the system said (an errno value), in German: "kein Platz mehr auf dem Datenträger".
std::string SystemErrorText(int error);

// "Die Datei PATH kann nicht geschrieben werden: kein Platz mehr auf dem Datenträger."
std::string FileErrorText(const std::string& path, int error, bool writing);

// The engine's failure with a database file, in German. `code` is the engine's (extended) result
// code; `engineText` is kept at the end for the cases without a text of their own.
std::string DatabaseErrorText(std::string_view path, int code, std::string_view engineText);

// Whether the engine's result code says another connection holds the database.
bool IsBusyCode(int code);

}  // namespace kalvora
