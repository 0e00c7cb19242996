#include "readout_label.h"

#include <algorithm>

namespace Controls {

namespace {
// Below this the digits are no longer readable; a text that needs a smaller
// font does not occur (the longest readouts fit at this size).
constexpr int kSmallestPixels = 7;
}  // namespace

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
    for (int pixels = designFont_.pixelSize() - 1; !textFits() && pixels >= kSmallestPixels;
         --pixels) {
        QFont smaller = designFont_;
        smaller.setPixelSize(pixels);
        setFont(smaller);
    }
}

}  // namespace Controls
