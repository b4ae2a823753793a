#pragma once
// An import batch: every selected delivery file is checked, its accepted stays are stored into the
// database of its department, and each file gets a summary row.

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
};

struct ImportBatchResult {
    std::vector<ImportSummaryRow> summary;
    // An unexpected failure stops the batch: its cause names file and line. Empty when none.
    std::string failure;
    bool failed() const { return !failure.empty(); }
};

// Runs the batch: creates the protocol file with its header, imports the files in order, closes the
// protocol file and leaves " Bereit" in the first status panel.
ImportBatchResult RunImportBatch(const ImportBatchRequest& request, const Settings& settings, StatusSink& status);

inline constexpr std::string_view kStoringStatus = " Importiere gültige Datensätze ";

}  // namespace kalvora
