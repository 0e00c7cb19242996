#include "scroll_bar.h"

#include <algorithm>

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
    applyRange();
    QScrollBar::setValue(0);
}

void ScrollBar::setMin(int min) {
    min_ = min;
    applyRange();
}

void ScrollBar::setMax(int max) {
    max_ = max;
    applyRange();
}

void ScrollBar::applyRange() {
    setRange(min_, std::max(min_, max_));
}
