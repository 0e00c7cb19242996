#pragma once

#include <QFont>
#include <QLineEdit>

namespace Controls {

// A one-line text box whose text is never cut: while the whole text does not
// fit between the box's edges, it is shown in a smaller font, so that a box
// of a few characters shows all of them (a box scrolls a text that is too
// wide and hides its start). Place and size never change.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    TextBox(const QString& text, QWidget* parent);

    // The font the box is designed with (setFont changes it; the box may show
    // a smaller one for a wide text).
    void setDesignFont(const QFont& font);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fit();
    bool textFits();

    QFont designFont_;
};

}  // namespace Controls
