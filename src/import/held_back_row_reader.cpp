#include "import/held_back_row_reader.h"

#include <array>
#include <iterator>
#include <stdexcept>
#include <tuple>

#include "base/encoding.h"
#include "base/text.h"
#include "import/work_database.h"

namespace kalvora {

namespace {

HeldBackDays::KeyFields keyFieldsOf(const StayRow& stay) { return {stay.KIS_ID, stay.DOB, stay.ADM_DATE}; }

// The key of a delivery line's stay, as reading made it.
std::string lineKey(std::string_view line) {
    return HeldBackDays::KeyOf(Windows1252ToUtf8(LinePart(line, 14, 10)),
                               Windows1252ToUtf8(LinePart(line, 24, 8)),
                               Windows1252ToUtf8(LinePart(line, 32, 12)));
}

}  // namespace

HeldBackRowReader::HeldBackRowReader(const HeldBackDays& days, WorkDatabase& work, const std::string& path,
                                     LineRules rules, RowCodes codes)
    : days_(days), work_(work), rules_(rules), codes_(codes), path_(path) {
    lines_.open(path);
    heldOrder_ = days_.heldStaysInKeyOrder();
}

HeldBackRowReader::~HeldBackRowReader() {
    // A batch still being read refers to this reader: it is waited for.
    for (auto& batch : prepared_)
        if (batch.valid()) batch.wait();
}

std::vector<HeldBackRowReader::Item> HeldBackRowReader::compose() {
    std::vector<Item> items;
    while (items.size() < kStaysPerBatch) {
        if (workAt_ == workStays_.size() && !workDone_) {
            work_.readStays(anyWorkStay_ ? &lastWorkStay_ : nullptr, kStaysPerBatch, workStays_);
            workAt_ = 0;
            workDone_ = workStays_.size() < kStaysPerBatch;
            if (!workStays_.empty()) {
                const StayRow& last = workStays_.back();
                lastWorkStay_.KIS_ID = last.KIS_ID;
                lastWorkStay_.DOB = last.DOB;
                lastWorkStay_.ADM_DATE = last.ADM_DATE;
                anyWorkStay_ = true;
            }
        }
        const StayRow* stored = workAt_ < workStays_.size() ? &workStays_[workAt_] : nullptr;
        if (heldAt_ < heldOrder_.size()) {
            const HeldBackDays::Stay held = heldOrder_[heldAt_];
            const HeldBackDays::KeyFields key = HeldBackDays::FieldsOf(days_.keyOf(held));
            if (stored == nullptr || key <= keyFieldsOf(*stored)) {
                Item& item = items.emplace_back();
                item.held = held;
                item.row.KIS_ID = std::get<0>(key);
                item.row.DOB = std::get<1>(key);
                item.row.ADM_DATE = std::get<2>(key);
                if (stored != nullptr && key == keyFieldsOf(*stored)) {
                    item.olderRow = true;
                    ++workAt_;
                }
                ++heldAt_;
                continue;
            }
        }
        if (stored == nullptr) break;
        items.emplace_back().row = std::move(workStays_[workAt_++]);
    }
    return items;
}

void HeldBackRowReader::prepare(std::vector<Item> items) {
    if (items.empty()) return;
    prepared_.push_back(std::async(std::launch::async, &HeldBackRowReader::read, this, std::move(items)));
}

bool HeldBackRowReader::next(std::vector<StayRow>& stays) {
    if (!started_) {
        started_ = true;
        for (size_t ahead = 0; ahead < kBatchesAhead; ++ahead) prepare(compose());
    }
    stays.clear();
    if (prepared_.empty()) return false;
    std::future<std::unique_ptr<Batch>> batch = std::move(prepared_.front());
    prepared_.pop_front();
    // The batches after this one are read while this one is walked.
    prepare(compose());
    current_ = batch.get();
    stays.swap(current_->rows);
    return true;
}

StoredDays HeldBackRowReader::rowsOf(size_t at, std::vector<const RecordType3Row*>& rows) {
    rows.clear();
    const Batch::Stay& stay = current_->stays.at(at);
    for (size_t i = stay.first; i < stay.first + stay.count; ++i) rows.push_back(&current_->checked[i].row);
    return stay.stored;
}

const HeldBackStay* HeldBackRowReader::heldStayOf(size_t at) {
    const Batch::Stay& stay = current_->stays.at(at);
    return stay.type1 < 0 ? nullptr : &current_->heldStays[static_cast<size_t>(stay.type1)];
}

void HeldBackRowReader::buildStay(const HeldStay& held, std::string_view key, std::string_view line,
                                  const CheckedType1& checked, StayRow& row) const {
    const auto [kisId, dob, admission] = HeldBackDays::FieldsOf(key);
    row.KA_ID = codes_.kaCode;
    row.ICU_FUN_ID = codes_.departmentId;
    row.ICU_FUN_SID = codes_.departmentSid;
    row.KIS_ID = kisId;
    row.DOB = dob;
    row.ADM_DATE = admission;
    row.FLAG = std::string(1, held.flag);
    row.Satzart_3 = held.surveyLines;
    if (held.type1Counted) {
        row.Satzart_1 = 1;
        SetStayFields(row, line, checked.figures);
    }
}

std::unique_ptr<HeldBackRowReader::Batch> HeldBackRowReader::read(std::vector<Item> items) {
    auto batch = std::make_unique<Batch>();
    std::vector<HeldLine> stayLines;
    std::vector<HeldLine> lines;             // the batch's held-back survey lines, stay by stay
    std::vector<size_t> textOf;              // for each: its place in the texts read again, if read again
    std::vector<std::uint64_t> lineOffsets;  // of the survey lines read again
    std::vector<std::uint64_t> type1Offsets;
    batch->keys.resize(items.size());
    batch->stays.resize(items.size());
    for (size_t at = 0; at < items.size(); ++at) {
        const Item& item = items[at];
        batch->keys[at] = item.held != HeldBackDays::kNone
                              ? std::string(days_.keyOf(item.held))
                              : HeldBackDays::KeyOf(item.row.KIS_ID, item.row.DOB, item.row.ADM_DATE);
        const HeldBackDays::Stay entry =
            item.held != HeldBackDays::kNone ? item.held : days_.current(batch->keys[at]);
        Batch::Stay& stay = batch->stays[at];
        if (item.held != HeldBackDays::kNone) {
            stay.type1 = static_cast<int>(type1Offsets.size());
            type1Offsets.push_back(days_.heldStay(item.held).type1At);
        }
        if (entry == HeldBackDays::kNone) continue;
        days_.linesOf(entry, stayLines);
        stay.stored = days_.hasStoredDays(entry)     ? StoredDays::Counted
                      : days_.hasReplacedDays(entry) ? StoredDays::Replaced
                                                     : StoredDays::None;
        stay.first = lines.size();
        stay.count = stayLines.size();
        for (const HeldLine& line : stayLines) {
            lines.push_back(line);
            textOf.push_back(lineOffsets.size());
            if (!line.itemsOnly) lineOffsets.push_back(line.offset);
        }
    }
    // The texts first, then the checks: the checked rows hold views into the texts. Read together, so
    // that the lines of a stay that follow each other in the file are read at once.
    const size_t surveyTexts = lineOffsets.size();
    lineOffsets.insert(lineOffsets.end(), type1Offsets.begin(), type1Offsets.end());
    std::vector<std::string> texts;
    lines_.readLines(lineOffsets, texts);
    const auto type1Start = texts.begin() + static_cast<std::ptrdiff_t>(surveyTexts);
    batch->texts.assign(std::make_move_iterator(texts.begin()), std::make_move_iterator(type1Start));
    batch->type1Texts.assign(std::make_move_iterator(type1Start), std::make_move_iterator(texts.end()));

    // A line read again must still be the line of its stay it was when the file was read.
    batch->checked.reserve(lines.size());
    batch->dates.reserve(lines.size());
    for (size_t at = 0; at < items.size(); ++at) {
        const Batch::Stay& stay = batch->stays[at];
        for (size_t i = stay.first; i < stay.first + stay.count; ++i) {
            if (lines[i].itemsOnly) {
                std::array<char, 8>& date = batch->dates.emplace_back();
                for (std::uint32_t value = lines[i].date, place = 8; place-- > 0; value /= 10)
                    date[place] = static_cast<char>('0' + value % 10);
                const auto [kisId, dob, admission] = HeldBackDays::FieldsOf(batch->keys[at]);
                RowOfItemValues(codes_, kisId, dob, admission, std::string_view(date.data(), date.size()),
                                lines[i].items, batch->checked.emplace_back());
                continue;
            }
            const std::string_view line = batch->texts[textOf[i]];
            CheckedType3& checked = batch->checked.emplace_back(CheckRecordType3(rules_, line));
            if (line.empty() || line[0] != '3' || !IsUnderLineKey(checked.row, line) ||
                lineKey(line) != batch->keys[at])
                throw std::runtime_error(FileChangedDuringImport(path_));
            CompleteRecordType3(checked);
        }
    }

    batch->type1.reserve(type1Offsets.size());
    batch->heldStays.resize(type1Offsets.size());
    batch->rows.resize(items.size());
    for (size_t at = 0; at < items.size(); ++at) {
        const Item& item = items[at];
        const Batch::Stay& stay = batch->stays[at];
        if (stay.type1 < 0) {
            batch->rows[at] = std::move(items[at].row);
            continue;
        }
        const std::string_view line = batch->type1Texts[static_cast<size_t>(stay.type1)];
        const CheckedType1& checked = batch->type1.emplace_back(CheckRecordType1(rules_, line));
        if (line.empty() || line[0] != '1' || lineKey(line) != batch->keys[at])
            throw std::runtime_error(FileChangedDuringImport(path_));
        const HeldStay& held = days_.heldStay(item.held);
        buildStay(held, batch->keys[at], line, checked, batch->rows[at]);
        HeldBackStay& heldStay = batch->heldStays[static_cast<size_t>(stay.type1)];
        heldStay.olderRow = item.olderRow;
        heldStay.type1Row = held.type1Held ? &checked.row : nullptr;
    }
    return batch;
}

}  // namespace kalvora
