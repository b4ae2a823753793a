#pragma once
// An import batch: every selected delivery file is checked, its accepted stays are stored into the
// database of its department, and each file gets a summary row.

#include <cstddef>
#include <string>
#include <vector>

#include "import/import_summary.h"

namespace kalvora {

struct Settings;
class StatusSink;

enum class ImportMode { Append, Initialise };

struct ImportFile {
    std::string name;  // as listed
    std::string path;  // full path
};

struct ImportBatchRequest {
    std::vector<ImportFile> files;
    ImportMode mode = ImportMode::Append;
    std::string protocolPath;
    // Memory for the survey days held back while a file is read, taken from the work file's page
    // cache of 30 MB (enough for some 500 000 survey lines of 100 000 stays); beyond it, survey days
    // are stored as they are read. Smaller only to try that path.
    std::size_t heldBackBytes = std::size_t{16} << 20;
};

struct ImportBatchResult {
    std::vector<ImportSummaryRow> summary;
    // The batch did not start, and nothing was changed: why, in German (the data directory is in
    // use by another program, the protocol name would overwrite a database). Empty when it ran.
    std::string refusal;
    bool refused() const { return !refusal.empty(); }
    // An unexpected failure stops the batch: its cause names file and line. Empty when none.
    std::string failure;
    bool failed() const { return !failure.empty(); }
};

// Runs the batch under the lock of the system data directory: creates the protocol file with its
// header, imports the files in order, closes the protocol file and leaves " Bereit" in the first
// status panel. A department is stored only after its findings are safely in the protocol file.
ImportBatchResult RunImportBatch(const ImportBatchRequest& request, const Settings& settings,
                                 StatusSink& status);

// Panel 1 after the last line is read, while the stays are checked and the errors taken out.
inline constexpr std::string_view kCheckingStaysStatus = " Prüfe Aufenthalte...";
inline constexpr std::string_view kStoringStatus = " Importiere gültige Datensätze ";

}  // namespace kalvora
