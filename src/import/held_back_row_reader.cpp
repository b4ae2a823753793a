#include "import/held_back_row_reader.h"

#include <stdexcept>

#include "base/encoding.h"

namespace kalvora {

HeldBackRowReader::HeldBackRowReader(const HeldBackDays& days, const std::string& path, LineRules rules)
    : days_(days), rules_(rules), path_(path) {
    lines_.open(path);
}

HeldBackRowReader::~HeldBackRowReader() {
    // A batch still being read refers to this reader: it is waited for.
    for (auto& batch : prepared_)
        if (batch.valid()) batch.wait();
}

void HeldBackRowReader::prepare(const std::vector<StayRow>& stays) {
    std::vector<std::string> keys;
    keys.reserve(stays.size());
    for (const StayRow& stay : stays)
        keys.push_back(HeldBackDays::KeyOf(stay.KIS_ID, stay.DOB, stay.ADM_DATE));
    prepared_.push_back(std::async(std::launch::async, &HeldBackRowReader::read, this, std::move(keys)));
}

void HeldBackRowReader::take() {
    if (prepared_.empty()) throw std::logic_error("no batch of held-back rows prepared");
    std::future<std::unique_ptr<Batch>> batch = std::move(prepared_.front());
    prepared_.pop_front();
    current_ = batch.get();
}

StoredDays HeldBackRowReader::rowsOf(size_t at, std::vector<const RecordType3Row*>& rows) {
    rows.clear();
    const Batch::Stay& stay = current_->stays.at(at);
    for (size_t i = stay.first; i < stay.first + stay.count; ++i) rows.push_back(&current_->checked[i].row);
    return stay.stored;
}

std::unique_ptr<HeldBackRowReader::Batch> HeldBackRowReader::read(std::vector<std::string> keys) {
    auto batch = std::make_unique<Batch>();
    std::vector<std::uint64_t> offsets;
    std::vector<std::uint64_t> batchOffsets;
    batch->stays.resize(keys.size());
    for (size_t at = 0; at < keys.size(); ++at) {
        const HeldBackDays::Stay entry = days_.current(keys[at]);
        if (entry == HeldBackDays::kNone) continue;
        days_.linesOf(entry, offsets);
        const StoredDays stored = days_.hasStoredDays(entry)     ? StoredDays::Counted
                                  : days_.hasReplacedDays(entry) ? StoredDays::Replaced
                                                                 : StoredDays::None;
        batch->stays[at] = {stored, batchOffsets.size(), offsets.size()};
        batchOffsets.insert(batchOffsets.end(), offsets.begin(), offsets.end());
    }
    // The texts first, then the checks: the checked rows hold views into the texts.
    batch->texts.resize(batchOffsets.size());
    for (size_t i = 0; i < batchOffsets.size(); ++i) lines_.readLine(batchOffsets[i], batch->texts[i]);
    batch->checked.reserve(batchOffsets.size());
    for (size_t at = 0; at < keys.size(); ++at) {
        const Batch::Stay& stay = batch->stays[at];
        for (size_t i = stay.first; i < stay.first + stay.count; ++i) {
            const std::string_view line = batch->texts[i];
            CheckedType3& checked = batch->checked.emplace_back(CheckRecordType3(rules_, line));
            // The line must still be the survey line of this stay it was when the file was read.
            if (line.empty() || line[0] != '3' || !IsUnderLineKey(checked.row, line) ||
                HeldBackDays::KeyOf(Windows1252ToUtf8(checked.row.KIS_ID), Windows1252ToUtf8(checked.row.DOB),
                                    Windows1252ToUtf8(checked.row.ADM_DATE)) != keys[at])
                throw std::runtime_error(FileChangedDuringImport(path_));
        }
    }
    for (CheckedType3& checked : batch->checked) CompleteRecordType3(checked);
    return batch;
}

}  // namespace kalvora
