#include "command_button.h"

#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace Controls {

void CommandButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(area.adjusted(2, 0, -2, 0), Qt::AlignCenter | Qt::TextWordWrap, caption);
}

// Qt's buttons take Enter only as a dialog's default button; outside a
// dialog the key would go to the window and do nothing.
void CommandButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return QPushButton::keyPressEvent(event);
    if (!event->isAutoRepeat()) click();
}

}  // namespace Controls
