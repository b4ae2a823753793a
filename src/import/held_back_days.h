#pragma once
// The survey days of a delivery held back while it is read: for each stay the dates its lines name
// (so that a day delivered twice is found at once, in the order of the file) and where each line is
// in the file. The rows are stored after reading, stay by stay in key order, and only for stays that
// end without errors: B-trees filled in key order take a fraction of the work of rows inserted in the
// order of a delivery whose stays come in no useful order.
//
// The rows of the stays themselves are held back too: for a stay started by its record type 1 line
// only that line's place, its survey line count, flag and hours are kept, and the walk after reading
// builds the row again from the line and stores it with the record rows, in key order.
//
// Memory is bounded: once the held-back lines would need more than the limit, no further line is
// held back. Such lines are stored as they are read, and a stay may then have days of both kinds;
// a stay that gets no entry any more is stored as it is read.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace kalvora {

// What reading keeps of a stay whose row is held back.
struct HeldStay {
    std::uint64_t type1At = 0;      // place of the stay's record type 1 line in the file
    std::uint32_t surveyLines = 0;  // Satzart_3: survey lines counted for the stay
    char flag = 'O';                // FLAG after the findings of the stay's lines
    char hours[2] = {' ', ' '};     // STUNDEN, when hasHours
    bool hasHours = false;
    bool type1Counted = false;  // the record type 1 line counts: Satzart_1 is 1 and its fields are set
    bool type1Held = false;     // its record type 1 row is stored by the walk (else stored as read)
    bool olderRow = false;      // the work file holds an older row of the stay (stored before)
};

// A held-back survey line: its place in the file, or — for a line whose row follows from its stay's
// key, its date and its item values alone — those values, so that it need not be read again.
struct HeldLine {
    bool itemsOnly = false;
    std::uint64_t offset = 0;  // place in the file, unless itemsOnly
    std::uint32_t items = 0;   // bit i set: the (i + 1)-th item is "1", else "0" (itemsOnly)
    std::uint32_t date = 0;
};

class HeldBackDays {
public:
    using Stay = std::uint32_t;  // one stay of this file: a stay delivered again starts another
    static constexpr Stay kNone = UINT32_MAX;

    explicit HeldBackDays(std::size_t byteLimit);

    // The stay's key as one text: KIS_ID, DOB and ADM_DATE, the first two after their length in a byte
    // (the texts of a line field are never longer), so that any bytes in them keep keys apart.
    static std::string KeyOf(std::string_view kisId, std::string_view dob, std::string_view admDate);
    // The three key fields of a key made by KeyOf.
    using KeyFields = std::tuple<std::string_view, std::string_view, std::string_view>;
    static KeyFields FieldsOf(std::string_view key);
    // A survey date as a number: the eight digits of a valid date, or a number of its own for the
    // blanked date of an invalid one.
    static std::uint32_t DateOf(std::string_view recDate);

    // A record type 1 line starts the stay anew: the days held back for it so far no longer count.
    // kNone when nothing more is held back.
    Stay restart(std::string_view key);
    // The stay a survey line belongs to. A stay first seen here was stored before this file: it is
    // noted as one with stored days. kNone when nothing more is held back and the stay has no entry.
    Stay find(std::string_view key);
    // The stay's current entry without creating one.
    Stay current(std::string_view key) const;
    // Whether the stay has had an entry: a line of it was read while there was room.
    bool knows(std::string_view key) const { return index_[slotOf(key)] != kNone; }

    // The work file holds survey days of the stay (stored before this file, or stored while reading).
    bool hasStoredDays(Stay stay) const { return stays_[stay].storedDays; }
    void noteStoredDays(Stay stay) { stays_[stay].storedDays = true; }
    // The work file still holds the days the stay had before it was delivered again: they are removed
    // when the stay's days are stored, in key order, rather than at once.
    bool hasReplacedDays(Stay stay) const { return stays_[stay].replacedDays; }
    void noteReplacedDays(Stay stay, bool replaced) { stays_[stay].replacedDays = replaced; }

    // The stay's row is held back (set when its record type 1 line is read) and what is kept of it.
    void holdStay(Stay stay, const HeldStay& held);
    bool holdsStay(Stay stay) const { return stays_[stay].stayHeld; }
    HeldStay& heldStay(Stay stay) { return stays_[stay].held; }
    const HeldStay& heldStay(Stay stay) const { return stays_[stay].held; }
    std::string_view keyOf(Stay stay) const { return keyAt(stays_[stay]); }
    // The stays whose rows are held back, current entries only, in the order of their key fields (the
    // order of the work file's tables).
    std::vector<Stay> heldStaysInKeyOrder() const;
    // How many of them have no older row in the work file.
    std::size_t heldStaysWithoutOlderRow() const;

    bool holdsDate(Stay stay, std::uint32_t date) const;
    // Holds back the line at `offset` with its date; false when the limit is reached or the offset is
    // beyond what can be held (the line must be stored as it is read).
    bool holdBack(Stay stay, std::uint32_t date, std::uint64_t offset);
    // The largest place in the file a line can be held back by.
    static constexpr std::uint64_t kLargestHeldOffset = (std::uint64_t{1} << 36) - 1;
    // Holds back a line by its date and item values (HeldLine::items); false at the limit.
    bool holdBackItems(Stay stay, std::uint32_t date, std::uint32_t items);

    // The lines held back for the stay, most recent first, in place of `lines`.
    void linesOf(Stay stay, std::vector<HeldLine>& lines) const;

    std::size_t heldBackLines() const { return lineCount_; }
    std::size_t bytes() const;

private:
    // A held-back line: whether it is held by its items (1 bit), its place in the file or its items
    // (36 bits) and its date (27 bits) in one number, and the stay's line held back before it (kNoLine
    // at its first), in two arrays of each block.
    struct LineBlock {
        std::unique_ptr<std::uint64_t[]> placeAndDate{new std::uint64_t[kLinesPerBlock]};
        std::unique_ptr<std::uint32_t[]> previous{new std::uint32_t[kLinesPerBlock]};
    };
    static constexpr int kDateBits = 27;
    static constexpr int kPlaceBits = 36;
    static constexpr std::uint64_t kLargestOffset = kLargestHeldOffset;
    static_assert(kLargestOffset == (std::uint64_t{1} << kPlaceBits) - 1);
    static constexpr std::uint64_t kItemsOnly = std::uint64_t{1} << 63;
    static_assert(kPlaceBits + kDateBits + 1 == 64);
    bool hold(Stay stay, std::uint64_t placeAndDate);
    struct StayEntry {
        std::uint32_t keyAt;  // place of the key in keyBlocks_: block * kKeyBlockBytes + place in it
        std::uint32_t keyLength;
        std::uint32_t lastLine;
        bool storedDays = false;
        bool replacedDays = false;
        bool current = true;  // false once the stay was delivered again and nothing more is held back
        bool stayHeld = false;
        HeldStay held;
    };
    static constexpr std::uint32_t kNoLine = UINT32_MAX;
    static constexpr std::size_t kLinesPerBlock = 4096;

    std::string_view keyAt(const StayEntry& stay) const;
    std::size_t slotOf(std::string_view key) const;
    Stay add(std::string_view key, bool storedDays);
    void growIndex();
    std::uint64_t placeAndDate(std::uint32_t at) const {
        return blocks_[at / kLinesPerBlock].placeAndDate[at % kLinesPerBlock];
    }
    std::uint32_t previous(std::uint32_t at) const {
        return blocks_[at / kLinesPerBlock].previous[at % kLinesPerBlock];
    }

    std::size_t byteLimit_;
    bool full_ = false;
    // The keys, in blocks that are filled and never moved (a key never spans two blocks).
    static constexpr std::size_t kKeyBlockBytes = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> keyBlocks_;
    std::size_t keyBlockUsed_ = kKeyBlockBytes;
    std::vector<StayEntry> stays_;
    std::vector<Stay> index_;  // open addressing by key hash; kNone marks a free slot
    std::vector<LineBlock> blocks_;
    std::size_t lineCount_ = 0;
};

}  // namespace kalvora
