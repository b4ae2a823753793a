#pragma once
// How long work talks back to the window: the four panels of the main window's status bar, and a
// chance to let pending window events run (the window throttles its repaints itself).

#include <cstdint>
#include <string>
#include <string_view>

namespace kalvora {

struct Progress {
    long long line = 0;            // line number in the current file
    std::uint64_t bytesDone = 0;   // of the current file
    std::uint64_t bytesTotal = 0;  // of the current file
    int fileIndex = 0;             // 1-based position of the file in the batch
    int fileCount = 0;
};

// " Überprüfe Datensatz 17 ... (2/5)"
std::string CheckingLineStatus(long long line, int position, int count);

class StatusSink {
public:
    virtual ~StatusSink() = default;
    // panel 1 to 4
    virtual void setPanel(int panel, std::string_view text) = 0;
    // Called once per data line of an import: shows the checking status in panel 1 and lets pending
    // events run. A window overrides it to repaint only every few milliseconds.
    virtual void lineChecked(const Progress& progress);
    // Lets pending window events run.
    virtual void yield(const Progress&) {}
};

class NullStatusSink : public StatusSink {
public:
    void setPanel(int, std::string_view) override {}
    void lineChecked(const Progress&) override {}
};

}  // namespace kalvora
