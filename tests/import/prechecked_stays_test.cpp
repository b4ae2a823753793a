// The outcomes of the stay checks kept while a file is read: which stays the walk after reading may
// take from memory and which it must check from the stored rows.

#include <gtest/gtest.h>

#include "import/stay_checks.h"

namespace kalvora {
namespace {

StayRow Stay(const std::string& kisId, const std::string& flag = "O") {
    StayRow stay;
    stay.KIS_ID = kisId;
    stay.DOB = "19500615";
    stay.ADM_DATE = "201203011000";
    stay.FLAG = flag;
    return stay;
}

StayCheckOutcome Outcome(const std::string& flag, bool withRow) {
    StayCheckOutcome outcome;
    outcome.flag = flag;
    if (withRow) outcome.rows.push_back({"Warning", "TISS28", "3K101...", "Summensatz falsch"});
    return outcome;
}

PrecheckedStays::Lookup Find(const PrecheckedStays& kept, const StayRow& stay,
                             const StayCheckOutcome** found = nullptr) {
    const StayCheckOutcome* outcome = nullptr;
    PrecheckedStays::Lookup lookup = kept.find(stay, outcome);
    if (found) *found = outcome;
    return lookup;
}

TEST(PrecheckedStays, keepsOnlyOutcomesThatChangeSomethingAndHonoursRechecks) {
    PrecheckedStays kept;
    kept.record(Stay("A1"), Outcome("O", false));  // passed unchanged
    kept.record(Stay("B2"), Outcome("W", true));   // a finding
    kept.record(Stay("C3"), Outcome("E", false));  // flag changed only
    kept.recheck(Stay("D4"));

    EXPECT_EQ(Find(kept, Stay("A1")), PrecheckedStays::Lookup::Unchanged);
    const StayCheckOutcome* found = nullptr;
    ASSERT_EQ(Find(kept, Stay("B2"), &found), PrecheckedStays::Lookup::Found);
    EXPECT_EQ(found->flag, "W");
    EXPECT_EQ(found->rows.size(), 1u);
    EXPECT_EQ(Find(kept, Stay("C3")), PrecheckedStays::Lookup::Found);
    EXPECT_EQ(Find(kept, Stay("D4")), PrecheckedStays::Lookup::Recheck);

    // A stay read again later in the file is checked from the stored rows, until it is checked anew.
    kept.recheck(Stay("B2"));
    EXPECT_EQ(Find(kept, Stay("B2")), PrecheckedStays::Lookup::Recheck);
    kept.record(Stay("B2"), Outcome("O", false));
    EXPECT_EQ(Find(kept, Stay("B2")), PrecheckedStays::Lookup::Unchanged);
    // Keys compare exactly.
    EXPECT_EQ(Find(kept, Stay("d4")), PrecheckedStays::Lookup::Unchanged);
}

TEST(PrecheckedStays, beyondItsLimit_forgetsAllAndLetsEveryStayBeCheckedFromTheStore) {
    PrecheckedStays kept(2);
    kept.record(Stay("A1"), Outcome("W", true));
    kept.recheck(Stay("B2"));
    EXPECT_EQ(Find(kept, Stay("A1")), PrecheckedStays::Lookup::Found);
    kept.record(Stay("C3"), Outcome("W", true));
    for (const char* kisId : {"A1", "B2", "C3", "never seen"})
        EXPECT_EQ(Find(kept, Stay(kisId)), PrecheckedStays::Lookup::Recheck) << kisId;
    // Nothing is kept any more.
    kept.record(Stay("E5"), Outcome("O", false));
    EXPECT_EQ(Find(kept, Stay("E5")), PrecheckedStays::Lookup::Recheck);
}

}  // namespace
}  // namespace kalvora
