#include "reports/line_columns.h"

#include <cstddef>

namespace kalvora {

namespace {

bool startsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0U) != 0x80U; }

// Byte offset at which character `column` (from 1) begins; the text size when the text is shorter.
std::size_t offsetOfColumn(std::string_view line, int column) {
    int characters = 0;
    for (std::size_t position = 0; position < line.size(); ++position) {
        if (startsCharacter(line[position]) && ++characters == column) return position;
    }
    return line.size();
}

}  // namespace

std::string LineColumns(std::string_view line, int first, int last) {
    if (first < 1) first = 1;
    if (last < first) return {};
    std::size_t begin = offsetOfColumn(line, first);
    std::size_t end = offsetOfColumn(line, last + 1);
    return std::string(line.substr(begin, end - begin));
}

std::string LineColumnsFrom(std::string_view line, int first) {
    if (first < 1) first = 1;
    return std::string(line.substr(offsetOfColumn(line, first)));
}

}  // namespace kalvora
