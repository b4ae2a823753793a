#include "base/status_sink.h"

namespace kalvora {

std::string CheckingLineStatus(long long line, int position, int count) {
    return " Überprüfe Datensatz " + std::to_string(line) + " ... (" + std::to_string(position) + "/" +
           std::to_string(count) + ")";
}

void StatusSink::lineChecked(const Progress& progress) {
    setPanel(1, CheckingLineStatus(progress.line, progress.fileIndex, progress.fileCount));
    yield(progress);
}

}  // namespace kalvora
