#include "cli/terminal_progress.h"

#include <unistd.h>

#include <iostream>

namespace kalvora::cli {

TerminalProgress::TerminalProgress(std::ostream& err)
    : err_(err), enabled_(&err == &std::cerr && ::isatty(STDERR_FILENO) != 0) {}

TerminalProgress::~TerminalProgress() {
    if (drawn_) err_ << "\r\033[K" << std::flush;
}

void TerminalProgress::setPanel(int panel, std::string_view text) {
    if (!enabled_ || panel != 1) return;
    err_ << "\r\033[K" << text << std::flush;
    drawn_ = true;
}

void TerminalProgress::lineChecked(const Progress& progress) {
    if (!enabled_) return;
    auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(200)) return;
    last_ = now;
    int percent = progress.bytesTotal ? static_cast<int>(100 * progress.bytesDone / progress.bytesTotal) : 0;
    err_ << "\r\033[K" << CheckingLineStatus(progress.line, progress.fileIndex, progress.fileCount) << "  "
         << percent << " %" << std::flush;
    drawn_ = true;
}

}  // namespace kalvora::cli
