#include "base/encoding.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace kalvora {

namespace {

// Code points of the bytes 0x80 to 0x9F. The five bytes that Windows-1252 leaves undefined keep
// the C1 control of the same number, so every byte survives a round trip through UTF-8.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct Utf8Form {
    unsigned char length = 0;
    std::array<char, 3> bytes{};
};

// UTF-8 of the bytes 0x80 to 0xFF, looked up per byte.
constexpr std::array<Utf8Form, 128> MakeHighTable() {
    std::array<Utf8Form, 128> table{};
    for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
        const char32_t cp = byte < 0xA0 ? kHighControls[byte - 0x80] : char32_t{byte};
        Utf8Form& form = table[byte - 0x80];
        if (cp < 0x800) {
            form.length = 2;
            form.bytes = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F)), 0};
        } else {
            form.length = 3;
            form.bytes = {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                          static_cast<char>(0x80 | (cp & 0x3F))};
        }
    }
    return table;
}

constexpr std::array<Utf8Form, 128> kHighTable = MakeHighTable();

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Length of the leading run of bytes below 0x80, eight bytes at a time.
std::size_t AsciiPrefixLength(std::string_view bytes) {
    const char* data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, sizeof word);
        if (word & kHighBits) break;
    }
    while (i < size && static_cast<unsigned char>(data[i]) < 0x80) ++i;
    return i;
}

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes one character at `pos` and advances past it. An ill-formed sequence yields kInvalid and
// advances past its maximal well-formed prefix (at least one byte), as Unicode recommends.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos) {
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byteAt(pos++);
    if (lead < 0x80) return lead;

    int length = 0;
    char32_t cp = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
        if (lead == 0xF0) low = 0x90;   // no overlong forms
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return kInvalid;
    }
    for (int k = 1; k < length; ++k) {
        if (pos >= text.size()) return kInvalid;
        const unsigned char next = byteAt(pos);
        if (next < low || next > high) return kInvalid;
        low = 0x80;
        high = 0xBF;
        cp = (cp << 6) | (next & 0x3F);
        ++pos;
    }
    return cp;
}

// Windows-1252 byte of a code point, or '?' when it has none.
char ByteOfCodePoint(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == cp) return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::size_t ascii = AsciiPrefixLength(bytes);
    if (ascii == bytes.size()) return std::string(bytes);

    std::string result;
    result.reserve(bytes.size() + (bytes.size() - ascii) * 2);
    result.append(bytes.data(), ascii);
    for (std::size_t i = ascii; i < bytes.size();) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            const std::size_t run = AsciiPrefixLength(bytes.substr(i));
            result.append(bytes.data() + i, run);
            i += run;
            continue;
        }
        const Utf8Form& form = kHighTable[byte - 0x80];
        result.append(form.bytes.data(), form.length);
        ++i;
    }
    return result;
}

std::string Utf8ToWindows1252(std::string_view utf8) {
    std::size_t ascii = AsciiPrefixLength(utf8);
    if (ascii == utf8.size()) return std::string(utf8);

    std::string result;
    result.reserve(utf8.size());
    result.append(utf8.data(), ascii);
    for (std::size_t pos = ascii; pos < utf8.size();) {
        const char32_t cp = DecodeUtf8(utf8, pos);
        result.push_back(cp == kInvalid ? '?' : ByteOfCodePoint(cp));
    }
    return result;
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t pos = AsciiPrefixLength(bytes);
    while (pos < bytes.size()) {
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            pos += AsciiPrefixLength(bytes.substr(pos));
            continue;
        }
        if (DecodeUtf8(bytes, pos) == kInvalid) return false;
    }
    return true;
}

bool IsAscii(std::string_view bytes) { return AsciiPrefixLength(bytes) == bytes.size(); }

}  // namespace kalvora
