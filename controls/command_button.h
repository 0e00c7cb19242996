#pragma once

#include <QPushButton>

namespace Controls {

// A push button whose caption wraps onto several lines when it is wider
// than the button, as the window toolkit's buttons do.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    CommandButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace Controls
