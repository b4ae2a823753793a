#pragma once
// The stays of the walk after reading, a batch at a time in key order: the work file's stays merged
// with those held back while reading. The held-back lines of a batch (survey lines, and the record type
// 1 line of a held-back stay, from which its row is built again) are read again and checked on a
// second thread while the walk stores the batch before: re-reading and checking a line takes about
// as long as storing its row.

#include <array>
#include <cstdint>
#include <deque>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "import/delivery_lines.h"
#include "import/held_back_days.h"
#include "import/record_readers.h"
#include "import/stay_checks.h"

namespace kalvora {

class WorkDatabase;

class HeldBackRowReader : public WalkStays {
public:
    // The held-back days must not change while batches are prepared. `path` is the delivery file;
    // `codes` (UTF-8, as stored) must outlive the reader.
    HeldBackRowReader(const HeldBackDays& days, WorkDatabase& work, const std::string& path, LineRules rules,
                      RowCodes codes);
    ~HeldBackRowReader() override;

    bool next(std::vector<StayRow>& stays) override;
    StoredDays rowsOf(size_t at, std::vector<const RecordType3Row*>& rows) override;
    const HeldBackStay* heldStayOf(size_t at) override;

    // The stays the walk takes at a time, and how many batches are read ahead of the one walked: with
    // the walk and the day writer busy, a reader one batch ahead is often not done in time.
    static constexpr size_t kStaysPerBatch = 128;
    static constexpr size_t kBatchesAhead = 2;

private:
    // A stay of a batch: a row of the work file, or a held-back stay (its key only until it is built).
    struct Item {
        StayRow row;
        HeldBackDays::Stay held = HeldBackDays::kNone;
        bool olderRow = false;  // held back, and the work file holds an older row of it
    };
    struct Batch {
        struct Stay {
            StoredDays stored = StoredDays::Counted;
            size_t first = 0;
            size_t count = 0;
            int type1 = -1;  // place in type1Texts / type1 / heldStays of a held-back stay
        };
        std::vector<StayRow> rows;
        std::vector<Stay> stays;
        std::vector<std::string> keys;
        std::vector<std::string> texts;
        std::vector<std::array<char, 8>> dates;  // of the rows built from item values
        std::vector<CheckedType3> checked;
        std::vector<std::string> type1Texts;
        std::vector<CheckedType1> type1;
        std::vector<HeldBackStay> heldStays;
    };
    std::vector<Item> compose();
    void prepare(std::vector<Item> items);
    std::unique_ptr<Batch> read(std::vector<Item> items);
    void buildStay(const HeldStay& held, std::string_view key, std::string_view line,
                   const CheckedType1& checked, StayRow& row) const;

    const HeldBackDays& days_;
    WorkDatabase& work_;
    LineRules rules_;
    RowCodes codes_;
    DeliveryLines lines_;
    std::string path_;
    // The work file's stays read ahead, a chunk at a time after the last one read. The walk stores a
    // held-back stay only once a work file stay beyond it has been read, or all have: so a chunk never
    // brings back a stay the walk stored.
    std::vector<StayRow> workStays_;
    size_t workAt_ = 0;
    bool workDone_ = false;
    StayRow lastWorkStay_;
    bool anyWorkStay_ = false;
    std::vector<HeldBackDays::Stay> heldOrder_;
    size_t heldAt_ = 0;
    bool started_ = false;
    std::deque<std::future<std::unique_ptr<Batch>>> prepared_;
    std::unique_ptr<Batch> current_;
};

}  // namespace kalvora
