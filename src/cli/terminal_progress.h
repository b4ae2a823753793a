#pragma once
// Progress of long work on stderr, shown only when stderr is a terminal and redrawn a few times a
// second at most.

#include <chrono>
#include <ostream>

#include "base/status_sink.h"

namespace kalvora::cli {

class TerminalProgress : public StatusSink {
public:
    explicit TerminalProgress(std::ostream& err);
    ~TerminalProgress() override;
    void setPanel(int panel, std::string_view text) override;
    void lineChecked(const Progress& progress) override;

private:
    std::ostream& err_;
    bool enabled_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace kalvora::cli
