#include "delivery_generator.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <optional>
#include <system_error>

#include "fault_injection.h"
#include "line_sink.h"
#include "random_source.h"
#include "stay_plan.h"
#include "tiss/tiss_item.h"
#include "tiss_day_profile.h"

namespace kalvora::tools {

namespace {

using std::chrono::days;
using std::chrono::sys_days;

// Offsets (from 0) of the fields of the prefix shared by record types 1 and 3.
constexpr int kHospitalAt = 1;
constexpr int kDepartmentAt = 5;
constexpr int kKisIdAt = 13;
constexpr int kBirthAt = 23;
constexpr int kAdmissionAt = 31;
constexpr int kPrefixLength = 43;

// Record type 1 after the prefix; positions 44-65 are not read by the import and stay blank.
constexpr int kDischargeAt = 65;
constexpr int kOutcomeAt = 77;
constexpr int kHospitalDischargeAt = 78;
constexpr int kHospitalOutcomeAt = 86;
constexpr int kRecordType1Length = 87;

// Record type 3 after the prefix: survey day, 28 items, and the sender's score of the day.
constexpr int kSurveyDayAt = 43;
constexpr int kScoreAt = 79;
constexpr int kRecordType3Length = 82;

constexpr int kSumCountWidth = 6;
constexpr long long kSumCountLimit = 999999;

// Random streams of one seed: the admission timeline, the content of each stay, and the faults
// of each stay. Stays draw from their own sources, so a fault never changes the other stays.
constexpr std::uint64_t kTimelineStream = 1;
constexpr std::uint64_t kStayStream = 2;
constexpr std::uint64_t kFaultStream = 3;
constexpr std::uint64_t kOrderStream = 4;

constexpr long long kKisIdModulus = 10'000'000'000LL;
// Hospital information systems hand out admission numbers in ascending order; the largest file
// (300 000 stays) stays below the modulus from any starting number.
constexpr long long kKisIdStep = 7;
constexpr long long kKisIdFirstLimit = 9'000'000'000LL;

constexpr long long kMinutesPerDay = 24 * 60;

void WriteNumber(char* at, int width, long long value) {
    for (int i = width - 1; i >= 0; --i) {
        at[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

void WriteDate(char* at, sys_days day) {
    const std::chrono::year_month_day date{day};
    WriteNumber(at, 4, static_cast<int>(date.year()));
    WriteNumber(at + 4, 2, static_cast<unsigned>(date.month()));
    WriteNumber(at + 6, 2, static_cast<unsigned>(date.day()));
}

void WriteDateTime(char* at, sys_days day, int minute) {
    WriteDate(at, day);
    WriteNumber(at + 8, 2, minute / 60);
    WriteNumber(at + 10, 2, minute % 60);
}

std::optional<sys_days> ParseDateCode(std::string_view text) {
    if (text.size() != 8 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const auto number = [&](int from, int width) {
        int value = 0;
        for (int i = from; i < from + width; ++i) value = value * 10 + (text[i] - '0');
        return value;
    };
    const std::chrono::year_month_day date{std::chrono::year{number(0, 4)},
                                           std::chrono::month{static_cast<unsigned>(number(4, 2))},
                                           std::chrono::day{static_cast<unsigned>(number(6, 2))}};
    if (!date.ok()) return std::nullopt;
    return sys_days{date};
}

bool IsAlphanumeric(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

struct AdmissionGaps {
    long long shortest;
    long long longest;
};

// Gaps between admissions vary by half the mean either way.
AdmissionGaps GapsFor(double admissionsPerDay) {
    const double mean = static_cast<double>(kMinutesPerDay) / admissionsPerDay;
    const long long shortest = std::max(1LL, static_cast<long long>(mean * 0.5));
    return {shortest, std::max(shortest, static_cast<long long>(mean * 1.5))};
}

std::vector<FaultKind> ApplicableKinds(const GeneratorOptions& options) {
    std::vector<FaultKind> kinds;
    for (FaultKind kind : options.faultKinds) {
        if (IsFaultKindApplicable(kind, options.department)) kinds.push_back(kind);
    }
    return kinds;
}

class DeliveryWriter {
public:
    DeliveryWriter(const GeneratorOptions& options, std::ostream& out)
        : options_(options),
          sink_(out, options.lineEnding == LineEnding::CrLf ? "\r\n" : "\n"),
          timeline_(RandomSource::ForMember(options.seed, kTimelineStream, 0)),
          gaps_(GapsFor(options.admissionsPerDay)),
          faultKinds_(ApplicableKinds(options)),
          adultsOnly_(IsChildrensAgeRuleDepartment(options.department)) {
        kisOffset_ = static_cast<long long>(timeline_.next() % static_cast<std::uint64_t>(kKisIdFirstLimit));
        const sys_days first = *ParseDateCode(options.firstAdmission);
        clock_ = static_cast<long long>(first.time_since_epoch().count()) * kMinutesPerDay +
                 timeline_.between(0, 8 * 60);
    }

    GenerationResult run() {
        if (options_.shuffleStays || options_.interleavedStays > 1)
            writeMixedStays();
        else
            for (int stay = 0; stay < options_.stays; ++stay)
                writeStay(stay, nextStart(stay), [this](std::string_view line) { sink_.write(line); });
        result_.countedLines = countedType1_ + countedType3_;
        writeSumRecord();
        if (!sink_.flush()) result_.error = "Die Lieferdatei konnte nicht geschrieben werden.";
        return result_;
    }

private:
    StayStart nextStart(int index) {
        StayStart start;
        start.admissionDay = sys_days{days{clock_ / kMinutesPerDay}};
        start.admissionMinute = static_cast<int>(clock_ % kMinutesPerDay);
        start.kisNumber = (kisOffset_ + index * kKisIdStep) % kKisIdModulus;
        start.adultsOnly = adultsOnly_;
        // Strictly later admissions keep every stay key apart, even without an admission number.
        clock_ += timeline_.between(static_cast<int>(gaps_.shortest), static_cast<int>(gaps_.longest));
        return start;
    }

    // The same stays as in admission order (each drawn from its own sources), written in a shuffled
    // order and with the lines of several open stays mixed. Only the open stays' lines are held.
    void writeMixedStays() {
        std::vector<StayStart> starts;
        starts.reserve(static_cast<size_t>(options_.stays));
        for (int stay = 0; stay < options_.stays; ++stay) starts.push_back(nextStart(stay));
        std::vector<int> order(starts.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
        RandomSource random = RandomSource::ForMember(options_.seed, kOrderStream, 0);
        if (options_.shuffleStays) {
            for (int i = static_cast<int>(order.size()) - 1; i > 0; --i)
                std::swap(order[i], order[random.below(i + 1)]);
        }
        struct OpenStay {
            std::vector<std::string> lines;
            size_t next = 0;
        };
        std::vector<OpenStay> open;
        size_t opened = 0;
        const size_t width = static_cast<size_t>(std::max(1, options_.interleavedStays));
        while (opened < order.size() || !open.empty()) {
            while (open.size() < width && opened < order.size()) {
                OpenStay& stay = open.emplace_back();
                const int index = order[opened++];
                writeStay(index, starts[index],
                          [&stay](std::string_view line) { stay.lines.emplace_back(line); });
                if (stay.lines.empty()) open.pop_back();
            }
            if (open.empty()) break;
            const size_t pick = static_cast<size_t>(random.below(static_cast<int>(open.size())));
            OpenStay& stay = open[pick];
            sink_.write(stay.lines[stay.next++]);
            if (stay.next == stay.lines.size()) {
                std::swap(stay, open.back());
                open.pop_back();
            }
        }
    }

    template <typename Emit>
    void writeStay(int index, const StayStart& start, Emit emit) {
        RandomSource random =
            RandomSource::ForMember(options_.seed, kStayStream, static_cast<std::uint64_t>(index));
        StayPlan plan = DrawStayPlan(random, start);

        std::optional<StayFault> fault;
        RandomSource faultRandom =
            RandomSource::ForMember(options_.seed, kFaultStream, static_cast<std::uint64_t>(index));
        if (!faultKinds_.empty() && faultRandom.chance(options_.faultRate)) {
            const FaultKind kind = faultKinds_[faultRandom.below(static_cast<int>(faultKinds_.size()))];
            fault = PrepareFault(kind, faultRandom, plan);
            ++result_.faultyStays;
            ++result_.faultsByKind[static_cast<int>(kind)];
        }
        const auto has = [&](FaultKind kind) { return fault && fault->kind == kind; };

        formatPrefix(plan, fault);
        const bool withRecordType1 = !has(FaultKind::StayWithoutRecordType1);
        if (withRecordType1) {
            formatRecordType1(plan, fault);
            emit({line1_.data(), line1_.size()});
            ++result_.recordType1Lines;
            ++countedType1_;
        }

        const int dayCount = SurveyDayCount(plan);
        for (int day = 0; day < dayCount; ++day) {
            const int severity = plan.severityPermille * (1000 - 400 * day / dayCount) / 1000;
            TissDayItems items = DrawTissDay(random, {severity, day < plan.ventilatedDays});
            const bool faultDay = fault && fault->dayIndex == day;
            if (faultDay && fault->kind == FaultKind::MissingSurveyDay) continue;
            if (faultDay) spoilItems(*fault, items);
            formatRecordType3(plan.admissionDay + days{day}, items);
            if (faultDay && fault->kind == FaultKind::InvalidSurveyDay) {
                SpoilDateField(line3_.data() + kSurveyDayAt, 8, fault->variant);
            }
            const int copies = faultDay && fault->kind == FaultKind::DuplicateSurveyDay ? 2 : 1;
            for (int copy = 0; copy < copies; ++copy) emit({line3_.data(), line3_.size()});
            result_.recordType3Lines += copies;
            // The import does not count the second line of a duplicate day, nor the lines of a stay
            // it has no record type 1 line for.
            if (withRecordType1) ++countedType3_;
        }
        ++result_.stays;
    }

    void formatPrefix(const StayPlan& plan, const std::optional<StayFault>& fault) {
        char* prefix = line1_.data();
        prefix[0] = '1';
        std::copy_n(options_.hospital.data(), 4, prefix + kHospitalAt);
        std::copy_n(options_.department.data(), 8, prefix + kDepartmentAt);
        std::copy_n(plan.kisId.data(), 10, prefix + kKisIdAt);
        WriteDate(prefix + kBirthAt, plan.birthDay);
        WriteDateTime(prefix + kAdmissionAt, plan.admissionDay, plan.admissionMinute);
        if (fault) {
            // Faults of the stay key go into every line of the stay, as a sender's would.
            switch (fault->kind) {
                case FaultKind::InvalidBirthDate:
                    SpoilDateField(prefix + kBirthAt, 8, fault->variant);
                    break;
                case FaultKind::InvalidAdmissionTime:
                    SpoilDateField(prefix + kAdmissionAt, 12, fault->variant);
                    break;
                case FaultKind::BlankKisId:
                    std::fill_n(prefix + kKisIdAt, 10, ' ');
                    break;
                case FaultKind::WrongHospital:
                    prefix[kHospitalAt + 3] = OtherCharacter(prefix[kHospitalAt + 3]);
                    break;
                case FaultKind::WrongDepartment:
                    prefix[kDepartmentAt + 7] = OtherCharacter(prefix[kDepartmentAt + 7]);
                    break;
                default:
                    break;
            }
        }
        std::copy_n(prefix, kPrefixLength, line3_.data());
        line3_[0] = '3';
    }

    void formatRecordType1(const StayPlan& plan, const std::optional<StayFault>& fault) {
        char* line = line1_.data();
        std::fill(line + kPrefixLength, line + kRecordType1Length, ' ');
        WriteDateTime(line + kDischargeAt, plan.dischargeDay(), plan.dischargeMinute);
        line[kOutcomeAt] = plan.outcome;
        if (plan.hospitalDischarge) WriteDate(line + kHospitalDischargeAt, *plan.hospitalDischarge);
        line[kHospitalOutcomeAt] = plan.hospitalOutcome;
        if (!fault) return;
        if (fault->kind == FaultKind::InvalidDischargeTime) {
            SpoilDateField(line + kDischargeAt, 12, fault->variant);
        } else if (fault->kind == FaultKind::BlankDischargeTime) {
            std::fill_n(line + kDischargeAt, 12, ' ');
        } else if (fault->kind == FaultKind::InvalidHospitalDischargeDate) {
            SpoilDateField(line + kHospitalDischargeAt, 8, fault->variant);
        }
    }

    void spoilItems(const StayFault& fault, TissDayItems& items) const {
        switch (fault.kind) {
            case FaultKind::TissItemTwo:
                items[fault.itemIndex] = '2';
                break;
            case FaultKind::ExclusivePairBothSet:
                items[fault.itemIndex] = '1';
                items[TissItems()[fault.itemIndex].exclusiveWith - 1] = '1';
                break;
            case FaultKind::NoStandardMonitoring:
                items[standardMonitoring_] = '0';
                break;
            case FaultKind::AllItemsZero:
                items.fill('0');
                break;
            default:
                break;
        }
    }

    void formatRecordType3(sys_days surveyDay, const TissDayItems& items) {
        char* line = line3_.data();
        WriteDate(line + kSurveyDayAt, surveyDay);
        std::array<std::string_view, kTissItemCount> values;
        const auto& table = TissItems();
        for (int i = 0; i < kTissItemCount; ++i) {
            line[table[i].linePosition - 1] = items[i];
            values[i] = std::string_view(&items[i], 1);
        }
        WriteNumber(line + kScoreAt, 3, ComputeTissScore(values));
    }

    void writeSumRecord() {
        if (options_.sumRecord == SumRecordMode::Missing) return;
        // The count fields hold at most six digits: a larger count runs over into the next field.
        const long long type1 = countedType1_;
        const long long type3 = countedType3_ + (options_.sumRecord == SumRecordMode::Wrong ? 1 : 0);
        std::array<long long, 4> counts{};
        counts[0] = std::min(type1, kSumCountLimit);
        counts[1] = std::min(type1 - counts[0], kSumCountLimit);
        counts[2] = std::min(type3, kSumCountLimit);
        counts[3] = std::min(type3 - counts[2], kSumCountLimit);

        std::array<char, 13 + 4 * kSumCountWidth> line{};
        line[0] = '$';
        std::copy_n(options_.hospital.data(), 4, line.data() + kHospitalAt);
        std::copy_n(options_.department.data(), 8, line.data() + kDepartmentAt);
        for (int i = 0; i < 4; ++i) {
            WriteNumber(line.data() + 13 + i * kSumCountWidth, kSumCountWidth, counts[i]);
            result_.claimedLines += counts[i];
        }
        sink_.write({line.data(), line.size()});
        result_.sumRecordWritten = true;
    }

    const GeneratorOptions& options_;
    LineSink sink_;
    RandomSource timeline_;
    AdmissionGaps gaps_;
    std::vector<FaultKind> faultKinds_;
    bool adultsOnly_;
    int standardMonitoring_ = TissItemIndex("T28_STAND_MON");
    long long kisOffset_ = 0;
    long long clock_ = 0;  // minutes since 1970-01-01 of the next admission
    long long countedType1_ = 0;
    long long countedType3_ = 0;
    std::array<char, kRecordType1Length> line1_{};
    std::array<char, kRecordType3Length> line3_{};
    GenerationResult result_;
};

}  // namespace

std::string CheckGeneratorOptions(const GeneratorOptions& options) {
    if (options.stays < 1 || options.stays > kMaximumStays) {
        return "Die Anzahl der Aufenthalte muss zwischen 1 und " + std::to_string(kMaximumStays) + " liegen.";
    }
    const std::string_view hospital = options.hospital;
    if (hospital.size() != 4 || hospital[0] != 'K' ||
        !std::all_of(hospital.begin() + 1, hospital.end(), IsAlphanumeric)) {
        return "Der KA-Code muss aus \"K\" und drei Zeichen bestehen (z. B. K101).";
    }
    const std::string_view department = options.department;
    if (department.size() != 8 || !department.starts_with("12") ||
        !std::all_of(department.begin(), department.end(), IsAlphanumeric)) {
        return "Der Abteilungscode muss acht Zeichen haben und mit \"12\" beginnen (z. B. 12100101).";
    }
    const auto first = ParseDateCode(options.firstAdmission);
    const auto firstAllowed = ParseDateCode("19500101");
    const auto lastAllowed = ParseDateCode("21501231");
    if (!first || *first < *firstAllowed || *first > *lastAllowed) {
        return "Das erste Aufnahmedatum muss ein gültiges Datum JJJJMMTT von 1950 bis 2150 sein.";
    }
    if (!(options.admissionsPerDay >= 0.01 && options.admissionsPerDay <= 1440.0)) {
        return "Die Zahl der Aufnahmen pro Tag muss zwischen 0,01 und 1440 liegen.";
    }
    if (!(options.faultRate >= 0.0 && options.faultRate <= 1.0)) {
        return "Die Fehlerrate muss zwischen 0 und 1 liegen.";
    }
    if (options.interleavedStays < 1 || options.interleavedStays > kMaximumInterleavedStays) {
        return "Die Zahl der gemischten Aufenthalte muss zwischen 1 und " +
               std::to_string(kMaximumInterleavedStays) + " liegen.";
    }
    if (options.faultRate > 0.0 && ApplicableKinds(options).empty()) {
        return "Keine der gewählten Fehlerarten ist in dieser Abteilung möglich.";
    }
    // Latest admission, plus the longest stay and hospital stay after it, must stay a valid date.
    const long long lastAdmissionDay =
        first->time_since_epoch().count() + 1 +
        options.stays * GapsFor(options.admissionsPerDay).longest / kMinutesPerDay;
    const auto limit = ParseDateCode("21991231");
    if (lastAdmissionDay + kLongestStayDays + 30 > limit->time_since_epoch().count()) {
        return "Die Aufnahmen reichen über das Jahr 2199 hinaus; bitte mehr Aufnahmen pro Tag wählen.";
    }
    return {};
}

GenerationResult WriteDelivery(const GeneratorOptions& options, std::ostream& out) {
    if (std::string error = CheckGeneratorOptions(options); !error.empty()) {
        GenerationResult result;
        result.error = std::move(error);
        return result;
    }
    return DeliveryWriter(options, out).run();
}

std::string DeliveryFileName(char period, char year, std::string_view department, std::string_view hospital) {
    if (department.size() != 8 || hospital.size() != 4) return {};
    std::string name;
    name.reserve(12);
    name += period;
    name += year;
    name += department.substr(2, 6);
    name += '.';
    name += hospital.substr(1, 3);
    return name;
}

WrittenDelivery WriteDeliveryFile(const GeneratorOptions& options, const std::filesystem::path& directory,
                                  char period, char year) {
    WrittenDelivery written;
    if (std::string error = CheckGeneratorOptions(options); !error.empty()) {
        written.result.error = std::move(error);
        return written;
    }
    std::error_code code;
    std::filesystem::create_directories(directory, code);
    if (code) {
        written.result.error = "Das Verzeichnis " + directory.string() + " kann nicht angelegt werden.";
        return written;
    }
    written.path = directory / DeliveryFileName(period, year, options.department, options.hospital);
    std::ofstream file(written.path, std::ios::binary | std::ios::trunc);
    if (!file) {
        written.result.error = "Die Datei " + written.path.string() + " kann nicht angelegt werden.";
        return written;
    }
    written.result = WriteDelivery(options, file);
    file.close();
    if (written.result.ok() && !file) {
        written.result.error = "Die Datei " + written.path.string() + " konnte nicht geschrieben werden.";
    }
    if (!written.result.ok()) std::filesystem::remove(written.path, code);
    return written;
}

}  // namespace kalvora::tools
