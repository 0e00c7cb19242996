// The frame test view and the pointer readouts.
#include "catalog.h"
#include "dib_blit.h"
#include "form1.h"
#include "form1_texts.h"
#include "frame_view.h"
#include "rounding.h"

using namespace Controls;
using namespace Drawing;
using namespace Engine;
using namespace Messages;
using namespace Preview;

namespace Window {

// Reads the finished strip back and shows frame 1 at the fitted magnification.
// It ends the wait of the frame selector; the caller's updateControls()
// enables it and gives the view its place.
void Form1::PrepareTestView() {
    AppState& s = state_;
    s.MagFactor = Preview::FitMagnification(s.MagFactor, s.PicW, s.PicH);
    HSMag->setValue(s.MagFactor);
    picTest->setWidth(s.MagFactor * s.PicW);
    picTest->setHeight(s.PicH * s.MagFactor);
    picTest->clearPicture();
    s.stripFrames = s.Knob.FrameCount;
    // The selector runs over every frame; each setting that moves its value
    // draws from the previous capture, and frame 1 is drawn over it below.
    HSTest->setMax(std::max(s.stripFrames, 1));
    HSTest->setMin(1);
    HSTest->setLargeChange(1);
    HSTest->setValue(1);
    grabOrEnd(APIMod::CapturePicture(picStrip->image(), s.StripSize.X, s.StripSize.Y, s.TestBits,
                                     s.TestInfo));
    // Frame 1 as the selector shows it, with its number: the selector may
    // have been at 1 already, and then nothing above has drawn or named it.
    HSTest_Change();
    s.magnificationPending = false;
}

// Frame n of the captured strip, stretched over the whole of picTest (and of
// the small view the designed box keeps while picTest is in a room of its
// own), each frame pixel a block of the view's factor (no stretching mode to
// set).
void Form1::drawTestFrame(int n) {
    drawFrameInto(*picTest, n);
    if (!testThumb->isHidden()) drawFrameInto(*testThumb, n);
}

// The frame is found by the strip's own frame count and orientation,
// whatever the frame count box says now. After a load there is no strip of
// the picture until the next build, and nothing is shown; a frame that does
// not lie wholly in the capture is shown empty too.
void Form1::drawFrameInto(PictureBox& view, int n) {
    const AppState& s = state_;
    const auto rect =
        Preview::FrameSourceRect(s.StripIsHorizontal, n, s.stripFrames, s.PicW, s.PicH);
    const bool fits = s.stripBuilt && rect.x <= INT32_MAX && rect.y >= INT32_MIN &&
                      rect.y <= INT32_MAX &&
                      SourceRectInside(s.TestInfo, static_cast<int32_t>(rect.x),
                                       static_cast<int32_t>(rect.y), s.PicW, s.PicH);
    if (!fits) {
        view.surface().clear();
        return;
    }
    view.surface().StretchDIBits(0, 0, RoundHalfEven(view.Width()), RoundHalfEven(view.Height()),
                                 static_cast<int32_t>(rect.x), static_cast<int32_t>(rect.y), s.PicW,
                                 s.PicH, s.TestBits.data(), s.TestInfo);
}

void Form1::HSTest_Change() {
    state_.TestFrame = HSTest->Value();
    drawTestFrame(state_.TestFrame);
    picTest->Refresh();
    if (!testThumb->isHidden()) testThumb->Refresh();
    LabValue->setText(Messages::SignPadded(state_.TestFrame));
}

// Nothing is redrawn or resized: the magnification takes effect at the next
// build, and until then the frame selector waits.
void Form1::HSMag_Change() {
    state_.magnificationPending = true;
    state_.MagFactor = HSMag->Value();
    LabMag->setText(QString::number(state_.MagFactor));
    updateControls();
}

void Form1::picTest_MouseMove(Qt::MouseButtons button, int, int Y) {
    if (button != Qt::LeftButton) return;
    // Through the frames of the strip on show; without one (before the first
    // build, after a load) as far as the frame count goes.
    const int32_t last = state_.stripBuilt ? state_.stripFrames : state_.Knob.FrameCount;
    const auto step = Preview::Drag({state_.TestFrame, state_.DragLastY}, Y, last, HSTest->Max());
    if (!step) return;
    state_.TestFrame = step->state.TestFrame;
    state_.DragLastY = step->state.DragLastY;
    if (step->moveSelector) HSTest->setValue(state_.TestFrame);
}

void Form1::Form_MouseMove() {
    LabWHStart->setText(Form1Texts::SizeCaption(state_.PicW, state_.PicH));
    LabValue->setText(Messages::SignPadded(state_.TestFrame));
}

void Form1::picStart_MouseMove(int X, int Y) {
    LabWHStart->setText(Form1Texts::PointerCaption(X, Y));
}

void Form1::picStrip_MouseMove(int X, int Y) {
    LabXY[1]->setText(Form1Texts::PointerCaption(X, Y));
    const bool horizontal = state_.StripIsHorizontal;
    const auto frame = Preview::FrameUnderPointer(
        horizontal ? X : Y, horizontal ? picStrip->Width() : picStrip->Height(),
        state_.Knob.FrameCount);
    if (frame) LabValue->setText(QString::number(*frame));
}

}  // namespace Window
