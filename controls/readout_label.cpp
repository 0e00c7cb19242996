#include "readout_label.h"

#include <algorithm>

#include "font_fit.h"

namespace Controls {

ReadoutLabel::ReadoutLabel(const QString& text, QWidget* parent, QRect place, int freeUpTo)
    : QLabel(text, parent), place_(place), freeUpTo_(freeUpTo), designFont_(font()) {
    setGeometry(place_);
}

void ReadoutLabel::setText(const QString& text) {
    QLabel::setText(text);
    fit();
}

void ReadoutLabel::setDesignFont(const QFont& font) {
    designFont_ = font.resolve(QLabel::font());
    fit();
}

void ReadoutLabel::fit() {
    setFont(designFont_);
    setGeometry(place_);
    if (textFits()) return;
    const int widest = std::max(freeUpTo_ - place_.left(), place_.width());
    resize(std::min(sizeHint().width(), widest), place_.height());
    // The longest readouts fit at the smallest size.
    ShrinkFontToFit(*this, designFont_, [this] { return textFits(); });
}

}  // namespace Controls
