#pragma once
// A system data directory with the shipped reference lists, settings pointing at it, and builders
// of delivery lines, for tests of the import and of everything that reads its results.

#include <string>
#include <vector>

#include "base/settings.h"
#include "import/import_run.h"
#include "support/temp_dir.h"

namespace kalvora::test {

struct Type1 {
    std::string kisId = "A1";
    std::string dob = "19500615";
    std::string admission = "201203011000";
    std::string discharge = "201203031200";
    std::string outcome = "1";
    std::string hospitalDischarge = "20120310";
    std::string hospitalState = "1";
    std::string ka = "K101";
    std::string department = "12100101";
};

struct Type3 {
    std::string kisId = "A1";
    std::string dob = "19500615";
    std::string admission = "201203011000";
    std::string day = "20120301";
    std::string items = "1100000000000000000000000000";  // standard monitoring and laboratory: 6 points
    std::string ka = "K101";
    std::string department = "12100101";
};

std::string Line(const Type1& record);
std::string Line(const Type3& record);
// "$" and four six-digit counts.
std::string SumLine(int type1, int type2, int type3, int type4);
// Joins lines with CR LF, with a final CR LF.
std::string DeliveryFile(const std::vector<std::string>& lines);

class ImportFixture {
public:
    ImportFixture();

    std::string systemDir() const { return dir.file("sys"); }
    std::string protocolPath() const { return dir.file("export/protocol.dat"); }
    // Writes a delivery file into the import directory and returns its path.
    std::string writeDelivery(const std::string& name, const std::string& bytes) const;

    ImportBatchResult import(const std::vector<std::string>& names, ImportMode mode = ImportMode::Append);
    ImportBatchResult importLines(const std::string& name, const std::vector<std::string>& lines,
                                  ImportMode mode = ImportMode::Append);

    // The protocol file's rows (without the header), as UTF-8, CR LF removed.
    std::vector<std::string> protocolRows() const;
    std::string departmentDb(const std::string& name) const { return dir.file("sys/" + name); }

    TempDir dir;
    Settings settings;
    std::size_t heldBackBytes = ImportBatchRequest{}.heldBackBytes;
};

}  // namespace kalvora::test
