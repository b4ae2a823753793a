#pragma once
// What the classification of one department takes and gives.

#include <string>

#include "base/decimal.h"

namespace kalvora {

// The department as its entry in the classification dialog's list describes it.
struct DepartmentInputs {
    std::string dataFileName;  // MDB_DATEI without blanks; the file lies in SystemDataPath
    Decimal dgkp{0, 2};        // staff figure DGKP, two places
    long long beds = 0;        // systemised beds (SBETT)
    std::string preset;        // VOREINSTUFUNG: blank or "E0" to "E3"
};

// The counts and means read from the department database for the run's period.
struct ClassificationFigures {
    long long childrenDays = 0;        // calendar days of stays of children under 16 in the period
    long long reportedDays = 0;        // "TISS-Tage gemeldet"
    long long classificationDays = 0;  // "TISS-Tage für Einstufung" (score of at least 16)
    long long missingDays = 0;         // "TISS-Tage fehlend" (substitute survey days)
    Decimal overallMean{0, 1};
    Decimal classificationMean{0, 1};
};

struct ClassificationResult {
    int level = -1;         // -1: no level
    std::string levelText;  // 24 characters, blanks on the right
    long long points = 0;
    Decimal classificationMean{0, 1};
    Decimal overallMean{0, 1};
    Decimal tissExcess{0, 1};  // overall mean above the level's TISS base value
    Decimal dgkpPerBed{0, 2};
    Decimal dgkpExcess{0, 2};  // DGKP per bed above the level's base value
    long long factor = 0;      // corrected TISS-28 excess in tenths of a point
    long long basePoints = 0;
    Decimal pointsPerTenth{0, 1};
    long long reportedDays = 0;
    long long classificationDays = 0;
    long long missingDays = 0;
    std::string comment;
};

}  // namespace kalvora
