#pragma once
// The classification of one department: its figures from the department database for the run's
// period, then level, points and remarks.

#include <string>

#include "base/result.h"
#include "classification/classification_figures.h"
#include "classification/classification_result.h"
#include "classification/classification_run.h"

namespace kalvora {

class Database;

// Refills the work table "Satzart 3 - TISS28 TEMP" from "Satzart 3 - TISS28": with MehrfachTISS
// "J" the day records of one patient on one survey day with the same QUALIFIER become one record
// with the highest score and the highest hours, both by numeric value. Returns the day counts and
// score sums of the records written, counted while they are written. The classification functions
// (RegisterClassificationFunctions) must be registered on the connection.
DayTally FillClassificationWorkTable(Database& department, const ClassificationRun& run);

// Children's days, reported, classification and missing days and both means of the period, read
// from the department database (the work table must be filled).
ClassificationFigures CountClassificationFigures(Database& department, const ClassificationRun& run);

// Opens the department database in SystemDataPath, fills its work table, counts and rates. Fails
// with the date message when the run's period is not valid, and with the engine's German message
// when the department database cannot be opened or lacks a table.
Result<ClassificationResult> ClassifyDepartment(const std::string& systemDataPath,
                                                const ClassificationRun& run, const DepartmentInputs& inputs);

}  // namespace kalvora
