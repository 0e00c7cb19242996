// Building a strip: the two build buttons.
#include <QApplication>
#include <QElapsedTimer>

#include "build_rules.h"
#include "form1.h"
#include "form1_texts.h"
#include "strip_render.h"
#include "strip_viewport.h"

using namespace Controls;
using namespace Drawing;
using namespace Engine;
using namespace Messages;
using namespace Preview;
using namespace Render;

namespace Window {

namespace {

// A build that renders this many frame pixels or more shows the busy cursor.
constexpr qint64 kBusyPixels = 4'000'000;

class BusyCursor {
public:
    explicit BusyCursor(bool busy) : busy_(busy) {
        if (busy_) QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyCursor() {
        if (busy_) QApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool busy_;
};

}  // namespace

void Form1::cmdStrip_Click(int index) {
    AppState& s = state_;
    const StripLayout layout = index == 0 ? StripLayout::Horizontal() : StripLayout::Vertical();
    const StripBuild plan = BuildStrip(layout, s.PicW, s.PicH, s.Knob);
    // The repairs go through the boxes, whose change handlers store them.
    for (const BoxWrite& w : plan.repairs) txtIN[w.index]->setText(QString::fromStdString(w.text));
    if (index == 0 && !plan.fits) {
        ShowMessage({.code = MessageCode::StripTooLarge,
                     .facts = {{Fact::Width, plan.size.X},
                               {Fact::Height, plan.size.Y},
                               {Fact::MaxPixels, kMaxStripPixels}}});
        return;
    }
    layoutForOrientation(index);
    if (plan.loweredFrames) lowerFrameCount(*plan.loweredFrames);
    if (!sizeStripBox(plan.size)) return;
    Preview::LayoutStripViewport(*picFrame, *picStrip, *HS_Strip, *VS_Strip);
    LabXY[2]->setText(Form1Texts::StripSizeCaption(s.StripSize.X, s.StripSize.Y));
    {
        const BusyCursor busy(int64_t{s.StripSize.X} * s.StripSize.Y >= kBusyPixels);
        if (index == 0)
            RenderStripH();
        else
            RenderStripV();
    }
    s.StripIsHorizontal = index == 0;
    s.stripBuilt = true;
    showStripFromStart();
    PrepareTestView();
    // The strip's scroll bar, the viewport and the magnification show now.
    updateControls();
}

// Empties picStrip and gives it the strip's size; lets the window repaint
// before the frames are drawn. False when the surface cannot be had: then
// there is no strip to show or save.
bool Form1::sizeStripBox(const StripExtent& size) {
    AppState& s = state_;
    s.StripSize.X = static_cast<int32_t>(size.X);
    s.StripSize.Y = static_cast<int32_t>(size.Y);
    picStrip->clearPicture();
    picStrip->Refresh();
    picStrip->setSize(s.StripSize.X, s.StripSize.Y);
    if (picStrip->image().isNull()) {
        s.stripBuilt = false;
        updateControls();
        ShowMessage({.code = MessageCode::NoMemoryForStrip,
                     .facts = {{Fact::Width, size.X}, {Fact::Height, size.Y}}});
        return false;
    }
    picStrip->Refresh();
    QCoreApplication::processEvents();
    return true;
}

// A wide, low viewport under the controls and a window grown downwards, or a
// narrow, tall one at the right and a window grown to the right.
void Form1::layoutForOrientation(int index) {
    constexpr int kBelowViewportTwips = 6000;
    constexpr int kBesideViewportTwips = 6800;
    if (index == 0) {
        picFrame->setLeft(4);
        picFrame->setTop(368);
        picFrame->setWidth(423);
        picFrame->setHeight(picStart->Height());
        setWidthTwips(kStartWidthTwips);
        setHeightTwips(picFrame->Height() * kTwipsPerPixel + kBelowViewportTwips);
    } else {
        picFrame->setLeft(444);
        picFrame->setTop(4);
        picFrame->setWidth(picStart->Width());
        picFrame->setHeight(340);
        setWidthTwips(picFrame->Width() * kTwipsPerPixel + kBesideViewportTwips);
        setHeightTwips(kStartHeightTwips);
    }
}

// A vertical strip over 8000 pixels gets fewer frames, with a warning.
void Form1::lowerFrameCount(int32_t frames) {
    state_.Knob.FrameCount = frames;
    ShowMessage({.code = MessageCode::VerticalTooLarge});
    txtIN[0]->setText(QString::number(frames));
    txtIN[0]->repaint();
}

void Form1::RenderStripH() {
    RenderStrip(StripLayout::Horizontal(), state_.Knob, state_.RotateMode, state_.SrcBits,
                ViewOf(picStrip->surface().image()));
    picStrip->Refresh();
}

void Form1::RenderStripV() {
    RenderStrip(StripLayout::Vertical(), state_.Knob, state_.RotateMode, state_.SrcBits,
                ViewOf(picStrip->surface().image()));
    picStrip->Refresh();
}

}  // namespace Window
