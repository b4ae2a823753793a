#pragma once
// Generator of realistic data-delivery files: record type 1 and record type 3 lines of ICU stays
// and the sum record, with faults of chosen kinds built into a share of the stays. Used for the
// demo data, the tests and the import benchmark.

#include <array>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "fault_kind.h"

namespace kalvora::tools {

enum class SumRecordMode {
    Correct,  // claims exactly the lines the import will count
    Wrong,    // claims one record type 3 line more
    Missing,  // no sum record
};

enum class LineEnding { CrLf, Lf };

struct GeneratorOptions {
    std::uint64_t seed = 1;
    int stays = 50;
    std::string hospital = "K101";            // KaCode: "K" and the hospital number
    std::string department = "12100101";      // DepartmentCode: "12", function code, sub-unit
    std::string firstAdmission = "20160104";  // JJJJMMTT, day of the first admission
    double admissionsPerDay = 4.0;
    double faultRate = 0.0;  // share of stays, 0 to 1, that get one fault each
    std::vector<FaultKind> faultKinds = DefaultFaultKinds();
    SumRecordMode sumRecord = SumRecordMode::Correct;
    LineEnding lineEnding = LineEnding::CrLf;
    // As hospital systems export: the stays in no useful key order, and the lines of up to
    // `interleavedStays` stays mixed (each stay's record type 1 line still before its survey days).
    // Off (false, 1) gives the stays in admission order, each stay's lines together.
    bool shuffleStays = false;
    int interleavedStays = 1;
};

inline constexpr int kMaximumInterleavedStays = 10000;

inline constexpr int kMaximumStays = 300000;

struct GenerationResult {
    std::string error;  // German message when nothing (or not all) could be written
    int stays = 0;
    long long recordType1Lines = 0;  // lines written
    long long recordType3Lines = 0;
    int faultyStays = 0;
    std::array<int, kFaultKindCount> faultsByKind{};
    long long countedLines = 0;  // record lines the import counts: no duplicate survey days, no
                                 // lines of stays without their record type 1 line
    bool sumRecordWritten = false;
    long long claimedLines = 0;  // sum of the four counts of the written sum record

    bool ok() const { return error.empty(); }
};

// German message on the first invalid option, empty when all are usable.
std::string CheckGeneratorOptions(const GeneratorOptions& options);

// Writes the whole delivery to `out`, stay by stay, in constant memory.
GenerationResult WriteDelivery(const GeneratorOptions& options, std::ostream& out);

// 8.3 name of a delivery: period letter, year digit, characters 3-8 of the department code, ".",
// characters 2-4 of the hospital code ("A6100101.101"). Any period and year character is taken as
// given, so that names the import refuses can be built as well. Empty when the department code
// does not have 8 characters or the hospital code not 4.
std::string DeliveryFileName(char period, char year, std::string_view department, std::string_view hospital);

struct WrittenDelivery {
    GenerationResult result;
    std::filesystem::path path;
};

// Writes the delivery into `directory` (created when missing) under its DeliveryFileName.
WrittenDelivery WriteDeliveryFile(const GeneratorOptions& options, const std::filesystem::path& directory,
                                  char period, char year);

}  // namespace kalvora::tools
