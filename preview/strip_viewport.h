#pragma once

namespace Controls {
class PictureBox;
}
namespace Controls {
class ScrollBar;
}

namespace Preview {

// Fits both strip scroll bars to the viewport and the strip inside it: each
// bar's range lets the strip be scrolled 12 pixels past its end (one scroll
// unit is one pixel), a click on the track moves a tenth of the viewport, the
// horizontal bar sits one pixel above the viewport and the vertical one one
// pixel left of it, and a bar is enabled only when the strip is at least as
// long as the viewport. Sizes are the boxes' outer sizes in pixels. Neither
// shows, hides nor moves the bars' values; ranges beyond 16 bits are kept.
void LayoutStripViewport(Controls::PictureBox& viewport, Controls::PictureBox& strip,
                         Controls::ScrollBar& horizontal, Controls::ScrollBar& vertical);

}  // namespace Preview
