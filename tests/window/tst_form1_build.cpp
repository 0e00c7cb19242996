// Building a strip, the frame test view and saving the strip.
#include <QMenu>
#include <QtTest>

#include "form1_texts.h"
#include "form_fixture.h"
#include "picture_files.h"
#include "qt_drawing.h"
#include "start_routine.h"
#include "strip_render.h"

using namespace Controls;
using namespace Drawing;
using namespace Engine;
using namespace Messages;
using namespace Render;
using namespace Window;

namespace {

// The strip the engine makes of the window's current source picture.
QImage engineStrip(AppState& s, bool horizontal) {
    const int32_t n = s.Knob.FrameCount;
    QImage strip(horizontal ? s.PicW * n : s.PicW, horizontal ? s.PicH : s.PicH * n,
                 QImage::Format_RGB32);
    strip.fill(Qt::black);
    RenderStrip(horizontal ? StripLayout::Horizontal() : StripLayout::Vertical(), s.Knob,
                Routine::Bilinear, s.SrcBits, ViewOf(strip));
    return strip;
}

QImage frameOf(const QImage& strip, bool horizontal, int n, int w, int h) {
    return horizontal ? strip.copy((n - 1) * w, 0, w, h) : strip.copy(0, (n - 1) * h, w, h);
}

// The test view shows frame n at the given magnification.
bool testViewShows(Form1& w, const QImage& frame, int mag) {
    const QImage shown = w.picTest->image();
    if (shown.size() != frame.size() * mag) return false;
    return shown == frame.scaled(frame.size() * mag).convertToFormat(QImage::Format_RGB32);
}

// What the next modal box showed; it is answered by a click on the button
// with the given text, or with Enter when there is none.
struct SeenBox {
    QString title;
    QStringList buttons;
};
void answerNextBox(SeenBox& seen, const QString& button = {}) {
    QTimer::singleShot(0, [&seen, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return answerNextBox(seen, button);
        seen.title = box->windowTitle();
        for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == button) return QTest::mouseClick(b, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_Return);
    });
}

// The items of the context menu that opens next, without their shortcuts and
// accelerator marks; the menu is closed.
void readNextMenu(QStringList& items) {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) {
        QTimer::singleShot(0, [&items] { readNextMenu(items); });
        return;
    }
    for (const QAction* action : menu->actions())
        if (!action->isSeparator()) items << action->text().section('\t', 0, 0).remove('&');
    menu->close();
}

// The window as the program makes it: the real message boxes.
struct RealBoxes {
    ModalMessageBoxes boxes{Form1Texts::kCaption};
    QTemporaryDir folder;
    Form1 form{boxes, Form1Texts::kMsgTitle};
    RealBoxes() {
        SetUpApplication();
        form.File1->setPath(folder.path());
        form.Form_Load();
    }
    QString file(const QString& name) const { return QDir(folder.path()).filePath(name); }
};

}  // namespace

class TestForm1Build : public QObject {
    Q_OBJECT
private slots:
    void startStripHorizontalAndVertical();
    void repairsAreWrittenThroughTheBoxes();
    void verticalLimitLowersTheFrameCount();
    void tooLargeHorizontalStripIsRefused();
    void magnificationFitsTheView_data();
    void magnificationFitsTheView();
    void testViewSelectsFrames();
    void arrowKeysStepTheBars_data();
    void arrowKeysStepTheBars();
    void pagesStepByTheLargeChange_data();
    void pagesStepByTheLargeChange();
    void keyboardFocusIsMarked();
    void rebuildPutsTheThumbsAtTheStrip();
    void magnificationChangeWaitsForTheNextBuild();
    void dragStepsThroughFrames();
    void testViewFollowsTheStripOnShow();
    void saveBeforeABuildDoesNothing();
    void savedFileIsTheStrip();
    void overwriteIsAskedAndEnterKeepsTheFile();
    void suffixFollowsTheLastBuild();
    void failedSaveIsReported();
    void boxesAreTitledExactly();
    void questionIsAnsweredInGerman();
    void contextMenusSpeakGerman();
    void enterClicksTheFocusedButton();
};

void TestForm1Build::startStripHorizontalAndVertical() {
    FormFixture f;
    Form1& w = *f.form;
    w.cmdStrip_Click(0);
    QCOMPARE(f.s().StripSize.X, 1260);
    QCOMPARE(f.s().StripSize.Y, 45);
    QCOMPARE(w.LabXY[2]->text(), QString::fromUtf8("Maße: X= 1260, Y= 45"));
    QVERIFY(f.s().StripIsHorizontal);
    QCOMPARE(w.picStrip->pos(), QPoint(0, 0));
    QCOMPARE(w.HeightTwips(), 6735);
    QCOMPARE(w.WidthTwips(), 6570);
    QCOMPARE(w.picFrame->geometry(), QRect(4, 368, 423, 49));
    QVERIFY(!w.fraMag->isHidden());
    QVERIFY(f.seam.shown.isEmpty());
    QCOMPARE(w.picStrip->image().convertToFormat(QImage::Format_RGB32), engineStrip(f.s(), true));

    w.cmdStrip_Click(1);
    QCOMPARE(f.s().StripSize.X, 45);
    QCOMPARE(f.s().StripSize.Y, 1260);
    QVERIFY(!f.s().StripIsHorizontal);
    QCOMPARE(w.WidthTwips(), 7535);
    QCOMPARE(w.HeightTwips(), 5610);
    QCOMPARE(w.picFrame->geometry(), QRect(444, 4, 49, 340));
    QVERIFY(f.seam.shown.isEmpty());
    QCOMPARE(w.picStrip->image(), engineStrip(f.s(), false));
}

void TestForm1Build::repairsAreWrittenThroughTheBoxes() {
    FormFixture f;
    Form1& w = *f.form;
    w.txtIN[0]->setText(QStringLiteral("0"));
    w.txtIN[1]->setText(QStringLiteral("-3"));
    w.txtIN[2]->setText(QStringLiteral("abc"));
    w.cmdStrip_Click(0);
    QCOMPARE(w.txtIN[0]->text(), QStringLiteral("1"));
    QCOMPARE(w.txtIN[1]->text(), QStringLiteral("1"));
    QCOMPARE(w.txtIN[2]->text(), QStringLiteral("0"));
    QCOMPARE(f.s().Knob.FrameCount, 1);
    QCOMPARE(f.s().Knob.RotRadius, 1.0f);
    QCOMPARE(w.picStrip->size(), QSize(45, 45));
    // One frame, the source itself.
    QCOMPARE(w.picStrip->image(), w.picStart->image());
    w.txtIN[1]->setText(QStringLiteral("0"));
    w.txtIN[2]->setText(QStringLiteral("30"));
    w.txtIN[0]->setText(QStringLiteral("3"));
    w.cmdStrip_Click(0);
    QCOMPARE(w.txtIN[1]->text(), QStringLiteral("0"));  // a radius of 0 stays
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(frameOf(w.picStrip->image(), true, n, 45, 45), w.picStart->image());
}

void TestForm1Build::verticalLimitLowersTheFrameCount() {
    FormFixture f;
    Form1& w = *f.form;
    w.txtIN[0]->setText(QStringLiteral("200"));
    w.cmdStrip_Click(1);
    QCOMPARE(f.seam.shown.size(), 1);
    QCOMPARE(f.seam.shown[0].text,
             QString::fromUtf8("Zu gross für Verikale Sequenz. \rReduziere die Einzelbilder."));
    QCOMPARE(f.seam.shown[0].icon, QMessageBox::Warning);
    QCOMPARE(f.seam.shown[0].title, QStringLiteral("Vesk's Torvelink"));
    QCOMPARE(f.s().Knob.FrameCount, 177);
    QCOMPARE(w.txtIN[0]->text(), QStringLiteral("177"));
    QCOMPARE(w.picStrip->size(), QSize(45, 7965));
    QCOMPARE(w.HSTest->Max(), 177);
    // A horizontal strip of 1000 frames has no such limit.
    w.txtIN[0]->setText(QStringLiteral("1000"));
    w.cmdStrip_Click(0);
    QCOMPARE(f.seam.shown.size(), 1);
    QCOMPARE(w.picStrip->size(), QSize(45000, 45));
}

void TestForm1Build::tooLargeHorizontalStripIsRefused() {
    FormFixture f;
    Form1& w = *f.form;
    w.cmdStrip_Click(0);
    const QImage before = w.picStrip->image();
    w.txtIN[0]->setText(QStringLiteral("99999"));
    w.txtIN[0]->setText(QStringLiteral("3e9"));
    w.cmdStrip_Click(0);
    QCOMPARE(f.seam.shown.size(), 1);
    QVERIFY(f.seam.shown[0].text.contains(QStringLiteral("Reduziere die Einzelbilder")));
    QCOMPARE(w.picStrip->image(), before);  // no build: the last strip stays
    QVERIFY(!w.fraMag->isHidden());
}

void TestForm1Build::magnificationFitsTheView_data() {
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<int>("kept");
    QTest::newRow("45 at 5") << 45 << 0 << 5 << 5;
    QTest::newRow("64 at 5 gives 4") << 64 << 0 << 5 << 4;
    QTest::newRow("85 at 5 gives 3") << 85 << 0 << 5 << 3;
    QTest::newRow("121 at 5 gives 2") << 121 << 0 << 5 << 2;
    QTest::newRow("45 at 3, vertical") << 45 << 1 << 3 << 3;
    QTest::newRow("45 at 2 fits the box") << 45 << 0 << 2 << 2;
    QTest::newRow("24 at 5 fits the box") << 24 << 1 << 5 << 5;
}

// The whole magnified frame is in the window and covers no other control;
// where it fits the designed box, the window is exactly as designed.
void TestForm1Build::magnificationFitsTheView() {
    QFETCH(int, side);
    QFETCH(int, orientation);
    QFETCH(int, chosen);
    QFETCH(int, kept);
    FormFixture f;
    Form1& w = *f.form;
    if (side != 45) QVERIFY(f.load(QStringLiteral("k.bmp"), picture_files::Distinct(side, side)));
    QTest::mouseClick(w.cmdStrip[orientation], Qt::LeftButton);
    const int designedWidth = w.WidthTwips();
    for (int k = 1; k < chosen; ++k) QTest::keyClick(w.HSMag, Qt::Key_Right);
    QTest::mouseClick(w.cmdStrip[orientation], Qt::LeftButton);
    QCOMPARE(f.s().MagFactor, kept);
    QCOMPARE(w.HSMag->Value(), kept);
    QCOMPARE(w.LabMag->text(), QString::number(kept));
    QCOMPARE(w.picTest->size(), QSize(side * kept, side * kept));
    QVERIFY(w.HSTest->isEnabled());
    const QRect view = w.picTest->geometry();
    QVERIFY(w.rect().contains(view));
    for (QWidget* other : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (other != w.picTest && other->isVisibleTo(&w))
            QVERIFY2(!other->geometry().intersects(view), other->metaObject()->className());
    const bool fits = side * kept <= 121;
    QCOMPARE(view.topLeft() == QPoint(306, 156), fits);
    QCOMPARE(w.WidthTwips() == designedWidth, fits);
    // The selector and the frame number stay at their places, beside a view
    // of the frame they name: the designed box shows it as large as fits.
    QCOMPARE(w.HSTest->pos(), QPoint(306, 280));
    QCOMPARE(w.LabValue->pos(), QPoint(260, 156));
    QCOMPARE(w.testThumb->isHidden(), fits);
    if (!fits) {
        const int small = std::min(kept, 121 / side);
        QCOMPARE(w.testThumb->geometry(), QRect(306, 156, side * small, side * small));
        QTest::keyClick(w.HSTest, Qt::Key_Right);
        const QImage frame2 = frameOf(w.picStrip->image(), orientation == 0, 2, side, side);
        QCOMPARE(w.testThumb->image(), frame2.scaled(frame2.size() * small));
        QVERIFY(testViewShows(w, frame2, kept));
    }
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    const QString saved =
        (side == 45 ? "Demo" : "k") + QString(orientation == 0 ? "_Seq_H.bmp" : "_Seq_V.bmp");
    QVERIFY(QFile::exists(f.file(saved)));
    // Back at magnification 1 the window shrinks to its design.
    QTest::keyClick(w.HSMag, Qt::Key_Home);
    QTest::mouseClick(w.cmdStrip[orientation], Qt::LeftButton);
    QCOMPARE(w.picTest->pos(), QPoint(306, 156));
    QCOMPARE(w.WidthTwips(), designedWidth);
}

void TestForm1Build::testViewSelectsFrames() {
    FormFixture f;
    Form1& w = *f.form;
    w.HSMag->setValue(2);
    w.cmdStrip_Click(1);  // vertical, 28 frames
    const QImage strip = w.picStrip->image();
    QCOMPARE(w.HSTest->Min(), 1);
    QCOMPARE(w.HSTest->Max(), 28);
    QCOMPARE(w.HSTest->Value(), 1);
    QVERIFY(testViewShows(w, frameOf(strip, false, 1, 45, 45), 2));  // the top frame
    w.HSTest->setValue(28);
    QVERIFY(testViewShows(w, frameOf(strip, false, 28, 45, 45), 2));  // the bottom frame
    w.HSTest->setValue(12);
    QCOMPARE(w.LabValue->text(), QStringLiteral(" 12"));
    QVERIFY(testViewShows(w, frameOf(strip, false, 12, 45, 45), 2));
    w.cmdStrip_Click(0);
    w.HSTest->setValue(7);
    QVERIFY(testViewShows(w, frameOf(w.picStrip->image(), true, 7, 45, 45), 2));
    // A strip of one frame: the selector runs from 1 to 1.
    w.txtIN[0]->setText(QStringLiteral("1"));
    w.cmdStrip_Click(0);
    QCOMPARE(w.HSTest->Min(), 1);
    QCOMPARE(w.HSTest->Max(), 1);
}

void TestForm1Build::arrowKeysStepTheBars_data() {
    QTest::addColumn<QString>("bar");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("step");
    QTest::newRow("HSTest Right") << "HSTest" << int(Qt::Key_Right) << 1;
    QTest::newRow("HSTest Left") << "HSTest" << int(Qt::Key_Left) << -1;
    QTest::newRow("HSTest Down") << "HSTest" << int(Qt::Key_Down) << 1;
    QTest::newRow("HSTest Up") << "HSTest" << int(Qt::Key_Up) << -1;
    QTest::newRow("HSMag Right") << "HSMag" << int(Qt::Key_Right) << 1;
    QTest::newRow("HSMag Left") << "HSMag" << int(Qt::Key_Left) << -1;
    QTest::newRow("HS_Strip Right") << "HS_Strip" << int(Qt::Key_Right) << 1;
    QTest::newRow("VS_Strip Up") << "VS_Strip" << int(Qt::Key_Up) << -1;
}

// Right and Down go where the bar's right or lower arrow goes, Left and Up
// the other way; the test view shows the frame the selector reaches.
void TestForm1Build::arrowKeysStepTheBars() {
    QFETCH(QString, bar);
    QFETCH(int, key);
    QFETCH(int, step);
    FormFixture f;
    Form1& w = *f.form;
    QTest::mouseClick(w.cmdStrip[bar == "VS_Strip" ? 1 : 0], Qt::LeftButton);
    const QImage strip = w.picStrip->image();
    ScrollBar* b = bar == "HSTest"     ? w.HSTest
                   : bar == "HSMag"    ? w.HSMag
                   : bar == "HS_Strip" ? w.HS_Strip
                                       : w.VS_Strip;
    const int start = b->Value();
    const QPoint raiseArrow = b->orientation() == Qt::Horizontal
                                  ? QPoint(b->width() - 4, b->height() / 2)
                                  : QPoint(b->width() / 2, b->height() - 4);
    QTest::mouseClick(b, Qt::LeftButton, {}, raiseArrow);
    QTest::mouseClick(b, Qt::LeftButton, {}, raiseArrow);
    QCOMPARE(b->Value(), start + 2);
    QTest::keyClick(b, Qt::Key(key));
    QCOMPARE(b->Value(), start + 2 + step);
    if (b == w.HSTest) {
        QVERIFY(testViewShows(w, frameOf(strip, true, 3 + step, 45, 45), 1));
        QCOMPARE(w.LabValue->text(), QStringLiteral(" %1").arg(3 + step));
    }
}

void TestForm1Build::pagesStepByTheLargeChange_data() {
    QTest::addColumn<QString>("bar");
    QTest::addColumn<int>("build");  // the orientation; -1: no build
    QTest::addColumn<int>("page");
    QTest::newRow("HSMag") << "HSMag" << 0 << 1;
    QTest::newRow("HSTest at start") << "HSTest" << -1 << 1;
    QTest::newRow("HSTest") << "HSTest" << 0 << 1;
    QTest::newRow("HS_Strip") << "HS_Strip" << 0 << 42;
    QTest::newRow("VS_Strip") << "VS_Strip" << 1 << 34;
}

// PageDown and a click on the track beyond the thumb page by the large
// change; the thumb's length shows one page against the range.
void TestForm1Build::pagesStepByTheLargeChange() {
    QFETCH(QString, bar);
    QFETCH(int, build);
    QFETCH(int, page);
    FormFixture f;
    Form1& w = *f.form;
    if (build >= 0) QTest::mouseClick(w.cmdStrip[build], Qt::LeftButton);
    ScrollBar* b = bar == "HSTest"     ? w.HSTest
                   : bar == "HSMag"    ? w.HSMag
                   : bar == "HS_Strip" ? w.HS_Strip
                                       : w.VS_Strip;
    const int start = b->Value();
    QTest::keyClick(b, Qt::Key_PageDown);
    QStyleOptionSlider o;
    o.initFrom(b);
    o.orientation = b->orientation();
    o.minimum = b->minimum();
    o.maximum = b->maximum();
    o.sliderPosition = b->value();
    o.pageStep = b->pageStep();
    const auto part = [&](QStyle::SubControl c) {
        return b->style()->subControlRect(QStyle::CC_ScrollBar, &o, c, b);
    };
    const QRect thumb = part(QStyle::SC_ScrollBarSlider), track = part(QStyle::SC_ScrollBarGroove);
    QTest::mouseClick(b, Qt::LeftButton, {},
                      b->orientation() == Qt::Horizontal
                          ? QPoint(track.right() - 2, thumb.center().y())
                          : QPoint(thumb.center().x(), track.bottom() - 2));
    QCOMPARE(b->Value(), start + 2 * page);
    if (bar == "HSMag") QVERIFY(thumb.width() * 3 <= track.width());
}

// Each Tab press that lands on picStart, a scroll bar or picTest shows there.
void TestForm1Build::keyboardFocusIsMarked() {
    FormFixture f;
    Form1& w = *f.form;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::mouseClick(w.cmdStrip[0], Qt::LeftButton);
    const QList<QWidget*> marked{w.picStart, w.HS_Strip, w.HSMag, w.HSTest, w.picTest};
    QList<QWidget*> seen;
    for (int presses = 0; presses < 20 && seen.size() < marked.size(); ++presses) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        if (!marked.contains(focused)) continue;
        const QImage withFocus = focused->grab().toImage();
        focused->clearFocus();
        QVERIFY2(focused->grab().toImage() != withFocus, focused->metaObject()->className());
        focused->setFocus(Qt::TabFocusReason);
        seen << focused;
    }
    QCOMPARE(seen, marked);
}

// After a long strip was scrolled to its end, a new build shows the strip
// from its start with the thumb there too, and the arrows move on from there.
void TestForm1Build::rebuildPutsTheThumbsAtTheStrip() {
    FormFixture f;
    Form1& w = *f.form;
    for (const auto& [index, bar] : {std::pair{0, w.HS_Strip}, std::pair{1, w.VS_Strip}}) {
        w.txtIN[0]->selectAll();
        QTest::keyClicks(w.txtIN[0], "150");
        QTest::mouseClick(w.cmdStrip[index], Qt::LeftButton);
        QTest::keyClick(bar, Qt::Key_End);
        w.txtIN[0]->selectAll();
        QTest::keyClicks(w.txtIN[0], "28");
        QTest::mouseClick(w.cmdStrip[index], Qt::LeftButton);
        QCOMPARE(bar->Value(), 0);
        QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(w.picStrip->pos(), index == 0 ? QPoint(-1, 0) : QPoint(0, -1));
    }
}

void TestForm1Build::magnificationChangeWaitsForTheNextBuild() {
    FormFixture f;
    Form1& w = *f.form;
    w.cmdStrip_Click(0);
    const QImage shown = w.picTest->image();
    w.HSMag->setValue(3);
    QCOMPARE(w.LabMag->text(), QStringLiteral("3"));
    QVERIFY(!w.HSTest->isEnabled());
    QCOMPARE(w.picTest->size(), QSize(45, 45));
    QCOMPARE(w.picTest->image(), shown);
    w.cmdStrip_Click(0);
    QCOMPARE(w.picTest->size(), QSize(135, 135));
    QVERIFY(w.HSTest->isEnabled());
}

void TestForm1Build::dragStepsThroughFrames() {
    FormFixture f;
    Form1& w = *f.form;
    w.cmdStrip_Click(0);
    AppState& s = f.s();
    QCOMPARE(s.TestFrame, 1);
    s.DragLastY = 50;
    w.picTest_MouseMove(Qt::LeftButton, 0, 46);  // 4 up: nothing
    QCOMPARE(s.TestFrame, 1);
    QCOMPARE(s.DragLastY, int16_t(50));
    w.picTest_MouseMove(Qt::LeftButton, 0, 45);  // 5 up: next frame
    QCOMPARE(s.TestFrame, 2);
    QCOMPARE(w.HSTest->Value(), 2);
    QCOMPARE(w.LabValue->text(), QStringLiteral(" 2"));
    w.picTest_MouseMove(Qt::LeftButton, 0, 5);  // a jump of 40: still one frame
    QCOMPARE(s.TestFrame, 3);
    w.picTest_MouseMove(Qt::RightButton, 0, -40);
    w.picTest_MouseMove(Qt::LeftButton | Qt::RightButton, 0, -40);
    QCOMPARE(s.TestFrame, 3);
    w.picTest_MouseMove(Qt::LeftButton, 0, 20);  // down: back
    QCOMPARE(s.TestFrame, 2);
    w.picTest_MouseMove(Qt::LeftButton, 0, 30);
    QCOMPARE(s.TestFrame, 1);
    w.picTest_MouseMove(Qt::LeftButton, 0, 40);  // down at frame 1: stays
    QCOMPARE(s.TestFrame, 1);
    QCOMPARE(w.HSTest->Value(), 1);
    w.HSTest->setValue(28);
    w.picTest_MouseMove(Qt::LeftButton, 0, 0);  // up at the last frame: stays
    QCOMPARE(s.TestFrame, 28);
    // The frame count raised after the build: the drag stops at the selector's end.
    w.txtIN[0]->setText(QStringLiteral("40"));
    w.picTest_MouseMove(Qt::LeftButton, 0, -10);
    QCOMPARE(s.TestFrame, 28);
    QCOMPARE(w.HSTest->Value(), 28);
}

// The selector and the view keep to the strip on show: a frame count typed
// after the build does not shift the frames, and after a load there is no
// strip of the picture to show until the next build.
void TestForm1Build::testViewFollowsTheStripOnShow() {
    FormFixture f;
    Form1& w = *f.form;
    QTest::mouseClick(w.cmdStrip[1], Qt::LeftButton);  // vertical, 28 frames
    const QImage strip = w.picStrip->image();
    w.txtIN[0]->selectAll();
    QTest::keyClicks(w.txtIN[0], "10");
    QTest::keyClick(w.HSTest, Qt::Key_Right);
    QVERIFY(testViewShows(w, frameOf(strip, false, 2, 45, 45), 1));
    QTest::keyClick(w.HSTest, Qt::Key_End);
    QCOMPARE(w.LabValue->text(), QStringLiteral(" 28"));
    QVERIFY(testViewShows(w, frameOf(strip, false, 28, 45, 45), 1));
    QVERIFY(f.load(QStringLiteral("k.bmp"), picture_files::Distinct(30, 20)));
    QImage empty(w.picTest->size(), QImage::Format_RGB32);
    empty.fill(QColor(192, 192, 192));
    for (int frame = 2; frame <= 4; ++frame) {
        QTest::keyClick(w.HSTest, Qt::Key_Right);
        QCOMPARE(w.picTest->image(), empty);
    }
    QCOMPARE(w.LabValue->text(), QStringLiteral(" 4"));
}

void TestForm1Build::saveBeforeABuildDoesNothing() {
    FormFixture f;
    f.form->Command1_Click();
    QVERIFY(QDir(f.folder.path()).entryList(QDir::Files).isEmpty());
    QVERIFY(f.seam.shown.isEmpty());
}

void TestForm1Build::savedFileIsTheStrip() {
    FormFixture f;
    Form1& w = *f.form;
    w.cmdStrip_Click(0);
    w.Command1_Click();
    const QImage saved(f.file(QStringLiteral("Demo_Seq_H.bmp")));
    QCOMPARE(saved.size(), QSize(1260, 45));
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), engineStrip(f.s(), true));
    QVERIFY(!w.File1->findItems(QStringLiteral("Demo_Seq_H.bmp"), Qt::MatchExactly).isEmpty());
    // Parameters changed after the build are not read: the strip as built is saved.
    w.txtIN[2]->setText(QStringLiteral("45"));
    QFile::remove(f.file(QStringLiteral("Demo_Seq_H.bmp")));
    w.Command1_Click();
    QCOMPARE(QImage(f.file(QStringLiteral("Demo_Seq_H.bmp"))).convertToFormat(QImage::Format_RGB32),
             w.picStrip->image());
}

void TestForm1Build::overwriteIsAskedAndEnterKeepsTheFile() {
    FormFixture f;
    Form1& w = *f.form;
    QFile old(f.file(QStringLiteral("Demo_Seq_H.bmp")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    w.cmdStrip_Click(0);
    w.Command1_Click();  // the seam answers No, as Enter does
    QCOMPARE(f.seam.shown.size(), 1);
    const MessageRequest& q = f.seam.shown[0];
    QCOMPARE(q.text, QString::fromUtf8("Vorhandene Datei 'Demo_Seq_H.bmp' überschreiben ?"));
    QVERIFY(q.yesNo);
    QCOMPARE(q.icon, QMessageBox::Question);
    QVERIFY(q.title.isEmpty());  // the application's title: Quenwick Torvelink
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old"));
    old.close();
    f.seam.answers << QMessageBox::Yes;
    w.Command1_Click();
    QCOMPARE(QImage(old.fileName()).size(), QSize(1260, 45));
}

void TestForm1Build::suffixFollowsTheLastBuild() {
    FormFixture f;
    Form1& w = *f.form;
    w.cmdStrip_Click(0);
    w.cmdStrip_Click(1);
    w.Command1_Click();
    QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files), QStringList{"Demo_Seq_V.bmp"});
    QCOMPARE(QImage(f.file("Demo_Seq_V.bmp")).size(), QSize(45, 1260));
    // The file goes into the folder the file list shows now.
    QTemporaryDir other;
    w.File1->setPath(other.path());
    w.Command1_Click();
    QVERIFY(QFile::exists(QDir(other.path()).filePath("Demo_Seq_V.bmp")));
}

void TestForm1Build::failedSaveIsReported() {
    FormFixture f;
    Form1& w = *f.form;
    QTest::mouseClick(w.cmdStrip[0], Qt::LeftButton);
    QDir(f.folder.path()).mkdir(QStringLiteral("Demo_Seq_H.bmp"));  // a folder in the way
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QCOMPARE(f.seam.shown.size(), 1);
    QCOMPARE(f.seam.shown[0].icon, QMessageBox::Warning);
    QVERIFY(f.seam.shown[0].text.contains(QStringLiteral("Demo_Seq_H.bmp")));
    // A reason closes its sentence, as a load's does.
    QVERIFY(f.seam.shown[0].text.endsWith(QStringLiteral("Ordner.")));
    QVERIFY(QFileInfo(f.file("Demo_Seq_H.bmp")).isDir());
    // A folder that is there but takes no new file from anyone is not called
    // missing.
    QVERIFY(w.Dir1->setPath(QStringLiteral("/proc")));
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QCOMPARE(f.seam.shown.size(), 2);
    QCOMPARE(f.seam.shown[1].text,
             QString::fromUtf8("Die Datei 'Demo_Seq_H.bmp' konnte nicht gespeichert werden: in "
                               "diesem Ordner lässt das System niemanden Dateien anlegen."));
}

// Enter clicks the button that has the focus, as Space does.
void TestForm1Build::enterClicksTheFocusedButton() {
    FormFixture f;
    Form1& w = *f.form;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.cmdStrip[1]->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(w.picStrip->size(), QSize(45, 1260));
    QVERIFY(!w.VS_Strip->isHidden());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), w.Command1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(QFile::exists(f.file(QStringLiteral("Demo_Seq_V.bmp"))));
}

// The window system shows a title as it is set, unless the application has
// a display name: that is appended to every title.
void TestForm1Build::boxesAreTitledExactly() {
    RealBoxes r;
    QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    r.form.txtIN[0]->selectAll();
    QTest::keyClicks(r.form.txtIN[0], "200");
    SeenBox warning;
    answerNextBox(warning);
    QTest::mouseClick(r.form.cmdStrip[1], Qt::LeftButton);
    QCOMPARE(warning.title, QStringLiteral("Vesk's Torvelink"));
    QCOMPARE(warning.buttons, QStringList{"OK"});
    QTest::mouseClick(r.form.Command1, Qt::LeftButton);
    SeenBox question;
    answerNextBox(question);
    QTest::mouseClick(r.form.Command1, Qt::LeftButton);
    QCOMPARE(question.title, QStringLiteral("Quenwick Torvelink"));
}

// Qt's own texts, such as the context menus of a box and of a scroll bar,
// are German as the rest of the window, whatever the locale.
void TestForm1Build::contextMenusSpeakGerman() {
    RealBoxes r;
    r.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&r.form));
    QStringList items;
    for (QWidget* control :
         {static_cast<QWidget*>(r.form.txtIN[0]), static_cast<QWidget*>(r.form.HSTest)}) {
        QTimer::singleShot(0, [&items] { readNextMenu(items); });
        QTest::mouseClick(r.form.windowHandle(), Qt::RightButton, {},
                          control->mapTo(&r.form, control->rect().center()));
    }
    for (const char* german : {"Rückgängig", "Alles auswählen", "Hierher scrollen"})
        QVERIFY2(items.contains(QString::fromUtf8(german)), qPrintable(items.join(", ")));
}

// Qt's own button texts would be English without its translations.
void TestForm1Build::questionIsAnsweredInGerman() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    RealBoxes r;
    QTest::mouseClick(r.form.cmdStrip[0], Qt::LeftButton);
    QFile old(r.file(QStringLiteral("Demo_Seq_H.bmp")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    SeenBox enter;
    answerNextBox(enter);  // Enter answers Nein
    QTest::mouseClick(r.form.Command1, Qt::LeftButton);
    QCOMPARE(enter.buttons.size(), 2);
    QVERIFY(enter.buttons.contains("Ja") && enter.buttons.contains("Nein"));
    QCOMPARE(QFileInfo(old).size(), 3);
    SeenBox yes;
    answerNextBox(yes, QStringLiteral("Ja"));
    QTest::mouseClick(r.form.Command1, Qt::LeftButton);
    QCOMPARE(QImage(old.fileName()).size(), QSize(1260, 45));
    QLocale::setDefault(QLocale::c());
}

QTEST_MAIN(TestForm1Build)
#include "tst_form1_build.moc"
