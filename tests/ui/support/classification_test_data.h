#pragma once
// Data for the classification window tests: the demo deliveries imported into a test directory,
// and departments registered by hand with stays of a chosen kind.
#include <string>
#include <vector>

#include "support/ui_test_data.h"

namespace kalvora::test {

// Imports all demo deliveries of data/demo into the test directory's system data.
void ImportDemoDeliveries(UiTestData& data);

struct StayKind {
    std::string typ = "INT";
    std::string flag = "O";
};

// Registers a department in Dateiverwaltung with names in both reference tables and creates its
// database holding one stay per kind.
void AddDepartmentWithStays(UiTestData& data, const std::string& kanr, const std::string& abteilung,
                            const std::string& dataFile, const std::vector<StayKind>& stays);

// The row (SBETT, DGKP, VOREINSTUFUNG) of a department in Dateiverwaltung.
struct StoredStaffing {
    long long beds = 0;
    double dgkp = 0.0;
    std::string preset;
};
StoredStaffing ReadStoredStaffing(const UiTestData& data, const std::string& kanr,
                                  const std::string& abteilung);

}  // namespace kalvora::test
