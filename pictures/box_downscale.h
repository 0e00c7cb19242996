#pragma once

#include <QImage>
#include <QSize>

namespace Pictures {

// The picture drawn smaller by area averaging: every pixel of the result is
// the mean of the part of the picture it covers, each source pixel weighted
// by how much of it lies inside, in premultiplied colour (so that the colour
// of a clear pixel counts for nothing), rounded half to even. `size` must be
// at most the picture's size in both directions and at least 1 x 1.
// Format_ARGB32 (straight alpha) when some pixel of the result is not wholly
// opaque, else Format_RGB32; a null image when memory lacks.
QImage BoxDownscale(const QImage& picture, QSize size);

}  // namespace Pictures
