#include "qt_drawing.h"

#include <gtest/gtest.h>

#include <QPainter>

using namespace Drawing;
using namespace Engine;

namespace {

TEST(GrabPictureBits, CapturesAnyFormatTopRowFirst) {
    QImage picture(3, 2, QImage::Format_RGB888);
    picture.fill(Qt::black);
    picture.setPixelColor(0, 0, QColor(10, 20, 30));
    picture.setPixelColor(2, 1, QColor(200, 150, 100));
    PixelGrid grid;
    grid.allocate(3, 2);
    BitmapInfoHeader info;
    Engine::SetDibHeader(grid, info);
    ASSERT_EQ(APIMod::GrabPictureBits(picture, grid, info), APIMod::GrabResult::Done);
    EXPECT_EQ(grid(1, 1, 1), 30);  // blue of the top-left pixel
    EXPECT_EQ(grid(3, 1, 1), 10);
    EXPECT_EQ(grid(3, 3, 2), 200);  // red of the bottom-right pixel
}

TEST(DrawingSurface, KeepsDrawingsAndClearsToBackground) {
    DrawingSurface surface(QColor(192, 192, 192));
    surface.resize(4, 4);
    EXPECT_EQ(surface.image().pixelColor(3, 3), QColor(192, 192, 192));
    PixelGrid grid;
    grid.allocate(2, 2);
    grid(3, 1, 1) = 255;
    BitmapInfoHeader info;
    Engine::SetDibHeader(grid, info);
    surface.StretchDIBits(0, 0, 4, 4, 0, 0, 2, 2, grid.data(), info);
    EXPECT_EQ(surface.image().pixelColor(1, 1), QColor(255, 0, 0));
    EXPECT_EQ(surface.image().pixelColor(2, 2), QColor(0, 0, 0));
    surface.resize(6, 6);
    EXPECT_EQ(surface.image().pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(surface.image().pixelColor(5, 5), QColor(192, 192, 192));
    surface.clear();
    EXPECT_EQ(surface.image().pixelColor(0, 0), QColor(192, 192, 192));
}

}  // namespace
