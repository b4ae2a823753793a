#include "import/protocol_file.h"

#include <cerrno>
#include <cstring>

#include "shell/encoding.h"

namespace kalvora {

std::string_view LinePart(std::string_view line, int start, int length) {
    size_t from = static_cast<size_t>(start - 1);
    if (from >= line.size()) return {};
    return line.substr(from, static_cast<size_t>(length));
}

ProtocolFile::~ProtocolFile() { close(); }

bool ProtocolFile::create(const std::string& path, std::string& error) {
    close();
    failed_ = false;
    rows_ = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        error = "Die Protokolldatei " + path + " kann nicht angelegt werden: " + std::strerror(errno);
        return false;
    }
    path_ = path;
    return true;
}

bool ProtocolFile::close() {
    if (file_ == nullptr) return !failed_;
    if (!buffer_.empty()) {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
        buffer_.clear();
    }
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

void ProtocolFile::setDataFileName(std::string_view name) { dataFileName_ = Utf8ToWindows1252(name); }

void ProtocolFile::put(std::string_view bytes) { buffer_.append(bytes); }

void ProtocolFile::WriteProtocolRow(std::string_view level, std::string_view parameter, std::string_view line,
                                    std::string_view comment) {
    if (file_ == nullptr) return;
    if (parameter == kProtocolHeaderParameter) {
        put(kProtocolHeader);
    } else {
        put(dataFileName_);
        static constexpr int cuts[][2] = {{2, 4}, {6, 8}, {1, 1}, {14, 10}, {24, 8}, {32, 12}};
        for (const auto& cut : cuts) {
            put(";");
            put(LinePart(line, cut[0], cut[1]));
        }
        put(";");
        put(level);
        put(";");
        put(IsAscii(parameter) ? std::string(parameter) : Utf8ToWindows1252(parameter));
        put(";");
        put(IsAscii(comment) ? std::string(comment) : Utf8ToWindows1252(comment));
    }
    put("\r\n");
    ++rows_;
    // Rows go to the disk in blocks; a batch may write hundreds of thousands of findings.
    if (buffer_.size() >= 64 * 1024) {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
        buffer_.clear();
    }
}

}  // namespace kalvora
