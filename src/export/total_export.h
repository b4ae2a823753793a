#pragma once
// The total database: a fresh copy of the template (ibds.mdb) in the export directory that receives
// the stays, record type 1 rows and record type 3 rows of qualifier "3" of every chosen department.
// The rows are copied by the database engine; the file is built beside its target and moved into
// place only when it is complete, so a failed export leaves an earlier total database untouched.

#include <string>
#include <vector>

#include "base/result.h"
#include "store/admin_database.h"

namespace kalvora {

class StatusSink;

struct ExportRequest {
    std::vector<Department> departments;  // the chosen departments, top to bottom
    std::string outputName;               // as typed
    std::string systemDataPath;
    std::string exportDataPath;
};

struct ExportDone {
    long long refusedRows = 0;  // rows the total database refused because their key was already there
    std::string outputPath;
};

// Builds the total database. Fails with the German reason, and then nothing was written: the
// notice " Ungültiger Dateiname!" for a name that fails IsValidExportFileName, a missing template,
// export directory or department database, a name of the system data directory's own files, the
// directory in use by another program, or an engine or file failure.
Result<ExportDone> ExportTotalDatabase(const ExportRequest& request, StatusSink& status);

// " Daten erfolgreich exportiert!", followed on a new line by the refused rows when there are any.
std::string ExportSuccessText(long long refusedRows);
// " 3 Datensätze mit bereits vorhandenem Schlüssel nicht übernommen."
std::string RefusedRowsText(long long refusedRows);

}  // namespace kalvora
