#pragma once
// A bracket "[" that joins two rows of a grid: its vertical stroke runs from the middle of the first
// row to the middle of the second, with a short stroke towards the joined controls at both ends. The
// detail view draws one beside each pair of TISS-28 items that exclude each other.

#include <QWidget>

namespace kalvora::ui {

class PairBracket : public QWidget {
    Q_OBJECT
public:
    // `rowSpacing` is the vertical spacing of the grid between the two rows the bracket spans.
    explicit PairBracket(int rowSpacing, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // Heights of the ends of the bracket, in the widget's coordinates.
    int topEnd() const;
    int bottomEnd() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int rowSpacing_;
};

}  // namespace kalvora::ui
