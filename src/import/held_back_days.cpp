#include "import/held_back_days.h"

#include <algorithm>
#include <functional>

namespace kalvora {

namespace {

constexpr std::size_t kLineBytes = sizeof(std::uint64_t) + sizeof(std::uint32_t);

constexpr std::uint32_t kBlankedDate = 1'0000'0000;  // above every eight-digit date, below 2^27

std::size_t grownCapacity(std::size_t size, std::size_t capacity, std::size_t adding) {
    if (size + adding <= capacity) return capacity;
    std::size_t grown = capacity == 0 ? 1 : capacity;
    while (grown < size + adding) grown *= 2;
    return grown;
}

}  // namespace

HeldBackDays::HeldBackDays(std::size_t byteLimit) : byteLimit_(byteLimit) { index_.assign(1024, kNone); }

std::string HeldBackDays::KeyOf(std::string_view kisId, std::string_view dob, std::string_view admDate) {
    // Line fields are at most 12 characters, 36 bytes in UTF-8: their lengths fit in a byte.
    std::string key;
    key.reserve(kisId.size() + dob.size() + admDate.size() + 2);
    key.push_back(static_cast<char>(std::min<std::size_t>(kisId.size(), 255)));
    key.append(kisId.substr(0, 255));
    key.push_back(static_cast<char>(std::min<std::size_t>(dob.size(), 255)));
    key.append(dob.substr(0, 255));
    key.append(admDate);
    return key;
}

HeldBackDays::KeyFields HeldBackDays::FieldsOf(std::string_view key) {
    auto take = [&key]() {
        const std::size_t length = key.empty() ? 0 : static_cast<unsigned char>(key[0]);
        const std::string_view field = key.substr(std::min<std::size_t>(1, key.size())).substr(0, length);
        key.remove_prefix(std::min(key.size(), 1 + field.size()));
        return field;
    };
    const std::string_view kisId = take();
    const std::string_view dob = take();
    return {kisId, dob, key};
}

std::uint32_t HeldBackDays::DateOf(std::string_view recDate) {
    if (recDate.size() != 8) return kBlankedDate;
    std::uint32_t value = 0;
    for (char c : recDate) {
        if (c < '0' || c > '9') return kBlankedDate;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return value;
}

std::string_view HeldBackDays::keyAt(const StayEntry& stay) const {
    return std::string_view(keyBlocks_[stay.keyAt / kKeyBlockBytes].get() + stay.keyAt % kKeyBlockBytes,
                            stay.keyLength);
}

std::size_t HeldBackDays::slotOf(std::string_view key) const {
    const std::size_t mask = index_.size() - 1;
    for (std::size_t slot = std::hash<std::string_view>{}(key)&mask;; slot = (slot + 1) & mask) {
        const Stay at = index_[slot];
        if (at == kNone || keyAt(stays_[at]) == key) return slot;
    }
}

std::size_t HeldBackDays::bytes() const {
    return keyBlocks_.size() * kKeyBlockBytes + stays_.capacity() * sizeof(StayEntry) +
           index_.size() * sizeof(Stay) + blocks_.size() * kLinesPerBlock * kLineBytes;
}

HeldBackDays::Stay HeldBackDays::add(std::string_view key, bool storedDays) {
    // What the new entry costs once every container has grown for it.
    const bool newKeyBlock = keyBlockUsed_ + key.size() > kKeyBlockBytes;
    const std::size_t staysCapacity = grownCapacity(stays_.size(), stays_.capacity(), 1);
    const std::size_t indexSize = (stays_.size() + 1) * 2 > index_.size() ? index_.size() * 2 : index_.size();
    const std::size_t projected = (keyBlocks_.size() + (newKeyBlock ? 1 : 0)) * kKeyBlockBytes +
                                  staysCapacity * sizeof(StayEntry) + indexSize * sizeof(Stay) +
                                  blocks_.size() * kLinesPerBlock * kLineBytes;
    if (projected > byteLimit_ || key.size() > kKeyBlockBytes || stays_.size() >= kNone - 1 ||
        (keyBlocks_.size() + 1) * kKeyBlockBytes >= UINT32_MAX) {
        full_ = true;
        return kNone;
    }
    if (newKeyBlock) {
        keyBlocks_.push_back(std::make_unique<char[]>(kKeyBlockBytes));
        keyBlockUsed_ = 0;
    }
    if ((stays_.size() + 1) * 2 > index_.size()) growIndex();
    const Stay stay = static_cast<Stay>(stays_.size());
    StayEntry& entry = stays_.emplace_back();
    entry.keyAt = static_cast<std::uint32_t>((keyBlocks_.size() - 1) * kKeyBlockBytes + keyBlockUsed_);
    entry.keyLength = static_cast<std::uint32_t>(key.size());
    entry.lastLine = kNoLine;
    entry.storedDays = storedDays;
    std::copy(key.begin(), key.end(), keyBlocks_.back().get() + keyBlockUsed_);
    keyBlockUsed_ += key.size();
    index_[slotOf(key)] = stay;
    return stay;
}

void HeldBackDays::growIndex() {
    std::vector<Stay> old(index_.size() * 2, kNone);
    old.swap(index_);
    // Only the latest entry of a key is in the index; entries left behind by a stay delivered again
    // are reached no more.
    for (Stay at : old)
        if (at != kNone) index_[slotOf(keyAt(stays_[at]))] = at;
}

HeldBackDays::Stay HeldBackDays::restart(std::string_view key) {
    const std::size_t slot = slotOf(key);
    if (index_[slot] != kNone) stays_[index_[slot]].current = false;
    if (full_) return kNone;
    return add(key, false);
}

HeldBackDays::Stay HeldBackDays::find(std::string_view key) {
    const Stay found = current(key);
    if (found != kNone || full_) return found;
    const Stay at = index_[slotOf(key)];
    if (at != kNone) return kNone;  // delivered again after the limit was reached
    return add(key, true);
}

HeldBackDays::Stay HeldBackDays::current(std::string_view key) const {
    const Stay at = index_[slotOf(key)];
    return at != kNone && stays_[at].current ? at : kNone;
}

void HeldBackDays::holdStay(Stay stay, const HeldStay& held) {
    stays_[stay].stayHeld = true;
    stays_[stay].held = held;
}

std::vector<HeldBackDays::Stay> HeldBackDays::heldStaysInKeyOrder() const {
    std::vector<Stay> held;
    for (Stay at = 0; at < stays_.size(); ++at)
        if (stays_[at].current && stays_[at].stayHeld) held.push_back(at);
    std::sort(held.begin(), held.end(),
              [this](Stay left, Stay right) { return FieldsOf(keyOf(left)) < FieldsOf(keyOf(right)); });
    return held;
}

std::size_t HeldBackDays::heldStaysWithoutOlderRow() const {
    std::size_t count = 0;
    for (const StayEntry& entry : stays_)
        if (entry.current && entry.stayHeld && !entry.held.olderRow) ++count;
    return count;
}

bool HeldBackDays::holdsDate(Stay stay, std::uint32_t date) const {
    const std::uint64_t mask = (std::uint64_t{1} << kDateBits) - 1;
    for (std::uint32_t at = stays_[stay].lastLine; at != kNoLine; at = previous(at))
        if ((placeAndDate(at) & mask) == date) return true;
    return false;
}

bool HeldBackDays::holdBack(Stay stay, std::uint32_t date, std::uint64_t offset) {
    if (offset > kLargestOffset) return false;
    return hold(stay, offset << kDateBits | date);
}

bool HeldBackDays::holdBackItems(Stay stay, std::uint32_t date, std::uint32_t items) {
    return hold(stay, kItemsOnly | std::uint64_t{items} << kDateBits | date);
}

bool HeldBackDays::hold(Stay stay, std::uint64_t placeAndDate) {
    if (full_) return false;
    if (lineCount_ % kLinesPerBlock == 0) {
        if (bytes() + kLinesPerBlock * kLineBytes > byteLimit_ || lineCount_ >= kNoLine - kLinesPerBlock) {
            full_ = true;
            return false;
        }
        blocks_.emplace_back();
    }
    const auto at = static_cast<std::uint32_t>(lineCount_++);
    LineBlock& block = blocks_[at / kLinesPerBlock];
    block.placeAndDate[at % kLinesPerBlock] = placeAndDate;
    block.previous[at % kLinesPerBlock] = stays_[stay].lastLine;
    stays_[stay].lastLine = at;
    return true;
}

void HeldBackDays::linesOf(Stay stay, std::vector<HeldLine>& lines) const {
    lines.clear();
    const std::uint64_t dateMask = (std::uint64_t{1} << kDateBits) - 1;
    for (std::uint32_t at = stays_[stay].lastLine; at != kNoLine; at = previous(at)) {
        const std::uint64_t value = placeAndDate(at);
        HeldLine& line = lines.emplace_back();
        line.itemsOnly = (value & kItemsOnly) != 0;
        line.date = static_cast<std::uint32_t>(value & dateMask);
        const std::uint64_t place = (value & ~kItemsOnly) >> kDateBits;
        if (line.itemsOnly)
            line.items = static_cast<std::uint32_t>(place);
        else
            line.offset = place;
    }
}

}  // namespace kalvora
