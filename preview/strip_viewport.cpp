#include "strip_viewport.h"

#include "picture_box.h"
#include "rounding.h"
#include "scroll_bar.h"

using namespace Controls;
using namespace Drawing;
using namespace Engine;

namespace Preview {

void LayoutStripViewport(PictureBox& viewport, PictureBox& strip, ScrollBar& horizontal,
                         ScrollBar& vertical) {
    const auto range = [](double stripExtent, double viewExtent) {
        return RoundHalfEvenClamped(stripExtent - viewExtent + 12.0);
    };
    horizontal.setMax(range(strip.Width(), viewport.Width()));
    horizontal.setLargeChange(RoundHalfEvenClamped(viewport.Width()) / 10);
    horizontal.setSmallChange(1);
    horizontal.move(viewport.Left(), viewport.Top() - horizontal.height() - 1);
    horizontal.resize(viewport.Width(), horizontal.height());
    horizontal.setEnabled(strip.Width() >= viewport.Width());

    vertical.setMax(range(strip.Height(), viewport.Height()));
    vertical.setLargeChange(RoundHalfEvenClamped(viewport.Height()) / 10);
    vertical.setSmallChange(1);
    vertical.move(viewport.Left() - vertical.width() - 1, viewport.Top());
    vertical.resize(vertical.width(), viewport.Height());
    vertical.setEnabled(strip.Height() >= viewport.Height());
}

}  // namespace Preview
