// The window's controls at their design places, and the test view's room.
// Places and sizes are given in twips, as the window was designed, and set in
// pixels (kTwipsPerPixel twips each).
#include <QDir>
#include <QFont>
#include <QPainter>

#include "command_button.h"
#include "form1.h"
#include "form1_texts.h"
#include "frame_view.h"
#include "picture_io.h"
#include "picture_kinds.h"
#include "text_box.h"

using namespace Controls;
using namespace Drawing;
using namespace Engine;
using namespace Messages;
using namespace Pictures;

namespace Window {

namespace {

constexpr QRect twips(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
            height / kTwipsPerPixel};
}

const QColor kBoxGrey{Pictures::kBoxBackground};

// Outlines of the source-picture area (Shape1) and the test view (Shape2),
// the rule under the radius row (Line1) and the test view's designed box.
constexpr QRect kShape1 = twips(4515, 45, 1920, 1905);
constexpr QRect kShape2 = twips(4575, 2325, 1845, 1845);
constexpr QLine kLine1{2460 / kTwipsPerPixel, 480 / kTwipsPerPixel, 4320 / kTwipsPerPixel,
                       480 / kTwipsPerPixel};
constexpr QRect kTestViewBox = twips(4590, 2340, 1815, 1815);

// The readouts left of the test view may grow up to its outline.
constexpr int kReadoutsFreeUpTo = kShape2.left();

// The test view's own room, when it has one: its outline starts this far
// right of the controls (or of a vertical strip's viewport) at the height of
// the source-picture area's outline, and the window keeps this margin right
// of it.
constexpr int kRoomGap = 4;
constexpr int kRoomMargin = 8;

QFont sans(int pixels, bool bold = false) {
    return Form1::Font(pixels, bold);
}
const int kArial9 = Form1::kArial9Pixels;
const int kSans825 = 11;  // 8.25 points

QLabel* label(QWidget* parent, const QString& caption, QRect place) {
    auto* l = new QLabel(caption, parent);
    l->setGeometry(place);
    return l;
}

}  // namespace

QFont Form1::Font(int pixels, bool bold) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void Form1::createControls() {
    setFont(sans(kSans825));
    picFrame = new PictureBox(this, kBoxGrey, PictureBox::Border::Sunken, false, true);
    picFrame->setGeometry(twips(6810, 60, 990, 5100));
    picStrip = new PictureBox(picFrame->clientArea(), Qt::black, PictureBox::Border::None);
    picStrip->setGeometry(twips(0, 0, 900, 900));
    createParameterBlock();
    cmdStrip[0] = new CommandButton(Form1Texts::kHorizontal, this);
    cmdStrip[0]->setGeometry(twips(2430, 4260, 2055, 435));
    cmdStrip[1] = new CommandButton(Form1Texts::kVertical, this);
    cmdStrip[1]->setGeometry(twips(2430, 4740, 2055, 435));
    Command1 = new CommandButton(Form1Texts::kSave, this);
    Command1->setGeometry(twips(4590, 4545, 1815, 615));
    for (QPushButton* b : {cmdStrip[0], cmdStrip[1], Command1}) b->setFont(sans(kArial9));
    createBrowser();
    createTestView();
    VS_Strip = new ScrollBar(Qt::Vertical, this);
    VS_Strip->setGeometry(twips(6510, 60, 255, 5115));
    VS_Strip->hide();
    HS_Strip = new ScrollBar(Qt::Horizontal, this);
    HS_Strip->setGeometry(twips(30, 5220, 6390, 255));
    HS_Strip->hide();
    picStart = new PictureBox(this, kBoxGrey, PictureBox::Border::Sunken, true);
    picStart->setGeometry(twips(4530, 60, 735, 735));
    picStart->setPicture(QImage(QStringLiteral(":/demo_knob.bmp")));
    Label1[3] = label(this, Form1Texts::kFrameNumber, twips(2460, 2400, 1425, 240));
    Label1[0] = label(this, Form1Texts::kFrames, twips(2460, 1020, 1125, 210));
    Label1[1] = label(this, Form1Texts::kRadius, twips(2460, 165, 1365, 225));
    Label1[2] = label(this, Form1Texts::kAngle, twips(2460, 645, 1305, 225));
    createReadouts();
}

void Form1::createReadouts() {
    LabXY[0] = nullptr;
    LabXY[1] = new ReadoutLabel(QStringLiteral("LabXY(1)"), this, twips(2460, 3480, 1350, 240),
                                kReadoutsFreeUpTo);
    LabXY[2] = new ReadoutLabel(QStringLiteral("Ma\u00dfe: X=0, Y=0"), this,
                                twips(2460, 3840, 1845, 210), kReadoutsFreeUpTo);
    LabValue =
        new ReadoutLabel(QStringLiteral("0"), this, twips(3900, 2340, 450, 285), kReadoutsFreeUpTo);
    LabValue->setAlignment(Qt::AlignCenter);
    LabValue->setDesignFont(sans(kArial9, true));
    LabValue->setFrameShape(QFrame::Box);
    LabValue->setAutoFillBackground(true);
    QPalette valuePalette = LabValue->palette();
    valuePalette.setColor(QPalette::Window, QColor(255, 224, 192));
    LabValue->setPalette(valuePalette);
    // It ends where the controls end: a long size ("Breite = 121 , Höhe =
    // 121") takes a smaller font, not more room.
    const QRect sizePlace = twips(4530, 1980, 1890, 255);
    LabWHStart =
        new ReadoutLabel(QStringLiteral("X =  Y ="), this, sizePlace, sizePlace.right() + 1);
    LabWHStart->setFrameShape(QFrame::Box);
}

void Form1::createParameterBlock() {
    const struct {
        int left, top, width, height;
        const char* text;
    } boxes[3] = {
        {3765, 960, 555, 285, "36"}, {3780, 120, 540, 285, "18"}, {3765, 600, 555, 285, "10"}};
    for (int i = 0; i < 3; ++i) {
        auto* box = new TextBox(QString::fromLatin1(boxes[i].text), this);
        box->setGeometry(twips(boxes[i].left, boxes[i].top, boxes[i].width, boxes[i].height));
        box->setAlignment(Qt::AlignCenter);
        box->setMaxLength(5);
        box->setTextMargins(0, 0, 0, 0);
        box->setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; }"));
        // Five characters such as "&HFFF" are wider than the box at this size.
        box->setDesignFont(sans(kSans825, true));
        txtIN[i] = box;
    }
    QPalette red = txtIN[1]->palette();
    red.setColor(QPalette::Text, QColor(192, 0, 0));
    txtIN[1]->setPalette(red);
}

void Form1::createBrowser() {
    File1 = new FileList(this, PictureKinds::WindowFilePattern());
    File1->setGeometry(twips(60, 2340, 2295, 2790));
    Dir1 = new DirList(this);
    Dir1->setGeometry(twips(60, 420, 2295, 1875));
    Drive1 = new DriveList(this);
    Drive1->setGeometry(twips(60, 60, 2295, 345));
    for (QWidget* w :
         {static_cast<QWidget*>(File1), static_cast<QWidget*>(Dir1), static_cast<QWidget*>(Drive1)})
        w->setFont(sans(kArial9));
    // Before any browsing the lists show the working folder.
    const QString here = QDir::currentPath();
    Drive1->showDriveOf(here);
    Dir1->setPath(here);
    File1->setPath(Dir1->Path());
}

void Form1::createTestView() {
    picTest = new PictureBox(this, kBoxGrey, PictureBox::Border::None);
    picTest->setGeometry(kTestViewBox);
    testThumb = new PictureBox(this, kBoxGrey, PictureBox::Border::None);
    testThumb->setGeometry(kTestViewBox);
    testThumb->hide();
    HSTest = new ScrollBar(Qt::Horizontal, this);
    HSTest->setGeometry(twips(4590, 4200, 1815, 270));
    fraMag = new QGroupBox(Form1Texts::kMagnification, this);
    fraMag->setGeometry(twips(2610, 2760, 1545, 585));
    fraMag->setFont(sans(kArial9));
    HSMag = new ScrollBar(Qt::Horizontal, fraMag);
    HSMag->setGeometry(twips(120, 270, 915, 225));
    HSMag->setMin(1);
    HSMag->setMax(5);
    HSMag->setValue(1);
    LabMag = new QLabel(QStringLiteral("1"), fraMag);
    LabMag->setGeometry(twips(1110, 255, 300, 255));
    LabMag->setAlignment(Qt::AlignCenter);
    LabMag->setFont(sans(kSans825, true));
    LabMag->setAutoFillBackground(true);
    QPalette system = LabMag->palette();
    system.setColor(QPalette::Window, system.color(QPalette::Base));
    system.setColor(QPalette::WindowText, system.color(QPalette::Text));
    LabMag->setPalette(system);
}

void Form1::setTabOrder() {
    // Keyboard order by the design's tab indices: picStart first.
    QList<QWidget*> order{picStart, HS_Strip, VS_Strip, HSMag,    HSTest,      picTest,
                          Drive1,   Dir1,     File1,    Command1, cmdStrip[1], cmdStrip[0],
                          txtIN[2], txtIN[1], txtIN[0], picFrame, picStrip};
    // Picture boxes take the focus like the other controls; labels and the
    // frame take none, as Qt's labels and group boxes.
    for (QWidget* w : {static_cast<QWidget*>(picStart), static_cast<QWidget*>(picTest),
                       static_cast<QWidget*>(picFrame), static_cast<QWidget*>(picStrip)})
        w->setFocusPolicy(Qt::StrongFocus);
    for (int k = 0; k + 1 < order.size(); ++k) QWidget::setTabOrder(order[k], order[k + 1]);
    // The window opens with the focus on the first of the order, not on the
    // first control created.
    picStart->setFocus();
}

bool Form1::testViewNeedsRoom() const {
    return state_.stripBuilt &&
           (picTest->Width() > kTestViewBox.width() || picTest->Height() > kTestViewBox.height());
}

// The test view keeps its designed box while the magnified frame fits it. A
// larger frame of the strip on show gets a room of its own at the window's
// right, beside the controls, which all stay where they are; the window grows
// for it and shrinks back when the room is no longer needed. The designed box
// then shows the frame as large as fits it, beside the selector and the
// number that name it. Without a strip (after a load) an oversized view,
// empty by then, returns to its designed size.
void Form1::placeTestView() {
    const bool hadRoom = picTest->pos() != kTestViewBox.topLeft();
    const bool oversized =
        picTest->Width() > kTestViewBox.width() || picTest->Height() > kTestViewBox.height();
    if (oversized && !state_.stripBuilt)
        picTest->setSize(kTestViewBox.width(), kTestViewBox.height());
    if (testViewNeedsRoom()) {
        int controlsRight = kShape1.right() + 1;
        if (!picFrame->isHidden())
            controlsRight = std::max(controlsRight, picFrame->x() + picFrame->width());
        picTest->move(controlsRight + kRoomGap + 1, kShape1.top() + 1);
        showTestThumb();
    } else {
        picTest->move(kTestViewBox.topLeft());
        testThumb->hide();
    }
    // A window without a room keeps whatever width it has.
    if (hadRoom || testViewNeedsRoom()) fitWindow();
    update();
}

// The frame at the largest factor, up to the room's own, that fits the
// designed box. The room's view keeps the factor of the last build while
// another magnification waits, and so does this one.
void Form1::showTestThumb() {
    const AppState& s = state_;
    const int32_t built = std::max(picTest->Width() / std::max(s.PicW, 1), 1);
    const int32_t factor = Preview::FitMagnification(built, s.PicW, s.PicH, kTestViewBox.width());
    testThumb->setSize(factor * s.PicW, factor * s.PicH);
    testThumb->show();
    drawFrameInto(*testThumb, s.TestFrame);
    testThumb->Refresh();
}

// The window's width that holds the test view's room and its margin.
int Form1::testViewRoomRight() const {
    return picTest->x() + picTest->Width() + 1 + kRoomMargin;
}

// Every control shown and every outline stays whole: the window may not be
// made smaller than they reach.
void Form1::applyMinimumSize() {
    QRect used = childrenRect().united(kShape1).united(kShape2);
    if (testViewNeedsRoom()) used = used.united(roomOutline());
    setMinimumSize(used.right() + 1, used.bottom() + 1);
}

// The outline of the test view's room, round the view.
QRect Form1::roomOutline() const {
    return picTest->geometry().adjusted(-1, -1, 1, 1);
}

void Form1::paintEvent(QPaintEvent*) {
    // The rule under the radius row and the outlines of the source picture
    // and the test view's box; they take no pointer events. A room of the
    // test view has an outline of its own.
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawLine(kLine1);
    QList<QRect> outlines{kShape1, kShape2};
    if (testViewNeedsRoom()) outlines << roomOutline();
    for (const QRect& outline : outlines) painter.drawRect(outline.adjusted(0, 0, -1, -1));
}

}  // namespace Window
