#include "scroll_bar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionSlider>
#include <algorithm>

#include "focus_mark.h"

namespace Controls {

namespace {

// The thumb's length shows the page against the range, down to this many
// pixels, as the window toolkit's thumbs do; Qt's Fusion style keeps every
// thumb at least 26 pixels long, most of a short bar's track.
constexpr int kShortestThumb = 8;

class ThumbStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_ScrollBarSliderMin) return kShortestThumb;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
    auto* thumbs = new ThumbStyle(QStyleFactory::create(QApplication::style()->name()));
    thumbs->setParent(this);
    setStyle(thumbs);
    applyRange();
    setValue(0);
    // The window toolkit's defaults, not Qt's large change of 10.
    setSingleStep(1);
    setPageStep(1);
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

// Qt's scroll bars show no keyboard focus; this one marks its thumb, where
// the keys act.
void ScrollBar::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    QStyleOptionSlider slider;
    initStyleOption(&slider);
    QPainter painter(this);
    DrawFocusMark(
        painter, *this,
        style()->subControlRect(QStyle::CC_ScrollBar, &slider, QStyle::SC_ScrollBarSlider, this));
}

}  // namespace Controls
