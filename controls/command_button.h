#pragma once

#include <QPushButton>

namespace Controls {

// A push button whose caption wraps onto several lines when it is wider
// than the button, and that Enter clicks when it has the focus (as Space
// does), as the window toolkit's buttons do. A held Enter clicks once.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    CommandButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace Controls
