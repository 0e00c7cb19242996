#pragma once

#include <QByteArray>
#include <QImage>

namespace Player {

// Bitmaps of 16 (or 32) bits per pixel keep each channel in a bit field of
// its own width, often 5 or 6 bits. Qt's reader widens such a channel by a
// shift (5 bits: 31 gives 248); what the bitmap means is the full range (31
// gives 255, as other readers show it). Only the picture player uses this.
namespace BmpFields {

// The picture as Qt read it from the BMP file whose first bytes (at least
// 70: file header, bitmap header and bit masks) are given, with every
// channel of 1 to 7 bits widened to 0..255 by repeating its bits, as other
// readers do (5 bits: 31 gives 255, 16 gives 132; 6 bits: 63 gives 255).
// Within 1 of the exact scale v * 255 / 31. Other bitmaps come back as they
// are.
QImage WidenChannels(const QImage& picture, const QByteArray& head);

// Whether the BMP file (all of its bytes) is shorter than the pixels its
// header claims, uncompressed: Qt's reader would take the missing rows as
// black. Compressed bitmaps, and headers too short or too odd to tell, are
// not judged here.
bool ShorterThanPixels(const QByteArray& file);

}  // namespace BmpFields

}  // namespace Player
