#pragma once
// The protocol file of an import batch, from the name the user typed in the import dialog or gave
// with `kalvora-cli import --protocol`: both check it in the same way.

#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"

namespace kalvora {

// Whether the export directory can take the protocol file; fails with "... ist nicht vorhanden!" or
// "... kann nicht geschrieben werden!".
Outcome CheckExportDirectory(const std::string& exportDataPath);

// The protocol file in the export directory; none when the name is refused (the notice
// " Ungültiger Dateiname!"): it is no short file name, or it names a folder ("sub", ".", "..").
std::optional<std::string> ProtocolPathFor(const std::string& exportDataPath, std::string_view typedName);

// A protocol file that exists and holds something is only replaced after the user agreed.
bool ProtocolFileHoldsData(const std::string& path);

}  // namespace kalvora
