#pragma once
// Reads the held-back survey lines of a batch of stays again and checks them, on a second thread while
// the walk after reading stores the batch before: re-reading and checking a line takes about as long
// as storing its row.

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

class HeldBackRowReader : public HeldBackRows {
public:
    // The held-back days must not change while batches are prepared. `path` is the delivery file.
    HeldBackRowReader(const HeldBackDays& days, const std::string& path, LineRules rules);
    ~HeldBackRowReader() override;

    void prepare(const std::vector<StayRow>& stays) override;
    void take() override;
    StoredDays rowsOf(size_t at, std::vector<const RecordType3Row*>& rows) override;

private:
    struct Batch {
        struct Stay {
            StoredDays stored = StoredDays::Counted;
            size_t first = 0;
            size_t count = 0;
        };
        std::vector<Stay> stays;
        std::vector<std::string> texts;
        std::vector<CheckedType3> checked;
    };
    std::unique_ptr<Batch> read(std::vector<std::string> keys);

    const HeldBackDays& days_;
    LineRules rules_;
    DeliveryLines lines_;
    std::string path_;
    std::deque<std::future<std::unique_ptr<Batch>>> prepared_;
    std::unique_ptr<Batch> current_;
};

}  // namespace kalvora
