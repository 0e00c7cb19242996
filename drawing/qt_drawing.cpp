#include "qt_drawing.h"

#include "build_rules.h"

#include <algorithm>
#include <cstring>

using namespace Engine;

namespace Drawing {

ImageView ViewOf(QImage& image) {
    if (image.isNull()) return {};
    if (image.format() != QImage::Format_RGB32) image.convertTo(QImage::Format_RGB32);
    return {image.bits(), image.width(), image.height(), image.bytesPerLine()};
}

DrawingSurface::DrawingSurface(QColor background) : background_(background) {}

void DrawingSurface::resize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == image_.width() && height == image_.height()) return;
    if (int64_t{width} * height > kMaxStripPixels) {
        image_ = QImage();  // larger than any strip the program makes
        return;
    }
    QImage resized(width, height, QImage::Format_RGB32);
    if (resized.isNull()) {
        image_ = QImage();
        return;
    }
    resized.fill(background_);
    if (!image_.isNull()) {
        const int rows = std::min(height, image_.height());
        const auto bytes = static_cast<std::size_t>(std::min(width, image_.width())) * 4;
        for (int y = 0; y < rows; ++y)
            std::memcpy(resized.scanLine(y), image_.constScanLine(y), bytes);
    }
    image_ = resized;
}

void DrawingSurface::clear() {
    if (!image_.isNull()) image_.fill(background_);
}

int DrawingSurface::StretchDIBits(int32_t xDest, int32_t yDest, int32_t wDest, int32_t hDest,
                                  int32_t xSrc, int32_t ySrc, int32_t wSrc, int32_t hSrc,
                                  const uint8_t* bits, const BitmapInfoHeader& info) {
    return ::StretchDIBits(ViewOf(image_), xDest, yDest, wDest, hDest, xSrc, ySrc, wSrc, hSrc, bits,
                           info);
}

namespace APIMod {

GrabResult GrabPictureBits(const QImage& picture, PixelGrid& grid, const BitmapInfoHeader& header) {
    if (grid.empty() || header.biBitCount != 32 || header.biWidth != grid.width() ||
        header.biHeight != -grid.height())
        return GrabResult::CannotCapture;
    if (picture.isNull()) return GrabResult::Done;
    const QImage rgb = picture.format() == QImage::Format_RGB32
                           ? picture
                           : picture.convertToFormat(QImage::Format_RGB32);
    const int rows = std::min(grid.height(), rgb.height());
    const auto bytes = static_cast<std::size_t>(std::min(grid.width(), rgb.width())) * 4;
    for (int y = 0; y < rows; ++y)
        std::memcpy(grid.data() + grid.offset(1, 1, y + 1), rgb.constScanLine(y), bytes);
    return GrabResult::Done;
}

GrabResult CapturePicture(const QImage& picture, int32_t width, int32_t height, PixelGrid& grid,
                          BitmapInfoHeader& header) {
    grid.allocate(width, height);
    SetDibHeader(grid, header);
    return GrabPictureBits(picture, grid, header);
}

}  // namespace APIMod

}  // namespace Drawing
