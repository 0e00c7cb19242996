#pragma once

#include <QFont>
#include <QWidget>

namespace Controls {

// Below this the characters are no longer readable.
inline constexpr int kSmallestFontPixels = 7;

// Gives the widget its design font made a pixel smaller at a time, down to
// kSmallestFontPixels, until fits() says its text fits; the widget keeps the
// font it has while it fits.
template <typename Fits>
void ShrinkFontToFit(QWidget& widget, const QFont& design, Fits fits) {
    for (int pixels = design.pixelSize() - 1; !fits() && pixels >= kSmallestFontPixels; --pixels) {
        QFont smaller = design;
        smaller.setPixelSize(pixels);
        widget.setFont(smaller);
    }
}

}  // namespace Controls
