#include "focus_mark.h"

#include <QPainter>
#include <QWidget>

namespace Controls {

void DrawFocusMark(QPainter& painter, const QWidget& control, QRect rect) {
    if (!control.hasFocus() || !control.window()->testAttribute(Qt::WA_KeyboardFocusChange)) return;
    painter.save();
    painter.setPen(control.palette().color(QPalette::Highlight));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

}  // namespace Controls
