#include "form1.h"

#include <QApplication>
#include <QMouseEvent>

#include "catalog.h"
#include "commands.h"
#include "form1_texts.h"
#include "leading_number.h"
#include "strip_viewport.h"

using namespace Controls;
using namespace Drawing;
using namespace Engine;
using namespace Messages;
using namespace Platform;
using namespace Preview;

// Qt's resources are set up outside every namespace.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace Window {

Form1::Form1(MessageSeam& messages, QString MsgTitle)
    : QWidget(nullptr), messages_(messages), msgTitle_(std::move(MsgTitle)) {
    initResources();
    setWindowTitle(Form1Texts::kCaption);
    setWindowIcon(QIcon(QStringLiteral(":/torvelink.ico")));
    resize(7860 / kTwipsPerPixel, 6435 / kTwipsPerPixel);
    createControls();
    for (ScrollBar* bar : {HS_Strip, VS_Strip, HSMag, HSTest}) bar->setFocusPolicy(Qt::StrongFocus);
    setTabOrder();
    setMouseTracking(true);
    connectHandlers();
}

// The window's outer size in twips. Where the window system adds a frame,
// it is part of the size. The window has whole pixels; the twips last set are
// given back as long as the window still has the size they made.
int Form1::WidthTwips() const {
    const int pixels = frameGeometry().width();
    return pixels == widthTwips_ / kTwipsPerPixel ? widthTwips_ : pixels * kTwipsPerPixel;
}
int Form1::HeightTwips() const {
    const int pixels = frameGeometry().height();
    return pixels == heightTwips_ / kTwipsPerPixel ? heightTwips_ : pixels * kTwipsPerPixel;
}

void Form1::setWidthTwips(int twips) {
    widthTwips_ = twips;
    fitWindow();
}

void Form1::setHeightTwips(int twips) {
    heightTwips_ = twips;
    fitWindow();
}

namespace {
// Maximized, full screen or minimized: the window has a size of the user's.
bool userSized(const QWidget& window) {
    return (window.windowState() &
            (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) != 0;
}
}  // namespace

// The size the layout set, as the outer size less the window system's frame.
// A maximized, full-screen or minimized window is the user's: resizing it
// would return it to normal and move it, so the size waits until it returns.
void Form1::fitWindow() {
    if (userSized(*this)) {
        if (!fitPending_) deferredPlace_ = pos();
        fitPending_ = true;
        return;
    }
    fitPending_ = false;
    const QSize frame = frame_.value_or(frameGeometry().size() - size());
    QSize inner(widthTwips_ > 0 ? widthTwips_ / kTwipsPerPixel - frame.width() : width(),
                heightTwips_ > 0 ? heightTwips_ / kTwipsPerPixel - frame.height() : height());
    if (testViewNeedsRoom()) inner.setWidth(std::max(inner.width(), testViewRoomRight()));
    inner = inner.expandedTo(QSize(1, 1));
    // The controls may not have their new places yet: the minimum follows
    // them (applyMinimumSize) and may only shrink here.
    setMinimumSize(minimumSize().boundedTo(inner));
    resize(inner);
}

// The window system puts its frame round the window only once it is shown,
// and the layout's outer size includes the frame: the size is set again when
// the frame is first known. Later frames are the window system's business: a
// maximized window has none at its sides, and on the way back the window
// system reports the old frame and the old place for a while, then gives the
// window its place and size back itself. A size set while maximized is set
// once the window stands at its normal place again; set earlier, it would
// take the maximized place with it.
bool Form1::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            if (userSized(*this)) break;
            if (fitPending_) {
                if (pos() != deferredPlace_ || pos() == normalPlace_) {
                    fitWindow();
                    applyMinimumSize();
                }
            } else if (!frame_ && frameGeometry().size() != size()) {
                frame_ = frameGeometry().size() - size();
                fitWindow();
                applyMinimumSize();
            }
            if (event->type() == QEvent::Move && !fitPending_) normalPlace_ = pos();
            break;
        default:
            break;
    }
    return handled;
}

void Form1::setStartSize() {
    setWidthTwips(kStartWidthTwips);
    setHeightTwips(kStartHeightTwips);
}

void Form1::connectHandlers() {
    for (int i = 0; i < 3; ++i)
        connect(txtIN[i], &QLineEdit::textChanged, this, [this, i] { txtIN_Change(i); });
    for (int i = 0; i < 2; ++i)
        connect(cmdStrip[i], &QPushButton::clicked, this, [this, i] { cmdStrip_Click(i); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Drive1, &DriveList::Change, this, [this] { Drive1_Change(); });
    connect(Dir1, &DirList::Change, this, [this] { Dir1_Change(); });
    connect(Dir1, &DirList::cannotOpen, this, [this](const QString& folder) {
        ShowMessage({.code = MessageCode::FolderNotListed, .subject = folder});
    });
    connect(File1, &FileList::Click, this, [this] { File1_Click(); });
    connect(HS_Strip, &QScrollBar::valueChanged, this, [this] { HS_Strip_Change(); });
    connect(VS_Strip, &QScrollBar::valueChanged, this, [this] { VS_Strip_Change(); });
    connect(HSTest, &QScrollBar::valueChanged, this, [this] { HSTest_Change(); });
    connect(HSMag, &QScrollBar::valueChanged, this, [this] { HSMag_Change(); });
    // Dragging in either view of the frame steps through the frames.
    for (PictureBox* view : {picTest, testThumb})
        connect(view, &PictureBox::mouseMoved, this,
                [this](Qt::MouseButtons b, int x, int y) { picTest_MouseMove(b, x, y); });
    connect(picStart, &PictureBox::mouseMoved, this,
            [this](Qt::MouseButtons, int x, int y) { picStart_MouseMove(x, y); });
    connect(picStrip, &PictureBox::mouseMoved, this,
            [this](Qt::MouseButtons, int x, int y) { picStrip_MouseMove(x, y); });
}

void Form1::ShowMessage(const QString& text, int kind) {
    Commands::ShowMessage(messages_, text, kind, msgTitle_);
}

void Form1::ShowMessage(const Message& message) {
    ShowMessage(Messages::Render(message, Messages::Language::German), 2);
}

void Form1::Form_Load() {
    setStartSize();
    Commands::CenterForm(*this, QSize(WidthTwips(), HeightTwips()));
    AppState& s = state_;
    s.MagFactor = 1;
    const KnobParams defaults;
    s.Knob.RotRadius = defaults.RotRadius;
    s.Knob.RotAngle = defaults.RotAngle;
    s.Knob.FrameCount = defaults.FrameCount;
    HSMag->setValue(s.MagFactor);
    txtIN[0]->setText(QString::number(s.Knob.FrameCount));
    txtIN[1]->setText(QString::number(s.Knob.RotRadius));
    txtIN[2]->setText(QString::number(s.Knob.RotAngle));
    LabXY[1]->setText(QStringLiteral("0, 0"));
    picStrip->setLeft(0);
    picStrip->setTop(0);
    Preview::LayoutStripViewport(*picFrame, *picStrip, *HS_Strip, *VS_Strip);
    s.stripBuilt = false;
    updateControls();
    s.RotateMode = Routine::Bilinear;
    s.SrcBits.allocate(1, 1);
    s.FrameBits.allocate(1, 1);
    s.TestBits.allocate(1, 1);
    s.BaseName = QStringLiteral("Demo");
    s.PicW = 45;
    s.PicH = 45;
    LabWHStart->setText(Form1Texts::SizeCaption(s.PicW, s.PicH));
    captureSource();
    s.FrameBits.allocate(s.PicW, s.PicH);
    s.StripSize.X = s.PicW;
    s.StripSize.Y = s.PicH;
    picStrip->setWidth(s.StripSize.X);
    picStrip->setHeight(s.StripSize.Y);
    LabXY[2]->setText(Form1Texts::StripSizeCaption(s.StripSize.X, s.StripSize.Y));
}

// SrcBits from the picture picStart shows, PicW x PicH.
void Form1::captureSource() {
    AppState& s = state_;
    grabOrEnd(APIMod::CapturePicture(picStart->image(), s.PicW, s.PicH, s.SrcBits, s.SrcInfo));
}

// A capture that cannot be carried out at all (the grid is not what its
// header says) leaves nothing to build with: the one fatal path.
void Form1::grabOrEnd(APIMod::GrabResult result) {
    if (result == APIMod::GrabResult::CannotCapture) {
        messages_.show({QString::fromLatin1(kGrabErrorText), QStringLiteral(" "),
                        QMessageBox::Critical, false});
        QCoreApplication::processEvents();
        close();
        std::exit(1);
    }
}

void Form1::txtIN_Change(int index) {
    const double value = ParseLeadingNumber(txtIN[index]->text().toStdString());
    if (index == 0) state_.Knob.FrameCount = ToFrameCount(value);
    if (index == 1) state_.Knob.RotRadius = ToFloat32(value);
    if (index == 2) state_.Knob.RotAngle = ToFloat32(value);
}

void Form1::HS_Strip_Change() {
    picStrip->setLeft(-HS_Strip->Value());
}
void Form1::VS_Strip_Change() {
    picStrip->setTop(-VS_Strip->Value());
}

// The strip from its first frame, with the bars' thumbs where the strip is:
// a bar keeps its value through a new range, so it is set too (its Change
// handler then puts the strip where it already is).
void Form1::showStripFromStart() {
    picStrip->setTop(0);
    picStrip->setLeft(0);
    HS_Strip->setValue(0);
    VS_Strip->setValue(0);
}

void Form1::Drive1_Change() {
    if (!Dir1->setPath(Drive1->Drive())) {
        ShowMessage({.code = MessageCode::DriveNotReady, .subject = Drive1->Drive()});
        Drive1->showDriveOf(Dir1->Path());
    }
}

void Form1::Dir1_Change() {
    File1->setPath(Dir1->Path());
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    // Only the bare window: moves over a control reach the window too when
    // the control ignores them, and must not count.
    QWidget* under = childAt(event->position().toPoint());
    if (under == nullptr) Form_MouseMove();
}

void Form1::updateControls() {
    const AppState& s = state_;
    fraMag->setVisible(s.stripBuilt);
    picFrame->setVisible(s.stripBuilt);
    HS_Strip->setVisible(s.stripBuilt && s.StripIsHorizontal);
    VS_Strip->setVisible(s.stripBuilt && !s.StripIsHorizontal);
    HSTest->setEnabled(!s.magnificationPending);
    placeTestView();
    applyMinimumSize();
}

}  // namespace Window
