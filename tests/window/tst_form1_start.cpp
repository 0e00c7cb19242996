// The window as it starts, the parameter boxes, the keyboard order, the
// strip viewport and the message boxes.
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>
#include <cfloat>
#include <climits>

#include "commands.h"
#include "form_fixture.h"
#include "picture_files.h"
#include "strip_viewport.h"

using namespace Controls;
using namespace Drawing;
using namespace Engine;
using namespace Messages;
using namespace Platform;
using namespace Preview;
using namespace Window;

class TestForm1Start : public QObject {
    Q_OBJECT
private slots:
    void startState();
    void demonstrationPictureIsCaptured();
    void windowIsCentredAtItsStartSize();
    void windowKeepsItsSizeAndState();
    void windowIsNeverSmallerThanItsControls();
    void parameterBoxesFollowTyping();
    void parameterBoxesReadLeadingNumbers_data();
    void parameterBoxesReadLeadingNumbers();
    void boxesTakeFiveCharacters();
    void tabOrderFollowsTheDesign();
    void viewportWorkedExamples();
    void viewportEdgeCases();
    void scrollingMovesTheStripOneWayOnly();
    void wideStripsScrollBeyondSixteenBits();
    void showMessageKinds();
};

void TestForm1Start::startState() {
    FormFixture f;
    Form1& w = *f.form;
    QCOMPARE(w.windowTitle(), QStringLiteral("Quenwick Torvelink"));
    QCOMPARE(w.txtIN[0]->text(), QStringLiteral("28"));
    QCOMPARE(w.txtIN[1]->text(), QStringLiteral("18"));
    QCOMPARE(w.txtIN[2]->text(), QStringLiteral("10"));
    QCOMPARE(f.s().Knob.FrameCount, 28);
    QCOMPARE(f.s().Knob.RotRadius, 18.0f);
    QCOMPARE(f.s().Knob.RotAngle, 10.0f);
    QCOMPARE(w.LabWHStart->text(), QString::fromUtf8("Breite = 45 , Höhe = 45"));
    QCOMPARE(w.LabXY[2]->text(), QString::fromUtf8("Maße: X= 45, Y= 45"));
    QCOMPARE(w.LabXY[1]->text(), QStringLiteral("0, 0"));
    QCOMPARE(w.LabValue->text(), QStringLiteral("0"));
    QCOMPARE(w.LabMag->text(), QStringLiteral("1"));
    QCOMPARE(w.Label1[0]->text(), QStringLiteral("Einzelbilder:"));
    QCOMPARE(w.Label1[1]->text(), QStringLiteral("Rotationsradius:"));
    QCOMPARE(w.Label1[2]->text(), QStringLiteral("Rotationswinkel:"));
    QCOMPARE(w.Label1[3]->text(), QStringLiteral("Einzelbild Nummer:"));
    QCOMPARE(w.cmdStrip[0]->text(), QStringLiteral("Horizontale Sequenz"));
    QCOMPARE(w.cmdStrip[1]->text(), QStringLiteral("Vertikale Sequenz"));
    QCOMPARE(w.Command1->text(), QStringLiteral("Knopf-Sequenz speichern"));
    QCOMPARE(w.fraMag->title(), QString::fromUtf8("Vergrösserung"));
    QVERIFY(w.fraMag->isHidden());
    QVERIFY(w.HS_Strip->isHidden());
    QVERIFY(w.VS_Strip->isHidden());
    QCOMPARE(w.WidthTwips(), 6570);
    QCOMPARE(w.HeightTwips(), 5610);
    QCOMPARE(w.size(), QSize(438, 374));
    QCOMPARE(w.picStart->size(), QSize(49, 49));
    QCOMPARE(w.picStrip->size(), QSize(45, 45));
    QCOMPARE(f.s().BaseName, QStringLiteral("Demo"));
    QCOMPARE(f.s().StripIsHorizontal, false);
    QCOMPARE(f.s().TestBits.width(), 1);
    QCOMPARE(w.HSTest->Max(), 32767);
    QCOMPARE(w.HSTest->Value(), 0);
    QVERIFY(w.HSTest->isEnabled());
    // The viewport lies outside the window until a strip is built.
    QVERIFY(w.picFrame->x() >= w.width());
}

void TestForm1Start::demonstrationPictureIsCaptured() {
    FormFixture f;
    const QImage demo =
        QImage(QStringLiteral(":/demo_knob.bmp")).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(demo.size(), QSize(45, 45));
    QCOMPARE(f.s().SrcBits.width(), 45);
    QCOMPARE(f.s().SrcBits.height(), 45);
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 45; ++x) {
            const QRgb p = demo.pixel(x, y);
            QCOMPARE(int(f.s().SrcBits(1, x + 1, y + 1)), qBlue(p));
            QCOMPARE(int(f.s().SrcBits(3, x + 1, y + 1)), qRed(p));
        }
    QCOMPARE(f.s().SrcInfo.biHeight, -45);
    QCOMPARE(f.s().FrameBits.width(), 45);
}

void TestForm1Start::windowIsCentredAtItsStartSize() {
    FormFixture f;
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const auto place = Platform::CenterFormPlace(float(screen.width() * 15),
                                                 float(screen.height() * 15), 6570, 5610);
    QCOMPARE(f.form->pos(), QPoint(int(place.Left) / 15, int(place.Top) / 15));
    QVERIFY(f.form->x() >= 0 && f.form->y() >= 0);
}

// The window system's frame comes when the window is shown: the outer size is
// the layout's from the start. A build while maximized leaves the window
// maximized where it is; back to normal, it has the build's size.
void TestForm1Start::windowKeepsItsSizeAndState() {
    FormFixture f;
    Form1& w = *f.form;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.frameGeometry().size() != w.size());  // the offscreen platform's frame
    QCOMPARE(w.frameGeometry().size(), QSize(438, 374));
    w.showMaximized();
    QTRY_VERIFY(w.width() > 500);
    const QRect maximized = w.geometry();
    QTest::mouseClick(w.cmdStrip[0], Qt::LeftButton);
    QVERIFY(w.isMaximized());
    QCOMPARE(w.geometry(), maximized);
    w.showNormal();
    QTRY_COMPARE(w.frameGeometry().size(), QSize(438, 449));
}

// However small the user makes the window, every control shown stays whole:
// at start, with each strip of the largest picture, and with the test view in
// a room of its own.
void TestForm1Start::windowIsNeverSmallerThanItsControls() {
    FormFixture f;
    Form1& w = *f.form;
    const auto shrinkAndCheck = [&w] {
        w.resize(50, 50);
        for (QWidget* c : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!c->isHidden()) QVERIFY(w.rect().contains(c->geometry()));
    };
    shrinkAndCheck();
    QVERIFY(f.load(QStringLiteral("k.bmp"), picture_files::Distinct(121, 121)));
    QTest::mouseClick(w.cmdStrip[0], Qt::LeftButton);
    shrinkAndCheck();
    QTest::keyClick(w.HSMag, Qt::Key_End);
    QTest::mouseClick(w.cmdStrip[1], Qt::LeftButton);
    shrinkAndCheck();
    w.show();  // the window manager keeps to the same minimum
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.windowHandle()->minimumSize(), w.minimumSize());
}

void TestForm1Start::parameterBoxesFollowTyping() {
    FormFixture f;
    QLineEdit* frames = f.form->txtIN[0];
    frames->selectAll();
    QTest::keyClick(frames, Qt::Key_Backspace);
    QCOMPARE(f.s().Knob.FrameCount, 0);  // an empty box reads as 0
    QTest::keyClick(frames, Qt::Key_3);
    QCOMPARE(f.s().Knob.FrameCount, 3);
    QTest::keyClick(frames, Qt::Key_6);
    QCOMPARE(f.s().Knob.FrameCount, 36);
    QTest::keyClicks(frames, "abc");
    QCOMPARE(f.s().Knob.FrameCount, 36);
    QCOMPARE(frames->text(), QStringLiteral("36abc"));
    // Other boxes and variables are not touched.
    QCOMPARE(f.s().Knob.RotRadius, 18.0f);
    QCOMPARE(f.form->txtIN[2]->text(), QStringLiteral("10"));
}

void TestForm1Start::parameterBoxesReadLeadingNumbers_data() {
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("value");
    QTest::newRow("2.5 frames") << 0 << "2.5" << 2.0;
    QTest::newRow("3.5 frames") << 0 << "3.5" << 4.0;
    QTest::newRow("-5 frames") << 0 << "-5" << -5.0;
    QTest::newRow("12abc") << 0 << "12abc" << 12.0;
    QTest::newRow("1e3") << 0 << "1e3" << 1000.0;
    QTest::newRow("hex") << 0 << "&H1F" << 31.0;
    QTest::newRow("octal") << 0 << "&O17" << 15.0;
    QTest::newRow("blanks") << 1 << " 1 8" << 18.0;
    QTest::newRow("comma") << 1 << "22,5" << 22.0;
    QTest::newRow("point") << 1 << "22.5" << 22.5;
    QTest::newRow("D exponent") << 2 << "1.5D1" << 15.0;
    QTest::newRow("abc") << 2 << "abc" << 0.0;
    QTest::newRow("3e9 frames") << 0 << "3e9" << double(INT_MAX);
    QTest::newRow("9e99 radius") << 1 << "9e99" << double(FLT_MAX);
    QTest::newRow("-9e99 angle") << 2 << "-9e99" << -double(FLT_MAX);
}

void TestForm1Start::parameterBoxesReadLeadingNumbers() {
    QFETCH(int, box);
    QFETCH(QString, typed);
    QFETCH(double, value);
    FormFixture f;
    f.form->txtIN[box]->clear();
    QTest::keyClicks(f.form->txtIN[box], typed);
    const KnobParams& k = f.s().Knob;
    const double got = box == 0   ? k.FrameCount
                       : box == 1 ? double(k.RotRadius)
                                  : double(k.RotAngle);
    QCOMPARE(got, value);
}

namespace {
// The box's text is inked clear of both inner edges, about as far from each:
// a text that is cut touches one of them.
bool showsWholeCentred(QLineEdit* box) {
    const QImage shot = box->grab().toImage();
    constexpr int kFrame = 2;
    int left = -1, right = -1;
    for (int x = kFrame; x < shot.width() - kFrame; ++x)
        for (int y = kFrame; y < shot.height() - kFrame; ++y)
            if (qGray(shot.pixel(x, y)) < 128) {
                if (left < 0) left = x - kFrame;
                right = shot.width() - kFrame - 1 - x;
                break;
            }
    return left > 0 && right > 0 && std::abs(left - right) <= 2;
}
}  // namespace

// Five characters fit, and the box shows all of them, centred, however wide
// they are: nothing is cut at an edge.
void TestForm1Start::boxesTakeFiveCharacters() {
    FormFixture f;
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    for (const char* typed : {"1234567", "&HFFF", "&O777", "-8e-9"})
        for (QLineEdit* box : f.form->txtIN) {
            box->clear();
            QTest::keyClicks(box, typed);
            QCOMPARE(box->text(), QString::fromLatin1(typed).left(5));
            QVERIFY2(showsWholeCentred(box), typed);
        }
    QCOMPARE(f.s().Knob.FrameCount, 0);  // "-8e-9"
}

void TestForm1Start::tabOrderFollowsTheDesign() {
    FormFixture f;
    Form1& w = *f.form;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(QApplication::focusWidget(), w.picStart);
    // The hidden strip bars and magnification are left out, and the order
    // comes round to picStart again.
    QList<QWidget*> expected{w.HSTest,   w.picTest,  w.Drive1,      w.Dir1,
                             w.File1,    w.Command1, w.cmdStrip[1], w.cmdStrip[0],
                             w.txtIN[2], w.txtIN[1], w.txtIN[0],    w.picStart};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    for (QWidget* never : {static_cast<QWidget*>(w.LabValue), static_cast<QWidget*>(w.fraMag),
                           static_cast<QWidget*>(w.Label1[0])})
        QCOMPARE(never->focusPolicy(), Qt::NoFocus);
}

void TestForm1Start::viewportWorkedExamples() {
    FormFixture f;
    Form1& w = *f.form;
    w.cmdStrip_Click(0);
    QCOMPARE(w.HS_Strip->Max(), 849);
    QCOMPARE(w.HS_Strip->LargeChange(), 42);
    QCOMPARE(w.HS_Strip->SmallChange(), 1);
    QCOMPARE(w.HS_Strip->geometry(), QRect(4, 350, 423, 17));
    QVERIFY(w.HS_Strip->isEnabled());
    QVERIFY(!w.HS_Strip->isHidden());
    QVERIFY(w.VS_Strip->isHidden());
    w.cmdStrip_Click(1);
    QCOMPARE(w.VS_Strip->Max(), 932);
    QCOMPARE(w.VS_Strip->LargeChange(), 34);
    QCOMPARE(w.VS_Strip->geometry(), QRect(426, 4, 17, 340));
    QVERIFY(w.VS_Strip->isEnabled());
    QVERIFY(w.HS_Strip->isHidden());
    QVERIFY(!w.VS_Strip->isHidden());
}

void TestForm1Start::viewportEdgeCases() {
    FormFixture f;
    Form1& w = *f.form;
    w.picFrame->setGeometry(4, 368, 423, 49);
    for (const auto& [stripWidth, max, enabled] :
         {std::tuple{423, 12, true}, std::tuple{422, 11, false}, std::tuple{45, -366, false}}) {
        w.picStrip->setWidth(stripWidth);
        Preview::LayoutStripViewport(*w.picFrame, *w.picStrip, *w.HS_Strip, *w.VS_Strip);
        QCOMPARE(w.HS_Strip->Max(), max);
        QCOMPARE(w.HS_Strip->isEnabled(), enabled);
    }
}

void TestForm1Start::scrollingMovesTheStripOneWayOnly() {
    FormFixture f;
    Form1& w = *f.form;
    w.cmdStrip_Click(0);
    w.picStrip->setTop(3);
    w.HS_Strip->setValue(100);
    QCOMPARE(w.picStrip->Left(), -100);
    QCOMPARE(w.picStrip->Top(), 3);
    w.HS_Strip->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(w.picStrip->Left(), -101);
    w.HS_Strip->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(w.picStrip->Left(), -143);
    w.cmdStrip_Click(1);
    QCOMPARE(w.picStrip->pos(), QPoint(0, 0));
    w.picStrip->setLeft(5);
    w.VS_Strip->setValue(200);
    QCOMPARE(w.picStrip->Top(), -200);
    QCOMPARE(w.picStrip->Left(), 5);
    w.VS_Strip->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(w.picStrip->Top(), -234);
}

void TestForm1Start::wideStripsScrollBeyondSixteenBits() {
    FormFixture f;
    Form1& w = *f.form;
    w.txtIN[0]->setText(QStringLiteral("1000"));
    w.cmdStrip_Click(0);
    QCOMPARE(w.picStrip->Width(), 45000);
    QCOMPARE(w.HS_Strip->Max(), 45000 - 423 + 12);
    w.HS_Strip->setValue(w.HS_Strip->Max());
    QCOMPARE(w.picStrip->Left(), -(45000 - 423 + 12));
}

void TestForm1Start::showMessageKinds() {
    AnsweringSeam seam;
    for (int kind : {0, 5, -1, 99}) Commands::ShowMessage(seam, QStringLiteral("x"), kind, "T");
    QVERIFY(seam.shown.isEmpty());
    Commands::ShowMessage(seam, QStringLiteral("a\rb"), 2, QStringLiteral("Vesk's Torvelink"));
    QCOMPARE(seam.shown.size(), 1);
    QCOMPARE(seam.shown[0].icon, QMessageBox::Warning);
    QCOMPARE(seam.shown[0].title, QStringLiteral("Vesk's Torvelink"));
    QCOMPARE(seam.shown[0].text, QStringLiteral("a\rb"));  // the text keeps its character
    QCOMPARE(DisplayText(seam.shown[0].text), QStringLiteral("a\nb"));
    Commands::ShowMessage(seam, "x", 1, "T");
    Commands::ShowMessage(seam, "x", 3, "T");
    Commands::ShowMessage(seam, "x", 4, "T");
    QCOMPARE(seam.shown[1].icon, QMessageBox::Information);
    QCOMPARE(seam.shown[2].icon, QMessageBox::Critical);
    QCOMPARE(seam.shown[3].icon, QMessageBox::Question);
    QVERIFY(!seam.shown[3].yesNo);
}

QTEST_MAIN(TestForm1Start)
#include "tst_form1_start.moc"
