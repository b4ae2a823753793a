// Tests of the delivery generator (tools/): the files it writes are read back here with a reader
// of their own, which knows the line layout and the findings of the import, so that a layout slip
// or a fault that the import would not see shows up.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "delivery_generator.h"
#include "support/temp_dir.h"
#include "tiss/tiss_item.h"

namespace kalvora::tools {
namespace {

using std::chrono::days;
using std::chrono::sys_days;

// --- reading generated files -------------------------------------------------------------------

std::vector<std::string> SplitLines(const std::string& bytes, const std::string& end = "\r\n") {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t stop = bytes.find(end, start);
        if (stop == std::string::npos) {
            lines.push_back(bytes.substr(start));  // an unterminated last line
            break;
        }
        lines.push_back(bytes.substr(start, stop - start));
        start = stop + end.size();
    }
    return lines;
}

// Field at 1-based position `from`, as the layout tables count.
std::string Field(const std::string& line, int from, int length) {
    return line.size() < static_cast<std::size_t>(from - 1) ? std::string() : line.substr(from - 1, length);
}

bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

std::optional<sys_days> DayOf(const std::string& text) {
    if (text.size() < 8) return std::nullopt;
    for (int i = 0; i < 8; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    }
    const std::chrono::year_month_day date{
        std::chrono::year{std::stoi(text.substr(0, 4))},
        std::chrono::month{static_cast<unsigned>(std::stoi(text.substr(4, 2)))},
        std::chrono::day{static_cast<unsigned>(std::stoi(text.substr(6, 2)))}};
    if (!date.ok() || date.year() < std::chrono::year{1850} || date.year() > std::chrono::year{2200}) {
        return std::nullopt;
    }
    return sys_days{date};
}

// Minutes since 1970 of a valid JJJJMMTThhmm.
std::optional<long long> MinuteOf(const std::string& text) {
    const auto day = DayOf(text);
    if (!day || text.size() != 12 || IsBlank(text.substr(8))) return std::nullopt;
    for (int i = 8; i < 12; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    }
    const int hour = std::stoi(text.substr(8, 2));
    const int minute = std::stoi(text.substr(10, 2));
    if (hour > 23 || minute > 59) return std::nullopt;
    return day->time_since_epoch().count() * 1440LL + hour * 60 + minute;
}

// Whole years on `reference` of a person born on `birth`; a birthday on 29 February falls on
// 1 March in other years.
int AgeOn(sys_days reference, sys_days birth) {
    const std::chrono::year_month_day r{reference};
    const std::chrono::year_month_day b{birth};
    const sys_days birthday{r.year() / b.month() / b.day()};  // runs over into March
    const int age = static_cast<int>(r.year()) - static_cast<int>(b.year());
    return reference < birthday ? age - 1 : age;
}

struct DeliveryStay {
    std::string recordType1;  // empty when the file has none for the stay
    std::vector<std::string> recordType3;
    bool recordType3BeforeType1 = false;
    std::string text;  // all lines of the stay, in file order
};

struct Delivery {
    std::vector<DeliveryStay> stays;  // in the order of their first line
    std::vector<std::string> sumRecords;
    int otherLines = 0;
    bool sumRecordLast = false;
};

Delivery ReadDelivery(const std::string& bytes) {
    Delivery delivery;
    std::map<std::string, std::size_t> byKey;
    const auto lines = SplitLines(bytes);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.starts_with("$")) {
            delivery.sumRecords.push_back(line);
            delivery.sumRecordLast = i + 1 == lines.size();
            continue;
        }
        if (!line.starts_with("1") && !line.starts_with("3")) {
            ++delivery.otherLines;
            continue;
        }
        const std::string key = Field(line, 14, 30);
        auto [at, added] = byKey.emplace(key, delivery.stays.size());
        if (added) delivery.stays.emplace_back();
        DeliveryStay& stay = delivery.stays[at->second];
        stay.text += line + "\n";
        if (line[0] == '1') {
            stay.recordType1 = line;
        } else {
            if (stay.recordType1.empty()) stay.recordType3BeforeType1 = true;
            stay.recordType3.push_back(line);
        }
    }
    return delivery;
}

int ItemAt(int number) { return TissItems()[number - 1].linePosition; }

// What the import would find in the stay, by short names.
std::set<std::string> FindingsOf(const DeliveryStay& stay, const std::string& hospital,
                                 const std::string& department) {
    std::set<std::string> found;
    if (stay.recordType1.empty() || stay.recordType3BeforeType1) found.insert("no-record-type-1");
    std::vector<std::string> lines = stay.recordType3;
    if (!stay.recordType1.empty()) lines.push_back(stay.recordType1);
    for (const std::string& line : lines) {
        if (Field(line, 2, 4) != hospital) found.insert("hospital");
        if (Field(line, 6, 8) != department) found.insert("department");
        if (IsBlank(Field(line, 14, 10))) found.insert("kis-id");
        if (!DayOf(Field(line, 24, 8))) found.insert("birth-date");
        if (!MinuteOf(Field(line, 32, 12))) found.insert("admission-time");
    }
    const auto admission = MinuteOf(Field(lines.front(), 32, 12));
    const auto birth = DayOf(Field(lines.front(), 24, 8));
    std::optional<long long> discharge;
    if (!stay.recordType1.empty()) {
        const std::string& line = stay.recordType1;
        const std::string dischargeText = Field(line, 66, 12);
        discharge = MinuteOf(dischargeText);
        if (IsBlank(dischargeText)) {
            found.insert("blank-discharge-time");
        } else if (!discharge) {
            found.insert("discharge-time");
        }
        if (admission && discharge && *discharge < *admission) found.insert("discharge-before-admission");
        const char outcome = line[77];
        if (outcome == ' ') found.insert("icu-outcome-blank");
        if (outcome != ' ' && (outcome < '1' || outcome > '4')) found.insert("icu-outcome-range");
        const std::string hospitalDischarge = Field(line, 79, 8);
        if (!IsBlank(hospitalDischarge) && !DayOf(hospitalDischarge)) found.insert("hospital-discharge-date");
        const char hospitalOutcome = line[86];
        if (hospitalOutcome != ' ' && hospitalOutcome != '1' && hospitalOutcome != '2') {
            found.insert("hospital-discharge-state");
        }
        const bool childrensRule = department.substr(2, 2) == "51" || department.substr(2, 2) == "27";
        if (childrensRule && admission && birth && AgeOn(sys_days{days{*admission / 1440}}, *birth) < 16) {
            found.insert("child-age");
        }
    }
    std::vector<sys_days> surveyDays;
    std::set<std::string> seen;
    for (const std::string& line : stay.recordType3) {
        const std::string surveyDay = Field(line, 44, 8);
        if (!seen.insert(surveyDay).second) found.insert("duplicate-day");
        const auto day = DayOf(surveyDay);
        if (!day) {
            found.insert("survey-day");
        } else if (surveyDays.empty() || surveyDays.back() != *day) {
            surveyDays.push_back(*day);
        }
        bool anySet = false;
        for (int number = 1; number <= kTissItemCount; ++number) {
            const char value = line[ItemAt(number) - 1];
            if (value != '0' && value != '1') found.insert("item-range");
            anySet = anySet || value == '1';
            const int partner = TissItems()[number - 1].exclusiveWith;
            if (partner != 0 && value == '1' && line[ItemAt(partner) - 1] == '1')
                found.insert("exclusive-pair");
        }
        if (line[ItemAt(1) - 1] != '1') found.insert("no-standard-monitoring");
        if (!anySet) found.insert("score-zero");
    }
    if (admission && discharge && *discharge >= *admission) {
        std::vector<sys_days> expected;
        for (sys_days day{days{*admission / 1440}}; day <= sys_days{days{*discharge / 1440}};
             day += days{1}) {
            expected.push_back(day);
        }
        if (surveyDays != expected) found.insert("survey-days");
    }
    return found;
}

struct Generated {
    GenerationResult result;
    std::string bytes;
};

Generated Generate(const GeneratorOptions& options) {
    std::ostringstream out;
    Generated generated;
    generated.result = WriteDelivery(options, out);
    generated.bytes = out.str();
    return generated;
}

GeneratorOptions Options(int stays, std::uint64_t seed, double faultRate = 0.0) {
    GeneratorOptions options;
    options.stays = stays;
    options.seed = seed;
    options.faultRate = faultRate;
    return options;
}

// --- file name ---------------------------------------------------------------------------------

TEST(DeliveryFileName, namesFromCodes_giveEightDotThreeName) {
    struct Case {
        char period;
        char year;
        const char* department;
        const char* hospital;
        const char* expected;
    };
    const Case cases[] = {
        {'A', '6', "12100101", "K101", "A6100101.101"},
        {'s', '0', "12510102", "K108", "s0510102.108"},
        {'T', '9', "12270101", "K999", "T9270101.999"},
        {'A', '6', "1210010", "K101", ""},
        {'A', '6', "12100101", "101", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DeliveryFileName(c.period, c.year, c.department, c.hospital), c.expected) << c.expected;
    }
}

TEST(DeliveryFile, writtenIntoNewDirectory_holdsTheDeliveryUnderItsName) {
    test::TempDir dir;
    GeneratorOptions options = Options(12, 5);
    options.hospital = "K104";
    options.department = "12100302";
    const WrittenDelivery written = WriteDeliveryFile(options, dir.path() / "neu", 'C', '7');
    ASSERT_TRUE(written.result.ok()) << written.result.error;
    EXPECT_EQ(written.path, dir.path() / "neu" / "C7100302.104");
    EXPECT_EQ(test::ReadFile(written.path.string()), Generate(options).bytes);
}

// --- layout ------------------------------------------------------------------------------------

TEST(GeneratedDelivery, everyLine_hasTheRecordLayout) {
    GeneratorOptions options = Options(400, 11);
    options.hospital = "K103";
    options.department = "12100501";
    const Generated generated = Generate(options);
    ASSERT_TRUE(generated.result.ok());
    ASSERT_TRUE(generated.bytes.ends_with("\r\n"));
    const auto lines = SplitLines(generated.bytes);
    std::set<std::string> admissionNumbers;
    for (const std::string& line : lines) {
        ASSERT_EQ(line.find('\n'), std::string::npos);
        ASSERT_EQ(line.find('\r'), std::string::npos);
        ASSERT_TRUE(line[0] == '1' || line[0] == '3' || line[0] == '$') << line;
        if (line[0] == '$') continue;
        EXPECT_EQ(Field(line, 2, 4), "K103");
        EXPECT_EQ(Field(line, 6, 6), "121005");
        EXPECT_EQ(Field(line, 12, 2), "01");
        const std::string kis = Field(line, 14, 10);
        EXPECT_EQ(kis.find_first_not_of("0123456789"), std::string::npos) << kis;
        EXPECT_TRUE(DayOf(Field(line, 24, 8))) << line;
        EXPECT_TRUE(MinuteOf(Field(line, 32, 12))) << line;
        if (line[0] == '1') {
            EXPECT_EQ(line.size(), 87u);
            EXPECT_TRUE(admissionNumbers.insert(kis).second) << "admission number twice: " << kis;
            EXPECT_TRUE(IsBlank(Field(line, 44, 22)));
            EXPECT_TRUE(MinuteOf(Field(line, 66, 12))) << line;
            EXPECT_NE(std::string("1234").find(line[77]), std::string::npos) << line;
            EXPECT_TRUE(IsBlank(Field(line, 79, 8)) || DayOf(Field(line, 79, 8))) << line;
            EXPECT_NE(std::string(" 12").find(line[86]), std::string::npos) << line;
        } else {
            EXPECT_GE(line.size(), 79u);
            EXPECT_EQ(line.size(), 82u);
            EXPECT_TRUE(DayOf(Field(line, 44, 8))) << line;
            EXPECT_EQ(Field(line, 52, 28).find_first_not_of("01"), std::string::npos) << line;
            std::array<std::string_view, kTissItemCount> items;
            for (int i = 0; i < kTissItemCount; ++i) items[i] = std::string_view(line).substr(51 + i, 1);
            EXPECT_EQ(Field(line, 80, 3), TissScoreText(ComputeTissScore(items))) << line;
        }
    }
}

TEST(GeneratedDelivery, cleanStays_haveOneSurveyDayForEachDayOfCare) {
    const Generated generated = Generate(Options(500, 12));
    const Delivery delivery = ReadDelivery(generated.bytes);
    ASSERT_EQ(delivery.stays.size(), 500u);
    for (const DeliveryStay& stay : delivery.stays) {
        EXPECT_EQ(FindingsOf(stay, "K101", "12100101"), std::set<std::string>{}) << stay.text;
        EXPECT_FALSE(stay.recordType1.empty());
        EXPECT_FALSE(stay.recordType3.empty());
    }
    EXPECT_EQ(generated.result.faultyStays, 0);
}

TEST(GeneratedDelivery, sumRecord_claimsTheRecordLinesAtTheEnd) {
    const Generated generated = Generate(Options(300, 13));
    const Delivery delivery = ReadDelivery(generated.bytes);
    ASSERT_EQ(delivery.sumRecords.size(), 1u);
    EXPECT_TRUE(delivery.sumRecordLast);
    const std::string& sum = delivery.sumRecords.front();
    long long type1 = 0;
    long long type3 = 0;
    for (const DeliveryStay& stay : delivery.stays) {
        type1 += stay.recordType1.empty() ? 0 : 1;
        type3 += static_cast<long long>(stay.recordType3.size());
    }
    EXPECT_EQ(std::stoll(Field(sum, 14, 6)), type1);
    EXPECT_EQ(Field(sum, 20, 6), "000000");
    EXPECT_EQ(std::stoll(Field(sum, 26, 6)), type3);
    EXPECT_EQ(Field(sum, 32, 6), "000000");
    EXPECT_EQ(generated.result.claimedLines, type1 + type3);
}

TEST(GeneratedDelivery, sumRecordModes_giveMissingOrWrongSum) {
    GeneratorOptions options = Options(40, 14);
    options.sumRecord = SumRecordMode::Missing;
    const Generated missing = Generate(options);
    EXPECT_TRUE(ReadDelivery(missing.bytes).sumRecords.empty());
    EXPECT_FALSE(missing.result.sumRecordWritten);

    options.sumRecord = SumRecordMode::Wrong;
    const Generated wrong = Generate(options);
    const Delivery delivery = ReadDelivery(wrong.bytes);
    ASSERT_EQ(delivery.sumRecords.size(), 1u);
    const std::string& sum = delivery.sumRecords.front();
    long long claimed = 0;
    for (int i = 0; i < 4; ++i) claimed += std::stoll(Field(sum, 14 + 6 * i, 6));
    EXPECT_EQ(claimed, wrong.result.recordType1Lines + wrong.result.recordType3Lines + 1);
}

TEST(GeneratedDelivery, duplicateSurveyDays_areLeftOutOfTheSum) {
    GeneratorOptions options = Options(60, 15, 0.5);
    options.faultKinds = {FaultKind::DuplicateSurveyDay};
    const Generated generated = Generate(options);
    ASSERT_GT(generated.result.faultyStays, 0);
    const long long lines = generated.result.recordType1Lines + generated.result.recordType3Lines;
    EXPECT_EQ(generated.result.claimedLines, lines - generated.result.faultyStays);
}

TEST(GeneratedDelivery, lineFeedEnding_writesNoCarriageReturn) {
    GeneratorOptions options = Options(30, 16);
    options.lineEnding = LineEnding::Lf;
    const Generated generated = Generate(options);
    EXPECT_EQ(generated.bytes.find('\r'), std::string::npos);
    EXPECT_EQ(SplitLines(generated.bytes, "\n").size(), SplitLines(Generate(Options(30, 16)).bytes).size());
}

// --- reproducibility ---------------------------------------------------------------------------

TEST(GeneratedDelivery, sameSeed_givesIdenticalBytes) {
    const GeneratorOptions options = Options(200, 42, 0.2);
    EXPECT_EQ(Generate(options).bytes, Generate(options).bytes);
    EXPECT_NE(Generate(options).bytes, Generate(Options(200, 43, 0.2)).bytes);
}

TEST(GeneratedDelivery, faults_leaveTheOtherStaysAsWithoutFaults) {
    const Delivery clean = ReadDelivery(Generate(Options(300, 21)).bytes);
    const Generated faulty = Generate(Options(300, 21, 0.3));
    const Delivery withFaults = ReadDelivery(faulty.bytes);
    ASSERT_EQ(withFaults.stays.size(), clean.stays.size());
    int changed = 0;
    for (std::size_t i = 0; i < clean.stays.size(); ++i) {
        if (withFaults.stays[i].text == clean.stays[i].text) continue;
        ++changed;
        EXPECT_FALSE(FindingsOf(withFaults.stays[i], "K101", "12100101").empty()) << withFaults.stays[i].text;
    }
    EXPECT_EQ(changed, faulty.result.faultyStays);
}

// --- delivery order ----------------------------------------------------------------------------

TEST(GeneratedDelivery, mixedOrders_holdTheSameStaysAndSumAsAdmissionOrder) {
    struct Case {
        const char* what;
        bool shuffle;
        int interleaved;
    };
    const Case cases[] = {{"shuffled", true, 1}, {"interleaved", false, 16}, {"both", true, 64}};
    const GeneratorOptions plainOptions = Options(400, 7, 0.5);
    const Generated plain = Generate(plainOptions);
    const Delivery expected = ReadDelivery(plain.bytes);
    std::multiset<std::string> expectedStays;
    for (const DeliveryStay& stay : expected.stays) expectedStays.insert(stay.text);
    for (const Case& c : cases) {
        GeneratorOptions options = plainOptions;
        options.shuffleStays = c.shuffle;
        options.interleavedStays = c.interleaved;
        const Generated mixed = Generate(options);
        ASSERT_TRUE(mixed.result.ok()) << c.what;
        const Delivery delivery = ReadDelivery(mixed.bytes);
        std::multiset<std::string> stays;
        for (const DeliveryStay& stay : delivery.stays) {
            stays.insert(stay.text);
            EXPECT_FALSE(stay.recordType3BeforeType1) << c.what << "\n" << stay.text;
        }
        EXPECT_EQ(stays, expectedStays) << c.what;
        EXPECT_EQ(delivery.sumRecords, expected.sumRecords) << c.what;
        EXPECT_TRUE(delivery.sumRecordLast) << c.what;
        EXPECT_EQ(mixed.result.countedLines, plain.result.countedLines) << c.what;
        EXPECT_EQ(mixed.result.faultyStays, plain.result.faultyStays) << c.what;
        EXPECT_NE(mixed.bytes, plain.bytes) << c.what;
        EXPECT_EQ(Generate(options).bytes, mixed.bytes) << c.what;
    }
}

TEST(GeneratedDelivery, shuffledStays_comeOutOfKeyOrder_interleavedStays_spreadTheirDays) {
    GeneratorOptions options = Options(300, 11);
    options.shuffleStays = true;
    const auto keyOrder = [](const std::string& bytes) {
        std::vector<std::string> keys;
        for (const std::string& line : SplitLines(bytes))
            if (line.starts_with("1")) keys.push_back(Field(line, 14, 10));
        return keys;
    };
    const std::vector<std::string> shuffled = keyOrder(Generate(options).bytes);
    EXPECT_FALSE(std::is_sorted(shuffled.begin(), shuffled.end()));

    options.shuffleStays = false;
    options.interleavedStays = 32;
    // A stay whose lines are not one block: another stay's line lies between two of its lines.
    int split = 0;
    std::map<std::string, int> lastLine;
    const auto lines = SplitLines(Generate(options).bytes);
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        if (!lines[i].starts_with("1") && !lines[i].starts_with("3")) continue;
        const std::string key = Field(lines[i], 14, 30);
        auto [at, added] = lastLine.emplace(key, i);
        if (!added && at->second != i - 1) ++split;
        at->second = i;
    }
    EXPECT_GT(split, 100);
}

// --- faults ------------------------------------------------------------------------------------

TEST(GeneratedDelivery, faultRate_givesThatShareOfFaultyStays) {
    for (const double rate : {0.02, 0.1, 0.5}) {
        const int stays = 3000;
        const Generated generated = Generate(Options(stays, 31, rate));
        const Delivery delivery = ReadDelivery(generated.bytes);
        int faulty = 0;
        for (const DeliveryStay& stay : delivery.stays)
            faulty += FindingsOf(stay, "K101", "12100101").empty() ? 0 : 1;
        EXPECT_EQ(faulty, generated.result.faultyStays) << rate;
        const double expected = rate * stays;
        EXPECT_NEAR(faulty, expected, 4.0 * std::sqrt(expected * (1 - rate)) + 1) << rate;
    }
}

TEST(GeneratedDelivery, eachFaultKind_givesItsFindingInEveryStay) {
    struct Case {
        FaultKind kind;
        const char* finding;
        std::set<std::string> sideEffects;  // findings that come with it
        const char* department = "12100101";
    };
    const Case cases[] = {
        {FaultKind::InvalidBirthDate, "birth-date", {}},
        {FaultKind::InvalidAdmissionTime, "admission-time", {}},
        {FaultKind::InvalidDischargeTime, "discharge-time", {}},
        {FaultKind::BlankDischargeTime, "blank-discharge-time", {}},
        {FaultKind::DischargeBeforeAdmission, "discharge-before-admission", {}},
        {FaultKind::BlankKisId, "kis-id", {}},
        {FaultKind::WrongHospital, "hospital", {}},
        {FaultKind::WrongDepartment, "department", {}},
        {FaultKind::IcuOutcomeOutOfRange, "icu-outcome-range", {}},
        {FaultKind::IcuOutcomeBlank, "icu-outcome-blank", {}},
        {FaultKind::InvalidHospitalDischargeDate, "hospital-discharge-date", {}},
        {FaultKind::HospitalDischargeStateOutOfRange, "hospital-discharge-state", {}},
        {FaultKind::TissItemTwo, "item-range", {}},
        {FaultKind::InvalidSurveyDay, "survey-day", {"survey-days"}},
        {FaultKind::DuplicateSurveyDay, "duplicate-day", {}},
        {FaultKind::MissingSurveyDay, "survey-days", {}},
        {FaultKind::ExclusivePairBothSet, "exclusive-pair", {}},
        {FaultKind::NoStandardMonitoring, "no-standard-monitoring", {"score-zero"}},
        {FaultKind::AllItemsZero, "score-zero", {"no-standard-monitoring"}},
        {FaultKind::ChildInChildrensDepartment, "child-age", {}, "12510101"},
        {FaultKind::ChildInChildrensDepartment, "child-age", {}, "12270102"},
        {FaultKind::StayWithoutRecordType1, "no-record-type-1", {}},
    };
    for (const Case& c : cases) {
        GeneratorOptions options = Options(80, 51, 1.0);
        options.department = c.department;
        options.faultKinds = {c.kind};
        const Generated generated = Generate(options);
        ASSERT_TRUE(generated.result.ok()) << generated.result.error;
        EXPECT_EQ(generated.result.faultsByKind[static_cast<int>(c.kind)], 80);
        const Delivery delivery = ReadDelivery(generated.bytes);
        ASSERT_EQ(delivery.stays.size(), 80u) << c.finding;
        for (const DeliveryStay& stay : delivery.stays) {
            std::set<std::string> found = FindingsOf(stay, "K101", c.department);
            ASSERT_EQ(found.erase(c.finding), 1u) << c.finding << "\n" << stay.text;
            for (const std::string& side : c.sideEffects) found.erase(side);
            EXPECT_TRUE(found.empty()) << c.finding << ": also " << *found.begin() << "\n" << stay.text;
        }
    }
}

TEST(GeneratedDelivery, staysWithoutRecordType1_areOnlyBuiltWhenAskedFor) {
    const auto defaults = DefaultFaultKinds();
    EXPECT_EQ(std::find(defaults.begin(), defaults.end(), FaultKind::StayWithoutRecordType1), defaults.end());
    const Generated generated = Generate(Options(400, 61, 1.0));
    for (const DeliveryStay& stay : ReadDelivery(generated.bytes).stays) {
        EXPECT_FALSE(stay.recordType1.empty());
        EXPECT_FALSE(stay.recordType3BeforeType1);
    }
}

TEST(GeneratedDelivery, childrensAgeRuleDepartment_getsNoChildrenWithoutFault) {
    GeneratorOptions options = Options(600, 71, 0.3);
    options.department = "12510101";
    const Generated generated = Generate(options);
    ASSERT_TRUE(generated.result.ok());
    int childFaults = 0;
    for (const DeliveryStay& stay : ReadDelivery(generated.bytes).stays) {
        childFaults += FindingsOf(stay, "K101", "12510101").count("child-age");
    }
    EXPECT_EQ(childFaults,
              generated.result.faultsByKind[static_cast<int>(FaultKind::ChildInChildrensDepartment)]);
}

// --- content -----------------------------------------------------------------------------------

TEST(GeneratedDelivery, content_hasARealisticMix) {
    const Generated generated = Generate(Options(4000, 81));
    const Delivery delivery = ReadDelivery(generated.bytes);
    std::map<char, int> outcomes;
    int children = 0, newborns = 0, elderly = 0, longStays = 0, hospitalDischarge = 0;
    for (const DeliveryStay& stay : delivery.stays) {
        const std::string& line = stay.recordType1;
        const int age = AgeOn(*DayOf(Field(line, 32, 8)), *DayOf(Field(line, 24, 8)));
        children += age < 16 ? 1 : 0;
        newborns += age == 0 ? 1 : 0;
        elderly += age >= 80 ? 1 : 0;
        ++outcomes[line[77]];
        hospitalDischarge += IsBlank(Field(line, 79, 8)) ? 0 : 1;
        longStays += stay.recordType3.size() > 15 ? 1 : 0;
        EXPECT_LE(stay.recordType3.size(), 31u);
    }
    const double stays = static_cast<double>(delivery.stays.size());
    const double surveyDaysPerStay = static_cast<double>(generated.result.recordType3Lines) / stays;
    EXPECT_GT(surveyDaysPerStay, 4.5);
    EXPECT_LT(surveyDaysPerStay, 5.5);
    EXPECT_GT(children, 0);
    EXPECT_GT(newborns, 0);
    EXPECT_GT(elderly, 0);
    EXPECT_GT(longStays, 0);
    EXPECT_EQ(outcomes.size(), 4u);
    EXPECT_GT(hospitalDischarge / stays, 0.8);

    std::map<int, int> setCount;
    long long days = 0;
    for (const DeliveryStay& stay : delivery.stays) {
        for (const std::string& line : stay.recordType3) {
            ++days;
            for (int number = 1; number <= kTissItemCount; ++number)
                setCount[number] += line[ItemAt(number) - 1] == '1';
        }
    }
    const auto share = [&](int number) {
        return static_cast<double>(setCount[number]) / static_cast<double>(days);
    };
    EXPECT_EQ(share(1), 1.0);  // standard monitoring
    EXPECT_GT(share(2), 0.8);  // laboratory
    EXPECT_GT(share(8), 0.1);  // mechanical ventilation
    EXPECT_LT(share(8), 0.6);
    EXPECT_LT(share(18), 0.05);  // resuscitation
    EXPECT_GT(share(18), 0.0);
}

// --- options -----------------------------------------------------------------------------------

TEST(GeneratorOptions, invalidOptions_giveAMessageAndWriteNothing) {
    struct Case {
        const char* what;
        void (*change)(GeneratorOptions&);
    };
    const Case cases[] = {
        {"no stays", [](GeneratorOptions& o) { o.stays = 0; }},
        {"too many stays", [](GeneratorOptions& o) { o.stays = kMaximumStays + 1; }},
        {"hospital without K", [](GeneratorOptions& o) { o.hospital = "X101"; }},
        {"short hospital", [](GeneratorOptions& o) { o.hospital = "K10"; }},
        {"short department", [](GeneratorOptions& o) { o.department = "1210010"; }},
        {"department not 12", [](GeneratorOptions& o) { o.department = "13100101"; }},
        {"30 February", [](GeneratorOptions& o) { o.firstAdmission = "20160230"; }},
        {"date with points", [](GeneratorOptions& o) { o.firstAdmission = "04.01.16"; }},
        {"fault rate above 1", [](GeneratorOptions& o) { o.faultRate = 1.5; }},
        {"fault rate not a number", [](GeneratorOptions& o) { o.faultRate = std::nan(""); }},
        {"no admissions", [](GeneratorOptions& o) { o.admissionsPerDay = 0.0; }},
        {"beyond 2199",
         [](GeneratorOptions& o) {
             o.stays = kMaximumStays;
             o.admissionsPerDay = 1.0;
         }},
        {"no stays interleaved", [](GeneratorOptions& o) { o.interleavedStays = 0; }},
        {"too many stays interleaved",
         [](GeneratorOptions& o) { o.interleavedStays = kMaximumInterleavedStays + 1; }},
        {"age rule fault in adult department",
         [](GeneratorOptions& o) {
             o.faultRate = 0.5;
             o.faultKinds = {FaultKind::ChildInChildrensDepartment};
         }},
    };
    for (const Case& c : cases) {
        GeneratorOptions options = Options(10, 1);
        c.change(options);
        const Generated generated = Generate(options);
        EXPECT_FALSE(generated.result.ok()) << c.what;
        EXPECT_FALSE(CheckGeneratorOptions(options).empty()) << c.what;
        EXPECT_TRUE(generated.bytes.empty()) << c.what;
    }
}

TEST(FaultKinds, namesParseBackToTheirKind) {
    for (const auto& info : FaultKinds()) EXPECT_EQ(ParseFaultKind(info.name), info.kind) << info.name;
    EXPECT_FALSE(ParseFaultKind("no-such-fault"));
}

// --- size --------------------------------------------------------------------------------------

class CountingBuffer : public std::streambuf {
public:
    long long count = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        count += n;
        return n;
    }
    int_type overflow(int_type c) override {
        ++count;
        return c;
    }
};

TEST(GeneratedDelivery, hundredThousandStays_areWrittenQuickly) {
    CountingBuffer buffer;
    std::ostream out(&buffer);
    const auto start = std::chrono::steady_clock::now();
    const GenerationResult result = WriteDelivery(Options(100000, 91, 0.02), out);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(result.ok());
    EXPECT_GT(result.recordType3Lines, 450000);
    EXPECT_EQ(buffer.count, result.recordType1Lines * 89 + result.recordType3Lines * 84 + 39);
    // Generous for sanitizer builds; an optimised build needs a fraction of a second.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count(), 20);
}

// --- demo data ---------------------------------------------------------------------------------

TEST(DemoDeliveries, regeneratedWithTheirSeeds_equalTheShippedFiles) {
    struct Case {
        const char* name;
        std::uint64_t seed;
        int stays;
        const char* hospital;
        const char* department;
        const char* firstAdmission;
        double faultRate;
        std::vector<const char*> kinds;
    };
    const Case cases[] = {
        {"A6100101.101", 1601, 40, "K101", "12100101", "20160104", 0.0, {}},
        {"B6100201.103",
         1603,
         50,
         "K103",
         "12100201",
         "20160404",
         0.35,
         {"missing-survey-day", "no-standard-monitoring", "hospital-discharge-state-out-of-range",
          "duplicate-survey-day", "exclusive-pair-both-set", "all-items-zero",
          "invalid-hospital-discharge-date", "tiss-item-two"}},
        {"C6100301.105",
         1659,
         40,
         "K105",
         "12100301",
         "20160704",
         0.35,
         {"invalid-birth-date", "invalid-admission-time", "invalid-discharge-time", "blank-discharge-time",
          "discharge-before-admission", "blank-kis-id", "icu-outcome-out-of-range", "icu-outcome-blank",
          "invalid-survey-day", "wrong-department"}},
        {"T6100401.102", 1604, 20, "K102", "12100401", "20161003", 0.0, {}},
    };
    for (const Case& c : cases) {
        GeneratorOptions options = Options(c.stays, c.seed, c.faultRate);
        options.hospital = c.hospital;
        options.department = c.department;
        options.firstAdmission = c.firstAdmission;
        if (!c.kinds.empty()) options.faultKinds.clear();
        for (const char* name : c.kinds) options.faultKinds.push_back(*ParseFaultKind(name));
        const std::string shipped = test::ReadFile(std::string(KALVORA_SOURCE_DIR) + "/data/demo/" + c.name);
        EXPECT_EQ(Generate(options).bytes, shipped)
            << c.name << ": regenerate the demo data (docs/demo-data.md)";
        EXPECT_EQ(DeliveryFileName(c.name[0], c.name[1], c.department, c.hospital), c.name);
    }
}

}  // namespace
}  // namespace kalvora::tools
