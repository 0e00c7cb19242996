#pragma once

#include <QRect>

class QPainter;
class QWidget;

namespace Controls {

// Marks a control that has the keyboard focus with a one-pixel line in the
// palette's highlight colour round `rect` (the control's pixels), once the
// keyboard has moved the focus in its window, as Qt's styles show focus: each
// Tab press then shows where it went. Draws nothing otherwise.
void DrawFocusMark(QPainter& painter, const QWidget& control, QRect rect);

}  // namespace Controls
