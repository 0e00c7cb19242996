#pragma once

#include <QFont>
#include <QLabel>
#include <QRect>

namespace Controls {

// A label that shows a number and must never show it cut. While its text fits
// the designed place, the label keeps that place and its font; a wider text
// lets it grow to the right, up to the first pixel column it must leave free,
// and where that is still too narrow its font gets smaller. The top-left
// corner never moves.
class ReadoutLabel : public QLabel {
    Q_OBJECT
public:
    // `place` in the parent's pixels; `freeUpTo` is the first column to the
    // right of the label that belongs to a neighbour.
    ReadoutLabel(const QString& text, QWidget* parent, QRect place, int freeUpTo);

    // Hides QLabel::setText, so that every text the label is given is fitted.
    void setText(const QString& text);

    // The font the label is designed with (setFont changes it; the label may
    // show a smaller one for a long text).
    void setDesignFont(const QFont& font);

private:
    void fit();
    bool textFits() const { return sizeHint().width() <= width(); }

    QRect place_;
    int freeUpTo_;
    QFont designFont_;
};

}  // namespace Controls
