#pragma once
// Reads a delivery file and checks the fields of its lines on a second thread, a block of lines at a
// time, while the import run stores the lines already checked: the field checks need nothing but the
// line, the store needs the work file, so the two share the work of an import between two cores.
// At most a few blocks are held at once, so memory does not grow with the file.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <variant>
#include <vector>

#include "base/result.h"
#include "import/record_readers.h"

namespace kalvora {

// One line of the delivery file, with the outcome of its field checks for the two record types.
struct CheckedLine {
    enum class Kind { Blank, SumRecord, Ignored, UnknownRecordType, RecordType1, RecordType3 };
    Kind kind = Kind::Blank;
    std::string_view text;        // without the line end; valid until the next block is taken
    long long number = 0;         // from 1
    std::uint64_t bytesDone = 0;  // bytes of the file up to and including this line
    std::variant<std::monostate, CheckedType1, CheckedType3> record;
};

class CheckedLineReader {
public:
    explicit CheckedLineReader(LineRules rules);
    ~CheckedLineReader();
    CheckedLineReader(const CheckedLineReader&) = delete;
    CheckedLineReader& operator=(const CheckedLineReader&) = delete;

    // Opens a regular file and starts reading; fails with a German message naming the file otherwise.
    Outcome open(const std::string& path);
    std::uint64_t size() const { return size_; }

    // The next line, checked; false at the end of the file. A reading failure is thrown here once the
    // lines before it have been taken.
    bool next(CheckedLine*& line);

private:
    struct Block {
        std::string text;  // the lines' bytes; reserved up front so that views into it stay valid
        std::vector<CheckedLine> lines;
        std::exception_ptr failure;
        bool last = false;
    };

    // Passes a block to the taking side; waits while enough blocks are waiting.
    void hand(std::unique_ptr<Block> block);

    LineRules rules_;
    std::uint64_t size_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<Block>> ready_;
    std::atomic<bool> stopping_ = false;

    std::unique_ptr<Block> current_;
    size_t position_ = 0;
    bool finished_ = false;
};

}  // namespace kalvora
