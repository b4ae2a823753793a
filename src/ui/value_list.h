#pragma once
// ValueList: a list widget that shows values, one line each. The window keeps the values; the
// widget shows the line each renders, in the same order, so that row N of the widget is value N.
// Change the list only through this class.

#include <QListWidget>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kalvora::ui {

template <typename T>
class ValueList {
public:
    using Render = std::function<std::string(const T&)>;

    ValueList(QListWidget* widget, Render render) : widget_(widget), render_(std::move(render)) {}

    QListWidget* widget() const { return widget_; }
    int count() const { return static_cast<int>(values_.size()); }
    bool empty() const { return values_.empty(); }

    // Shows the values, top to bottom, in place of the list's lines.
    void assign(std::vector<T> values) {
        widget_->clear();
        values_ = std::move(values);
        for (const T& value : values_) widget_->addItem(QString::fromStdString(render_(value)));
    }

    const std::vector<T>& values() const { return values_; }
    const T& at(int row) const { return values_.at(static_cast<std::size_t>(row)); }

    // Rows of the selected lines, top to bottom.
    std::vector<int> selectedRows() const {
        std::vector<int> rows;
        for (int row = 0; row < widget_->count(); ++row) {
            if (widget_->item(row)->isSelected()) rows.push_back(row);
        }
        return rows;
    }
    // The selected values, in list order.
    std::vector<T> selectedValues() const {
        std::vector<T> selected;
        for (int row : selectedRows()) selected.push_back(at(row));
        return selected;
    }
    // The row holding the focus; none when no line has it.
    std::optional<int> currentRow() const {
        const int row = widget_->currentRow();
        if (row < 0 || row >= count()) return std::nullopt;
        return row;
    }

    // Shows another value in the row.
    void replace(int row, T value) {
        values_.at(static_cast<std::size_t>(row)) = std::move(value);
        widget_->item(row)->setText(QString::fromStdString(render_(at(row))));
    }
    void remove(int row) {
        delete widget_->takeItem(row);
        values_.erase(values_.begin() + row);
    }

private:
    QListWidget* widget_;
    Render render_;
    std::vector<T> values_;
};

}  // namespace kalvora::ui
