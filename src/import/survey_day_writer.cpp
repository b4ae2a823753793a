#include "import/survey_day_writer.h"

#include <algorithm>
#include <cstring>

namespace kalvora {

std::string_view OwnedDayRows::keep(std::string_view text) {
    if (text.empty()) return {};
    if (blockUsed_ + text.size() > kBlockBytes) {
        blocks_.push_back(std::make_unique<char[]>(std::max(kBlockBytes, text.size())));
        blockUsed_ = 0;
    }
    char* at = blocks_.back().get() + blockUsed_;
    std::memcpy(at, text.data(), text.size());
    blockUsed_ += text.size();
    return {at, text.size()};
}

void OwnedDayRows::add(const RecordType3Row& row, bool substitute) {
    Entry& entry = rows_.emplace_back();
    entry.substitute = substitute;
    RecordType3Row& kept = entry.row;
    kept = row;
    for (std::string_view* field :
         {&kept.QUALIFIER, &kept.KA_ID, &kept.ICU_FUN_ID, &kept.ICU_FUN_SID, &kept.KIS_ID, &kept.DOB,
          &kept.ADM_DATE, &kept.REC_DATE, &kept.T28_SCORE, &kept.STUNDEN})
        *field = keep(*field);
    for (std::string_view& item : kept.items) item = keep(item);
}

SurveyDayWriter::SurveyDayWriter(const std::string& path) : days_(path) {
    days_.setCacheBytes(kCacheBytes);
    days_.db().execute("BEGIN");
    thread_ = std::thread(&SurveyDayWriter::writeRows, this);
}

SurveyDayWriter::~SurveyDayWriter() {
    {
        std::lock_guard lock(mutex_);
        finishing_ = true;
        queue_.clear();
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void SurveyDayWriter::throwFailure() {
    if (failure_) std::rethrow_exception(failure_);
}

void SurveyDayWriter::store(const RecordType3Row& row, bool substitute) { collecting_.add(row, substitute); }

void SurveyDayWriter::batchDone() {
    if (collecting_.empty()) return;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return failure_ || queue_.size() < kQueuedBatches; });
    throwFailure();
    queue_.push_back(std::move(collecting_));
    collecting_ = OwnedDayRows();
    lock.unlock();
    changed_.notify_all();
}

void SurveyDayWriter::finish() {
    batchDone();
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return failure_ || (queue_.empty() && !writing_); });
        throwFailure();
        finishing_ = true;
    }
    changed_.notify_all();
    thread_.join();
    throwFailure();
    days_.db().execute("COMMIT");
}

void SurveyDayWriter::writeRows() {
    for (;;) {
        OwnedDayRows rows;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return finishing_ || !queue_.empty(); });
            if (queue_.empty()) return;
            rows = std::move(queue_.front());
            queue_.pop_front();
            writing_ = true;
        }
        changed_.notify_all();
        try {
            for (std::size_t at = 0; at < rows.size(); ++at)
                if (days_.insertRecordType3(rows.row(at)) == StepResult::DuplicateKey)
                    throw StoreError(AlreadyStoredDay(rows.row(at).REC_DATE, rows.substitute(at)));
        } catch (...) {
            std::lock_guard lock(mutex_);
            failure_ = std::current_exception();
            writing_ = false;
            changed_.notify_all();
            return;
        }
        {
            std::lock_guard lock(mutex_);
            writing_ = false;
        }
        changed_.notify_all();
    }
}

}  // namespace kalvora
