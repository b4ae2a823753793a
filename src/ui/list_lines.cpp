#include "ui/list_lines.h"

#include <QListWidget>

namespace kalvora::ui {

namespace {

std::vector<std::string> Lines(const QListWidget* list, bool selectedOnly) {
    std::vector<std::string> lines;
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem* item = list->item(row);
        if (!selectedOnly || item->isSelected()) lines.push_back(item->text().toStdString());
    }
    return lines;
}

}  // namespace

std::vector<std::string> ListLines(const QListWidget* list) { return Lines(list, false); }

std::vector<std::string> SelectedListLines(const QListWidget* list) { return Lines(list, true); }

}  // namespace kalvora::ui
