#pragma once
// The batch that the import dialog and `kalvora-cli import` start: the chosen delivery files, the
// mode and the protocol file, with every file checked before anything is imported.

#include <string>
#include <vector>

#include "base/result.h"
#include "import/import_run.h"

namespace kalvora {

// The file that a FILE argument of the command line names: a bare name, as the import dialog lists
// it, in the import directory when it is there, else in the current directory; a path as given.
ImportFile DeliveryFileOf(const std::string& argument, const std::string& importDirectory);

// The batch of the files in the order given. Every file must be there and readable before the batch
// starts, so that a missing one cannot stop it after the files before it were stored: else it fails
// with the reason and "Es wurde nichts importiert.". `protocolPath` is the checked protocol file
// (ProtocolPathFor).
Result<ImportBatchRequest> PlanImportBatch(std::vector<ImportFile> files, ImportMode mode,
                                           std::string protocolPath, const std::string& importDirectory);

// The second line of a refused batch.
inline constexpr std::string_view kNothingImported = "Es wurde nichts importiert.";

}  // namespace kalvora
