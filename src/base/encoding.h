#pragma once
// Delivery and protocol files are single-byte Windows-1252 text; the program keeps UTF-8.

#include <string>
#include <string_view>

namespace kalvora {

std::string Windows1252ToUtf8(std::string_view bytes);
// Characters that have no Windows-1252 form are written as "?".
std::string Utf8ToWindows1252(std::string_view utf8);
bool IsValidUtf8(std::string_view bytes);
// True when every byte is below 0x80 (no conversion needed either way).
bool IsAscii(std::string_view bytes);

}  // namespace kalvora
