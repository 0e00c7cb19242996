#pragma once

#include <QScrollBar>

namespace Controls {

// A scroll bar with the settings the window works with: Min, Max, Value,
// SmallChange, LargeChange. Max may lie below Min (a bar whose strip is
// shorter than its viewport); the bar then offers only Min. Writing a value
// (QAbstractSlider::setValue) that changes it runs the Change handler at once
// (valueChanged); dragging the thumb runs it for every position, so the view
// follows the thumb. Right and Down raise the value by SmallChange, Left and
// Up lower it, whatever the bar's orientation. SmallChange and LargeChange
// start at 1, as the window toolkit's do; the thumb's length shows
// LargeChange against the range. With the keyboard focus the thumb is marked.
class ScrollBar : public QScrollBar {
    Q_OBJECT
public:
    ScrollBar(Qt::Orientation orientation, QWidget* parent);

    // Min, SmallChange and LargeChange are read only by the window's tests;
    // they are the settings the design names.
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Value() const { return value(); }
    int SmallChange() const { return singleStep(); }
    int LargeChange() const { return pageStep(); }
    void setMin(int min);
    void setMax(int max);
    void setSmallChange(int step) { setSingleStep(step); }
    void setLargeChange(int step) { setPageStep(step); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void applyRange();
    int min_ = 0;
    int max_ = 32767;
};

}  // namespace Controls
