#include "base/text.h"

namespace kalvora {

namespace {

// A new character starts at every byte that is not a UTF-8 continuation byte.
bool StartsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0U) != 0x80U; }

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string_view TrimBlanksAndTabs(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string WithoutBlanks(std::string_view text) {
    std::string result;
    for (const char c : text) {
        if (c != ' ') result.push_back(c);
    }
    return result;
}

bool IsBlankText(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

std::string FixedWidth(std::string_view text, int width) {
    if (width <= 0) return {};
    std::size_t position = 0;
    int characters = 0;
    while (position < text.size()) {
        if (StartsCharacter(text[position])) {
            if (characters == width) break;
            ++characters;
        }
        ++position;
    }
    std::string result(text.substr(0, position));
    result.append(static_cast<std::size_t>(width - characters), ' ');
    return result;
}

std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char byte : text) count += StartsCharacter(byte) ? 1 : 0;
    return count;
}

std::size_t ByteOffsetOfCharacter(std::string_view text, std::size_t index) {
    std::size_t characters = 0;
    for (std::size_t position = 0; position < text.size(); ++position) {
        if (StartsCharacter(text[position])) {
            if (characters == index) return position;
            ++characters;
        }
    }
    return text.size();
}

std::string LineColumns(std::string_view line, int first, int last) {
    if (first < 1) first = 1;
    if (last < first) return {};
    const std::size_t begin = ByteOffsetOfCharacter(line, static_cast<std::size_t>(first - 1));
    const std::size_t end = ByteOffsetOfCharacter(line, static_cast<std::size_t>(last));
    return std::string(line.substr(begin, end - begin));
}

std::string LineColumnsFrom(std::string_view line, int first) {
    if (first < 1) first = 1;
    return std::string(line.substr(ByteOffsetOfCharacter(line, static_cast<std::size_t>(first - 1))));
}

}  // namespace kalvora
