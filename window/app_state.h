#pragma once

#include <QString>
#include <cstdint>

#include "knob_params.h"
#include "pixel_grid.h"

namespace Window {

// The state the window's handlers share, with its start values.
struct AppState {
    int32_t PicW = 45;  // source picture, pixels
    int32_t PicH = 45;
    Engine::KnobParams Knob;  // FrameCount, RotRadius, RotAngle
    int32_t MagFactor = 1;    // test view magnification, 1..5
    Engine::Routine RotateMode = Engine::Routine::Bilinear;
    struct {
        int32_t X = 45;  // pixels
        int32_t Y = 45;
    } StripSize;
    bool StripIsHorizontal = false;  // orientation of the last strip built
    QString BaseName = QStringLiteral("Demo");

    Engine::PixelGrid SrcBits, FrameBits, TestBits;
    Engine::BitmapInfoHeader SrcInfo, TestInfo;

    int32_t TestFrame = 0;  // frame shown in the test view (the selector may pass 32767)
    int16_t DragLastY = 0;  // pointer y of the last drag step in the test view

    // picStrip holds a strip built from the current picture: the viewport,
    // the magnification, the test view and the save command work on it.
    bool stripBuilt = false;
    // The frames of that strip. The frame count may be edited since; the
    // test view and its selector keep to the strip they show.
    int32_t stripFrames = 0;
    // A magnification was chosen since the last build; the frame selector
    // waits for the next build.
    bool magnificationPending = false;
};

}  // namespace Window
