#include "scroll_bar.h"

#include <QKeyEvent>
#include <algorithm>

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
    applyRange();
    setValue(0);
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

// QScrollBar inverts its controls so that the wheel scrolls a horizontal bar
// the natural way; its arrow keys then run backwards. The arrows are mapped
// here directly; every other key and the wheel keep Qt's handling.
void ScrollBar::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Right:
        case Qt::Key_Down:
            triggerAction(SliderSingleStepAdd);
            break;
        case Qt::Key_Left:
        case Qt::Key_Up:
            triggerAction(SliderSingleStepSub);
            break;
        default:
            QScrollBar::keyPressEvent(event);
    }
}
