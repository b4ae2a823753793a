// The import's results on generated, fault-rich deliveries in admission order and in hospital order
// (shuffled stays, lines of many stays mixed), compared with fingerprints recorded from the import as
// it was before the stays were kept in memory while their lines are read, and before the survey days
// were held back and stored in key order. Any change of a protocol row (or of the rows' order), a
// summary cell or a stored row changes the fingerprint.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "delivery_generator.h"
#include "import/import_summary.h"
#include "store/database.h"
#include "store/schema.h"
#include "support/import_fixture.h"
#include "support/table_digest.h"

namespace kalvora::test {
namespace {

std::string Fingerprint(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

struct Delivery {
    std::uint64_t seed;
    int stays;
    double faults;
    bool shuffle;
    int interleaved;
    bool withoutRecordType1 = false;  // only stays without their record type 1 line
};

struct Step {
    Delivery delivery;
    ImportMode mode;
};

struct Case {
    const char* what;
    bool plausError;
    std::vector<Step> steps;
    const char* expected;  // fingerprint of every step's summary, protocol and stored rows
};

std::string WriteGenerated(ImportFixture& fixture, const Delivery& delivery, int step) {
    tools::GeneratorOptions options;
    options.seed = delivery.seed;
    options.stays = delivery.stays;
    options.faultRate = delivery.faults;
    options.shuffleStays = delivery.shuffle;
    options.interleavedStays = delivery.interleaved;
    if (delivery.withoutRecordType1) options.faultKinds = {tools::FaultKind::StayWithoutRecordType1};
    // Each step's file under its own period letter: the same department, another name.
    const char period = static_cast<char>('A' + step);
    const tools::WrittenDelivery written =
        tools::WriteDeliveryFile(options, fixture.dir.file("import"), period, '6');
    if (!written.result.ok()) throw std::runtime_error(written.result.error);
    return written.path.filename().string();
}

std::string RunSteps(const Case& c, std::size_t heldBackBytes) {
    ImportFixture fixture;
    fixture.heldBackBytes = heldBackBytes;
    if (c.plausError) fixture.settings.PlausLevel = "Error  ";
    std::string content;
    for (size_t i = 0; i < c.steps.size(); ++i) {
        const std::string name = WriteGenerated(fixture, c.steps[i].delivery, static_cast<int>(i));
        const ImportBatchResult result = fixture.import({name}, c.steps[i].mode);
        content += "failure: " + result.failure + "\n" + SummaryClipboardText(result.summary) + "\n";
        for (const std::string& row : fixture.protocolRows()) content += row + "\n";
        Database db(fixture.departmentDb("12100101.101"), OpenMode::ReadOnly);
        for (std::string_view table : {tables::Stays, tables::RecordType1, tables::RecordType3})
            content += TableDigest(db, table);
    }
    return content;
}

TEST(ImportEngine, generatedDeliveries_giveTheRecordedProtocolSummaryAndStoredRows) {
    const Delivery project{42, 400, 0.02, false, 1};
    const Delivery hospital{44, 500, 0.53, true, 64};
    const Delivery manyOpen{46, 300, 1.0, false, 200};
    const Delivery large{47, 5000, 0.53, true, 64};
    const Delivery clean{44, 500, 0.0, true, 64};
    const Delivery laterDays{44, 500, 0.3, true, 16, true};
    const Case cases[] = {
        {"project order, again in append mode",
         false,
         {{project, ImportMode::Initialise}, {project, ImportMode::Append}},
         "d23f41e7b95093e8"},
        {"hospital order, again, then another delivery",
         false,
         {{hospital, ImportMode::Initialise},
          {hospital, ImportMode::Append},
          {{45, 300, 0.53, true, 32}, ImportMode::Append}},
         "6141e01a3b38795a"},
        {"hospital order, optional fields are errors",
         true,
         {{hospital, ImportMode::Initialise}},
         "6142c1d2aef29ca5"},
        {"every stay faulty, 200 stays open at a time",
         false,
         {{manyOpen, ImportMode::Initialise}, {manyOpen, ImportMode::Append}},
         "221e5f0eee059ced"},
        {"survey days for stored stays",
         false,
         {{clean, ImportMode::Initialise}, {laterDays, ImportMode::Append}},
         "db7b2cc7bfc5f665"},
        {"five thousand stays in hospital order",
         false,
         {{large, ImportMode::Initialise}, {large, ImportMode::Append}},
         "c432b0082b04744e"},
    };
    // The survey days are held back in memory up to a limit and stored as they are read beyond it:
    // no room at all, room for stays but no lines, for 4096 lines, for part of the largest file, enough.
    for (std::size_t heldBackBytes : {std::size_t{0}, std::size_t{96} << 10, std::size_t{120} << 10,
                                      std::size_t{300} << 10, ImportBatchRequest{}.heldBackBytes})
        for (const Case& c : cases)
            EXPECT_EQ(Fingerprint(RunSteps(c, heldBackBytes)), c.expected) << c.what << ", " << heldBackBytes;
}

}  // namespace
}  // namespace kalvora::test
