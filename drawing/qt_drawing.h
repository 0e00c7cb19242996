#pragma once

#include <QColor>
#include <QImage>

#include "dib_blit.h"
#include "pixel_grid.h"

namespace Drawing {

// The drawing layer between the picture core and Qt. A picture box's
// persistent image is a QImage in Format_RGB32, whose bytes are those of a
// 32-bit top-down bitmap (blue, green, red, 255), so grids go in and out of it
// without any conversion per pixel.

// A view of the image's pixels for the core to draw into. The image is
// converted to Format_RGB32 first when it is in another format, and detached,
// so the view stays valid until the image is changed or resized.
Engine::ImageView ViewOf(QImage& image);

// A persistent drawing surface: keeps what is drawn into it, can be read back,
// and reset to an empty picture of its background colour.
class DrawingSurface {
public:
    explicit DrawingSurface(QColor background);

    const QImage& image() const { return image_; }
    QImage& image() { return image_; }
    QColor background() const { return background_; }

    // Resizes the surface; what was drawn stays where it fits, the rest is
    // background. A surface over the largest strip's size is not made: the
    // image is then null.
    void resize(int width, int height);
    // Forgets every drawing: the surface shows only its background.
    void clear();

    // StretchDIBits onto this surface; see the core's StretchDIBits. Each
    // source pixel becomes a block of equal pixels, so there is no stretching
    // mode to choose.
    int StretchDIBits(int32_t xDest, int32_t yDest, int32_t wDest, int32_t hDest, int32_t xSrc,
                      int32_t ySrc, int32_t wSrc, int32_t hSrc, const uint8_t* bits,
                      const Engine::BitmapInfoHeader& info);

private:
    QImage image_;
    QColor background_;
};

namespace APIMod {

enum class GrabResult { Done, CannotCapture };

// Copies the picture's pixels into the grid as W x H 32-bit pixels, top row
// first, whatever the picture's own format; W and H are the header's. The
// picture's pixels beyond the grid are left out; grid pixels beyond the
// picture keep their bytes (after a fresh allocation: black). An empty
// picture delivers nothing. CannotCapture only when the grid is not allocated
// as the header describes it: the capture cannot be carried out at all.
GrabResult GrabPictureBits(const QImage& picture, Engine::PixelGrid& grid,
                           const Engine::BitmapInfoHeader& header);

// Allocates the grid at width x height, describes it in the header and
// captures the picture into it: the three steps every capture takes.
GrabResult CapturePicture(const QImage& picture, int32_t width, int32_t height,
                          Engine::PixelGrid& grid, Engine::BitmapInfoHeader& header);

}  // namespace APIMod

inline constexpr const char* kGrabErrorText = "DIB Error in GETDIBS";

}  // namespace Drawing
