#pragma once
// The survey days of the accepted stays written into a work file of their own, on a thread of its
// own, while the walk after reading checks the next stays and stores their rows: storing the days is
// the larger part of the walk, and the two cores share it. The department file is then written from
// both work files.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "import/stay_checks.h"
#include "import/work_database.h"

namespace kalvora {

// Survey day rows with their own copy of every text, handed from the walk to the writer.
class OwnedDayRows {
public:
    void add(const RecordType3Row& row, bool substitute);
    bool empty() const { return rows_.empty(); }
    std::size_t size() const { return rows_.size(); }
    const RecordType3Row& row(std::size_t at) const { return rows_[at].row; }
    bool substitute(std::size_t at) const { return rows_[at].substitute; }

private:
    std::string_view keep(std::string_view text);
    struct Entry {
        RecordType3Row row;
        bool substitute = false;
    };
    std::vector<Entry> rows_;
    // The texts, in blocks that never move.
    static constexpr std::size_t kBlockBytes = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t blockUsed_ = kBlockBytes;
};

class SurveyDayWriter : public SurveyDayStore {
public:
    // `path` is the day file: an empty copy of the template, taken over by the writer.
    explicit SurveyDayWriter(const std::string& path);
    ~SurveyDayWriter() override;
    SurveyDayWriter(const SurveyDayWriter&) = delete;
    SurveyDayWriter& operator=(const SurveyDayWriter&) = delete;

    // Kept until the walk's batch is done, then written on the writer's thread. A failure of the
    // writer is thrown by the next call (StoreError).
    void store(const RecordType3Row& row, bool substitute) override;
    void batchDone() override;
    // Writes what is left and commits the day file; throws the writer's failure.
    void finish();

    // The day file's page cache: its rows come in key order, so a few pages are enough.
    static constexpr std::size_t kCacheBytes = std::size_t{2} << 20;

private:
    void writeRows();
    void throwFailure();

    WorkDatabase days_;
    OwnedDayRows collecting_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<OwnedDayRows> queue_;  // at most kQueuedBatches waiting
    static constexpr std::size_t kQueuedBatches = 2;
    bool finishing_ = false;
    bool writing_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace kalvora
