#pragma once
// The protocol file of an import batch, from the name the user typed in the import dialog or gave
// with `kalvora-cli import --protocol`: both check it in the same way.

#include <optional>
#include <string>
#include <string_view>

namespace kalvora {

// Why the export directory cannot take the protocol file ("... ist nicht vorhanden!", "... kann nicht
// geschrieben werden!"); empty when it can.
std::string ExportDirectoryProblem(const std::string& exportDataPath);

// The protocol file in the export directory; none when the name is refused (the notice
// " Ungültiger Dateiname!"): it is no short file name, or it names a folder ("sub", ".", "..").
std::optional<std::string> ProtocolPathFor(const std::string& exportDataPath, std::string_view typedName);

// A protocol file that exists and holds something is only replaced after the user agreed.
bool ProtocolFileHoldsData(const std::string& path);

}  // namespace kalvora
