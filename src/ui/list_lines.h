#pragma once
// The lines of a list widget as the core takes them, top to bottom.

#include <string>
#include <vector>

class QListWidget;

namespace kalvora::ui {

std::vector<std::string> ListLines(const QListWidget* list);
// Only the selected lines, in list order.
std::vector<std::string> SelectedListLines(const QListWidget* list);

}  // namespace kalvora::ui
