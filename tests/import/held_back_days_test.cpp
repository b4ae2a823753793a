// The survey days held back while a delivery is read: repeated days found per stay, a stay delivered
// again starting anew, stored stays told apart, the memory limit, lines held by place or by their
// items, held-back stays in key order, and the lines read again by place.

#include "import/held_back_days.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "import/delivery_lines.h"
#include "support/temp_dir.h"

namespace kalvora {
namespace {

constexpr std::size_t kRoom = std::size_t{1} << 20;
const std::string kFirst = HeldBackDays::KeyOf("A1", "19500615", "201203011000");
const std::string kSecond = HeldBackDays::KeyOf("A1", "19500615", "201203021000");

// The places of the stay's lines held back by place, most recent first.
std::vector<std::uint64_t> LinesOf(const HeldBackDays& days, HeldBackDays::Stay stay) {
    std::vector<HeldLine> lines;
    days.linesOf(stay, lines);
    std::vector<std::uint64_t> offsets;
    for (const HeldLine& line : lines)
        if (!line.itemsOnly) offsets.push_back(line.offset);
    return offsets;
}

TEST(HeldBackDays, keysAndDates_areToldApartFieldByField) {
    // Without the separators "A1" + "19500615" and "A11" + "9500615" would be one key.
    EXPECT_NE(HeldBackDays::KeyOf("A1", "19500615", "x"), HeldBackDays::KeyOf("A11", "9500615", "x"));
    EXPECT_EQ(HeldBackDays::DateOf("20120301"), 20120301u);
    EXPECT_EQ(HeldBackDays::DateOf(" "), HeldBackDays::DateOf("2012030"));
    EXPECT_NE(HeldBackDays::DateOf(" "), HeldBackDays::DateOf("99999999"));
    EXPECT_NE(HeldBackDays::DateOf(" "), HeldBackDays::DateOf("00000000"));
}

TEST(HeldBackDays, repeatedDays_areFoundPerStayAndForgottenWhenTheStayStartsAnew) {
    HeldBackDays days(kRoom);
    const HeldBackDays::Stay first = days.restart(kFirst);
    const HeldBackDays::Stay second = days.restart(kSecond);
    ASSERT_NE(first, HeldBackDays::kNone);
    EXPECT_EQ(days.find(kFirst), first);
    EXPECT_FALSE(days.hasStoredDays(first));

    EXPECT_TRUE(days.holdBack(first, 20120301, 100));
    EXPECT_TRUE(days.holdBack(first, 20120302, 200));
    EXPECT_TRUE(days.holdBack(second, 20120303, 300));
    EXPECT_TRUE(days.holdsDate(first, 20120302));
    EXPECT_FALSE(days.holdsDate(first, 20120303));  // the other stay's day
    EXPECT_TRUE(days.holdsDate(second, 20120303));
    EXPECT_EQ(LinesOf(days, first), (std::vector<std::uint64_t>{200, 100}));

    // Delivered again: the days held back before count no more, the other stay keeps its own.
    const HeldBackDays::Stay again = days.restart(kFirst);
    EXPECT_NE(again, first);
    EXPECT_EQ(days.current(kFirst), again);
    EXPECT_FALSE(days.holdsDate(again, 20120302));
    EXPECT_TRUE(LinesOf(days, again).empty());
    EXPECT_EQ(LinesOf(days, second), (std::vector<std::uint64_t>{300}));
    EXPECT_EQ(days.heldBackLines(), 3u);
}

TEST(HeldBackDays, stayFirstSeenByASurveyLine_isAStoredStay) {
    HeldBackDays days(kRoom);
    EXPECT_EQ(days.current(kFirst), HeldBackDays::kNone);
    const HeldBackDays::Stay stored = days.find(kFirst);
    ASSERT_NE(stored, HeldBackDays::kNone);
    EXPECT_TRUE(days.hasStoredDays(stored));
    EXPECT_EQ(days.find(kFirst), stored);

    const HeldBackDays::Stay fresh = days.restart(kSecond);
    EXPECT_FALSE(days.hasStoredDays(fresh));
    days.noteStoredDays(fresh);
    EXPECT_TRUE(days.hasStoredDays(fresh));
}

TEST(HeldBackDays, manyStays_areAllFoundAgainAfterTheIndexGrew) {
    HeldBackDays days(kRoom);
    std::vector<HeldBackDays::Stay> stays;
    for (int i = 0; i < 5000; ++i) {
        stays.push_back(
            days.restart(HeldBackDays::KeyOf("K" + std::to_string(i), "19500615", "201203011000")));
        ASSERT_TRUE(days.holdBack(stays.back(), 20120301, static_cast<std::uint64_t>(i) * 90));
    }
    for (int i = 0; i < 5000; ++i) {
        const HeldBackDays::Stay stay =
            days.current(HeldBackDays::KeyOf("K" + std::to_string(i), "19500615", "201203011000"));
        ASSERT_EQ(stay, stays[i]) << i;
        EXPECT_EQ(LinesOf(days, stay), (std::vector<std::uint64_t>{static_cast<std::uint64_t>(i) * 90}));
    }
    // Offsets of a file of many gigabytes keep their place beside the date.
    const std::uint64_t far = (std::uint64_t{1} << 35) + 12345;
    ASSERT_TRUE(days.holdBack(stays[0], 99991231, far));
    EXPECT_EQ(LinesOf(days, stays[0]).front(), far);
    EXPECT_TRUE(days.holdsDate(stays[0], 99991231));
}

TEST(HeldBackDays, atTheLimit_holdsNothingMoreAndForgetsStaysDeliveredAgain) {
    HeldBackDays days(200 * 1024);
    const HeldBackDays::Stay first = days.restart(kFirst);
    ASSERT_NE(first, HeldBackDays::kNone);
    std::uint64_t held = 0;
    while (days.holdBack(first, static_cast<std::uint32_t>(20000000 + held), held * 90)) ++held;
    EXPECT_GT(held, 1000u);
    EXPECT_LE(days.bytes(), 200u * 1024);
    EXPECT_EQ(days.heldBackLines(), held);

    // What was held back still counts; no new stay gets an entry.
    EXPECT_EQ(days.find(kFirst), first);
    EXPECT_TRUE(days.holdsDate(first, 20000000));
    EXPECT_EQ(days.find(kSecond), HeldBackDays::kNone);
    EXPECT_EQ(days.restart(kSecond), HeldBackDays::kNone);
    // Delivered again after the limit: its held-back days go, and its days are stored from now on.
    EXPECT_EQ(days.restart(kFirst), HeldBackDays::kNone);
    EXPECT_EQ(days.current(kFirst), HeldBackDays::kNone);
    EXPECT_EQ(days.find(kFirst), HeldBackDays::kNone);
}

TEST(HeldBackDays, noRoomAtAll_holdsNothing) {
    HeldBackDays days(0);
    EXPECT_EQ(days.restart(kFirst), HeldBackDays::kNone);
    EXPECT_EQ(days.find(kSecond), HeldBackDays::kNone);
}

TEST(DeliveryLines, linesAreReadAgainByPlaceWithoutTheirLineEnds) {
    test::TempDir dir;
    const std::string path = dir.file("A6100201.101");
    const std::string longLine(700, '3');
    {
        std::ofstream out(path, std::ios::binary);
        out << "1first\r\n"
            << "3second\n"
            << "\n"
            << longLine << "\r\n"
            << "3last\r";
    }
    DeliveryLines lines;
    lines.open(path);
    std::string line;
    const std::pair<std::uint64_t, std::string> expected[] = {
        {0, "1first"}, {8, "3second"}, {16, ""}, {17, longLine}, {17 + 702, "3last"}, {10, "econd"}};
    for (const auto& [offset, text] : expected) {
        lines.readLine(offset, line);
        EXPECT_EQ(line, text) << offset;
    }
    EXPECT_THROW(lines.readLine(17 + 702 + 6, line), std::runtime_error);
    EXPECT_THROW(DeliveryLines().open(dir.file("missing.101")), std::runtime_error);

    // Read together, in any order and with repeats, the lines are the same, each in its own place.
    std::vector<std::uint64_t> offsets;
    std::vector<std::string> wanted;
    for (const auto& [offset, text] : expected) {
        offsets.insert(offsets.begin(), offset);
        wanted.insert(wanted.begin(), text);
    }
    offsets.push_back(8);
    wanted.push_back("3second");
    std::vector<std::string> together{"left over"};
    lines.readLines(offsets, together);
    EXPECT_EQ(together, wanted);
    EXPECT_THROW(lines.readLines({0, 17 + 702 + 6}, together), std::runtime_error);
}

TEST(HeldBackDays, linesHeldByTheirItems_comeBackWithTheirDateInTheirPlace) {
    HeldBackDays days(kRoom);
    const HeldBackDays::Stay stay = days.restart(kFirst);
    const std::uint32_t allItems = (std::uint32_t{1} << 28) - 1;
    ASSERT_TRUE(days.holdBack(stay, 20120301, 4711));
    ASSERT_TRUE(days.holdBackItems(stay, 20120302, allItems));
    ASSERT_TRUE(days.holdBackItems(stay, 22001231, 0b101));
    ASSERT_TRUE(days.holdBack(stay, 99999999, HeldBackDays::kLargestHeldOffset));
    EXPECT_FALSE(days.holdBack(stay, 20120305, HeldBackDays::kLargestHeldOffset + 1));
    std::vector<HeldLine> lines;
    days.linesOf(stay, lines);
    ASSERT_EQ(lines.size(), 4u);
    const auto shape = [](const HeldLine& line) {
        return std::tuple(line.itemsOnly, line.itemsOnly ? line.items : line.offset, line.date);
    };
    EXPECT_EQ(shape(lines[0]), std::tuple(false, HeldBackDays::kLargestHeldOffset, 99999999u));
    EXPECT_EQ(shape(lines[1]), std::tuple(true, std::uint64_t{0b101}, 22001231u));
    EXPECT_EQ(shape(lines[2]), std::tuple(true, std::uint64_t{allItems}, 20120302u));
    EXPECT_EQ(shape(lines[3]), std::tuple(false, std::uint64_t{4711}, 20120301u));
    for (std::uint32_t date : {20120301u, 20120302u, 22001231u}) EXPECT_TRUE(days.holdsDate(stay, date));
    EXPECT_FALSE(days.holdsDate(stay, 20120305u));
}

TEST(HeldBackDays, heldStays_comeInTheOrderOfTheirKeyFields) {
    // Ordered field by field as the work file orders its rows: a shorter KIS_ID first, bytes unsigned.
    const std::vector<std::tuple<std::string, std::string, std::string>> ordered = {
        {"A", "19500615", "201203011000"},  {"A", "19500615", "201203021000"},
        {"A", "19600101", "200001010000"},  {std::string("A\0", 2), "19000101", "200001010000"},
        {"AB", " ", "200001010000"},        {"AB", "19500615", ""},
        {"AB", "19500615", "201203011000"}, {"\xc3\xa4", "19500615", "201203011000"}};
    HeldBackDays days(kRoom);
    std::vector<HeldBackDays::Stay> stays(ordered.size());
    for (size_t i : {5, 0, 7, 2, 4, 1, 6, 3}) {
        const auto& [kisId, dob, admission] = ordered[i];
        stays[i] = days.restart(HeldBackDays::KeyOf(kisId, dob, admission));
        HeldStay held;
        held.olderRow = i % 3 == 0;
        days.holdStay(stays[i], held);
    }
    // A stay started anew keeps its place by its key; a stay without a held row is not among them.
    stays[2] = days.restart(HeldBackDays::KeyOf("A", "19600101", "200001010000"));
    days.holdStay(stays[2], HeldStay{});
    days.find(HeldBackDays::KeyOf("B", "19500615", "201203011000"));

    EXPECT_EQ(days.heldStaysInKeyOrder(), stays);
    for (size_t i = 0; i < ordered.size(); ++i) {
        const auto [kisId, dob, admission] = HeldBackDays::FieldsOf(days.keyOf(stays[i]));
        EXPECT_EQ(std::tuple(std::string(kisId), std::string(dob), std::string(admission)), ordered[i]) << i;
    }
    EXPECT_EQ(days.heldStaysWithoutOlderRow(), 5u);  // 0, 3 and 6 have older rows; 2 has none now
}

}  // namespace
}  // namespace kalvora
