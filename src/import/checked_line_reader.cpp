#include "import/checked_line_reader.h"

#include <algorithm>

#include "import/field_validators.h"
#include "import/line_reader.h"

namespace kalvora {

namespace {

// About 400 record lines (of some 85 characters) per block and at most four blocks waiting. A checked
// line holds its row's fields and findings (some 700 bytes beside its text), so a block of 32 KiB of
// text needs about 300 KB: the blocks stay small beside the work file's page cache.
constexpr size_t kBlockBytes = 32 * 1024;
constexpr size_t kBlocksAhead = 4;
constexpr size_t kLinesReserved = kBlockBytes / 64;

CheckedLine::Kind KindOf(std::string_view line) {
    if (IsBlankField(line)) return CheckedLine::Kind::Blank;
    switch (line[0]) {
        case '1':
            return CheckedLine::Kind::RecordType1;
        case '3':
            return CheckedLine::Kind::RecordType3;
        case '$':
            return CheckedLine::Kind::SumRecord;
        case '2':
        case '4':
            return CheckedLine::Kind::Ignored;
        default:
            return CheckedLine::Kind::UnknownRecordType;
    }
}

}  // namespace

CheckedLineReader::CheckedLineReader(LineRules rules) : rules_(rules) {}

CheckedLineReader::~CheckedLineReader() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

Outcome CheckedLineReader::open(const std::string& path) {
    auto reader = std::make_unique<LineReader>();
    if (Outcome opened = reader->open(path); !opened) return opened;
    size_ = reader->size();
    thread_ = std::thread([this, reader = std::move(reader)]() mutable {
        auto block = std::make_unique<Block>();
        block->text.reserve(kBlockBytes);
        block->lines.reserve(kLinesReserved);
        long long number = 0;
        try {
            std::string_view line;
            while (reader->next(line)) {
                ++number;
                if (block->text.size() + line.size() > block->text.capacity()) {
                    hand(std::move(block));
                    block = std::make_unique<Block>();
                    block->text.reserve(std::max(kBlockBytes, line.size()));
                    block->lines.reserve(kLinesReserved);
                }
                size_t start = block->text.size();
                block->text.append(line);
                CheckedLine& checked = block->lines.emplace_back();
                checked.text = std::string_view(block->text).substr(start, line.size());
                checked.number = number;
                checked.bytesDone = reader->bytesRead();
                checked.kind = KindOf(checked.text);
                if (checked.kind == CheckedLine::Kind::RecordType1)
                    checked.record = CheckRecordType1(rules_, checked.text);
                else if (checked.kind == CheckedLine::Kind::RecordType3)
                    checked.record = CheckRecordType3(rules_, checked.text);
                if (stopping_) return;
            }
        } catch (...) {
            if (!block) block = std::make_unique<Block>();
            block->failure = std::current_exception();
        }
        block->last = true;
        hand(std::move(block));
    });
    return Done{};
}

void CheckedLineReader::hand(std::unique_ptr<Block> block) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return stopping_ || ready_.size() < kBlocksAhead; });
    if (stopping_) return;
    ready_.push_back(std::move(block));
    changed_.notify_all();
}

bool CheckedLineReader::next(CheckedLine*& line) {
    for (;;) {
        if (current_ && position_ < current_->lines.size()) {
            line = &current_->lines[position_++];
            return true;
        }
        if (current_) {
            if (current_->failure) {
                std::exception_ptr failure = current_->failure;
                current_->failure = nullptr;
                finished_ = true;
                std::rethrow_exception(failure);
            }
            if (current_->last) finished_ = true;
        }
        if (finished_) return false;
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return !ready_.empty(); });
        current_ = std::move(ready_.front());
        ready_.pop_front();
        position_ = 0;
        changed_.notify_all();
    }
}

}  // namespace kalvora
