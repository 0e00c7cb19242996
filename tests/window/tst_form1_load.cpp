// Choosing a picture, the pointer readouts, and the program as a process.
#include <grp.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QtTest>

#include "form_fixture.h"
#include "picture_files.h"
#include "player_process.h"
#include "single_instance.h"

using namespace Controls;
using namespace Drawing;
using namespace Engine;
using namespace Messages;
using namespace Pictures;
using namespace Window;

namespace {

// Where the test view's outline starts (4575 twips): the readouts to its left
// may grow up to it.
constexpr int kTestViewOutlineLeft = 305;

// The label shows all of its text, from its designed place, and leaves the
// test view free.
bool showsWholeText(const QLabel* label, QPoint designed) {
    return label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width() &&
           label->pos() == designed && label->geometry().right() < kTestViewOutlineLeft;
}

}  // namespace

class TestForm1Load : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void largestPictureIsAccepted();
    void radiusFollowsTheWidthInTheUsersLocale();
    void oversizePicturesAreRejected();
    void refusedPictureLeavesTheSourceAndItsName();
    void baseNameIsTheNameBeforeTheLastDot();
    void unreadableFileChangesNothing();
    void windowStaysAliveWhileThePlayerRuns();
    void closingEndsThePlayerAndLetsGoOfTheName();
    void typingANameFindsTheFolder();
    void browsingMovesOnlyTheLists();
    void arrowKeysChooseAFile();
    void pointerOverTheSourcePicture();
    void frameUnderThePointer();
    void frameReadoutBeforeTheFirstBuild();
    void bareWindowRestoresTheLabels();
    void frameReadoutSurvivesAnEmptyCount();
    void readoutsShowTheirWholeText_data();
    void readoutsShowTheirWholeText();
    void secondCopyEndsAndNothingIsWritten();
    void anotherUserCannotStopTheWindow();
};

void TestForm1Load::largestPictureIsAccepted() {
    FormFixture f;
    Form1& w = *f.form;
    QTest::mouseClick(w.cmdStrip[0], Qt::LeftButton);
    QTest::keyClick(w.HSMag, Qt::Key_End);
    const QImage knob = picture_files::Distinct(121, 121);
    QVERIFY(f.load(QStringLiteral("Gross.bmp"), knob));
    QVERIFY(f.seam.shown.isEmpty());
    QCOMPARE(f.s().PicW, 121);
    QCOMPARE(f.s().PicH, 121);
    QCOMPARE(w.picStart->size(), QSize(125, 125));
    QCOMPARE(w.LabWHStart->text(), QStringLiteral(" X = 121  Y = 121"));
    QCOMPARE(w.LabXY[2]->text(), QString::fromUtf8("Maße: X= 121, Y= 121"));
    QCOMPARE(f.s().BaseName, QStringLiteral("Gross"));
    QCOMPARE(f.s().SrcBits.width(), 121);
    QCOMPARE(f.s().FrameBits.height(), 121);
    QCOMPARE(int(f.s().SrcBits(3, 1, 1)), 255);    // the red top-left corner
    QCOMPARE(int(f.s().SrcBits(1, 1, 121)), 255);  // the blue bottom-left corner
    QCOMPARE(f.s().MagFactor, 1);
    QCOMPARE(w.LabMag->text(), QStringLiteral("1"));
    QVERIFY(w.fraMag->isHidden());
    // No part of the strip viewport stays in the window, with or without a
    // frame around it.
    QVERIFY(w.VS_Strip->isHidden());
    QVERIFY(w.HS_Strip->isHidden());
    QVERIFY(w.picFrame->isHidden());
    QCOMPARE(w.picStrip->size(), QSize(121, 121));
    QCOMPARE(w.WidthTwips(), 6570);
    QCOMPARE(w.HeightTwips(), 5610);
    QCOMPARE(w.HSTest->Value(), 1);
    QCOMPARE(f.s().Knob.FrameCount, 28);  // the user's values stay
    QCOMPARE(w.txtIN[2]->text(), QStringLiteral("10"));
    // Over the bare window the size reads in full, in the label's place.
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::mouseMove(&w, QPoint(160, 140));
    QTRY_COMPARE(w.LabWHStart->text(), QString::fromUtf8("Breite = 121 , Höhe = 121"));
    QVERIFY(w.LabWHStart->fontMetrics().horizontalAdvance(w.LabWHStart->text()) <=
            w.LabWHStart->contentsRect().width());
    QCOMPARE(w.LabWHStart->geometry(), QRect(302, 132, 126, 17));
    // Saving waits for the next build.
    w.Command1_Click();
    QVERIFY(!QFile::exists(f.file("Gross_Seq_H.bmp")));
    w.cmdStrip_Click(0);
    QCOMPARE(w.picStrip->size(), QSize(121 * 28, 121));
}

void TestForm1Load::radiusFollowsTheWidthInTheUsersLocale() {
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        FormFixture f;
        QVERIFY(f.load(QStringLiteral("k.bmp"), picture_files::Distinct(45, 45)));
        QCOMPARE(f.form->txtIN[1]->text(), QStringLiteral("22,5"));
        QCOMPARE(f.s().Knob.RotRadius, 22.0f);
    }
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        FormFixture f;
        QVERIFY(f.load(QStringLiteral("k.bmp"), picture_files::Distinct(45, 45)));
        QCOMPARE(f.form->txtIN[1]->text(), QStringLiteral("22.5"));
        QCOMPARE(f.s().Knob.RotRadius, 22.5f);
        QVERIFY(f.load(QStringLiteral("s.bmp"), picture_files::Distinct(44, 30)));
        QCOMPARE(f.form->txtIN[1]->text(), QStringLiteral("22"));
        QCOMPARE(f.s().Knob.RotRadius, 22.0f);
    }
}

void TestForm1Load::oversizePicturesAreRejected() {
    for (const auto& [w, h] : {std::pair{122, 10}, std::pair{10, 122}, std::pair{200, 150}}) {
        FormFixture f;
        Form1& form = *f.form;
        const QImage demo = form.picStart->image();
        form.cmdStrip_Click(0);
        QVERIFY(f.load(QStringLiteral("zu.gross.bmp"), picture_files::Distinct(w, h)));
        QCOMPARE(f.seam.shown.size(), 1);
        const MessageRequest& m = f.seam.shown[0];
        QCOMPARE(
            m.text,
            QStringLiteral("Maximal erlaubt: 121 x 121 \rDieses Bild hat: %1 x %2").arg(w).arg(h));
        QCOMPARE(m.icon, QMessageBox::Warning);
        QCOMPARE(m.title, QStringLiteral("Vesk's Torvelink"));
        QVERIFY(form.fraMag->isHidden());
        QVERIFY(form.HS_Strip->isHidden());
        QVERIFY(form.picFrame->isHidden());
        QCOMPARE(form.picStart->size(), QSize(49, 49));  // the source stays, name and box
        QCOMPARE(form.picStart->image(), demo);
        QCOMPARE(form.WidthTwips(), 6570);
        QCOMPARE(form.HeightTwips(), 5610);
        QCOMPARE(f.s().BaseName, QStringLiteral("Demo"));
        QCOMPARE(form.LabXY[2]->text(), QString::fromUtf8("Maße: X= 1260, Y= 45"));
        QCOMPARE(form.txtIN[1]->text(), QStringLiteral("18"));
    }
}

// A refused picture changes neither the name nor the source: the strip built
// next is the previous picture's, in a viewport as high as its box, and is
// saved under its name.
void TestForm1Load::refusedPictureLeavesTheSourceAndItsName() {
    FormFixture f;
    Form1& w = *f.form;
    QVERIFY(f.load(QStringLiteral("a.bmp"), picture_files::Distinct(40, 40)));
    const PixelGrid before = f.s().SrcBits;
    QVERIFY(f.load(QStringLiteral("b.bmp"), picture_files::Distinct(130, 20)));
    QCOMPARE(f.s().SrcBits, before);
    QTest::mouseClick(w.cmdStrip[0], Qt::LeftButton);
    QCOMPARE(w.picStrip->size(), QSize(40 * 28, 40));
    QCOMPARE(w.picFrame->height(), 44);
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QCOMPARE(QDir(f.folder.path()).entryList({"*_Seq_*"}), QStringList{"a_Seq_H.bmp"});
    QCOMPARE(QImage(f.file("a_Seq_H.bmp")).convertToFormat(QImage::Format_RGB32),
             w.picStrip->image());
}

void TestForm1Load::baseNameIsTheNameBeforeTheLastDot() {
    FormFixture f;
    QVERIFY(f.load(QStringLiteral("a.b.gif"), picture_files::Distinct(20, 20), "BMP"));
    QCOMPARE(f.s().BaseName, QStringLiteral("a.b"));
    f.form->cmdStrip_Click(0);
    f.form->Command1_Click();
    QVERIFY(QFile::exists(f.file("a.b_Seq_H.bmp")));
    QVERIFY(f.load(QStringLiteral(".gif"), picture_files::Distinct(20, 20), "BMP"));
    QCOMPARE(f.s().BaseName, QString());
    f.form->cmdStrip_Click(1);
    f.form->Command1_Click();
    QVERIFY(QFile::exists(f.file("_Seq_V.bmp")));
}

// A damaged bitmap, and a metafile that would keep the metafile player busy
// for a minute: each ends in a message, and the window goes on as before.
void TestForm1Load::unreadableFileChangesNothing() {
    qputenv("TORVELINK_METAFILE_DEADLINE_MS", "500");
    FormFixture f;
    Form1& w = *f.form;
    w.cmdStrip_Click(0);
    const QImage strip = w.picStrip->image();
    const std::pair<QString, QByteArray> files[] = {
        {"kaputt.bmp", "BM this is no bitmap at all"},
        {"haengt.wmf", picture_files::FontHeightZeroMetafile()},
    };
    w.File1->setPath(f.folder.path());
    for (const auto& [name, bytes] : files) {
        QFile file(f.file(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        w.File1->Refresh();
        f.seam.shown.clear();
        QVERIFY(f.clickFile(name));
        QCOMPARE(f.seam.shown.size(), 1);
        QVERIFY(f.seam.shown[0].text.startsWith(
            QStringLiteral("Die Datei '%1' kann nicht gelesen werden: ").arg(name)));
        QCOMPARE(f.seam.shown[0].icon, QMessageBox::Warning);
        QCOMPARE(f.s().BaseName, QStringLiteral("Demo"));
        QCOMPARE(w.picStrip->image(), strip);
        QVERIFY(!w.fraMag->isHidden());
    }
    qunsetenv("TORVELINK_METAFILE_DEADLINE_MS");
    w.Command1_Click();
    QVERIFY(QFile::exists(f.file("Demo_Seq_H.bmp")));
}

namespace {
struct PaintCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint;
        return false;
    }
};
}  // namespace

// While the metafile player runs, the window is drawn, shows the busy cursor
// and ignores clicks and keys; the picture is refused or taken when the
// player ends, and a window closed meanwhile is left alone.
void TestForm1Load::windowStaysAliveWhileThePlayerRuns() {
    qputenv("TORVELINK_METAFILE_DEADLINE_MS", "1000");
    FormFixture f;
    Form1& w = *f.form;
    for (const auto& [name, bytes] :
         {std::pair{"haengt.wmf", picture_files::FontHeightZeroMetafile()},
          std::pair{"gut.wmf", picture_files::PlaceableMetafile(96, 96, 96)}}) {
        QFile file(f.file(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    w.File1->setPath(f.folder.path());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    PaintCounter painted;
    w.installEventFilter(&painted);
    Qt::CursorShape cursor = Qt::ArrowCursor;
    QTimer::singleShot(200, [&] {
        const QCursor* shown = QApplication::overrideCursor();
        cursor = shown != nullptr ? shown->shape() : Qt::ArrowCursor;
        w.update();
        QTest::mouseClick(w.cmdStrip[0], Qt::LeftButton);
        QTest::keyClicks(w.txtIN[0], "9");
    });
    QVERIFY(f.clickFile(QStringLiteral("haengt.wmf")));
    QCOMPARE(cursor, Qt::WaitCursor);
    QVERIFY(painted.count > 0);
    QVERIFY(w.fraMag->isHidden());
    QCOMPARE(w.txtIN[0]->text(), QStringLiteral("28"));
    QCOMPARE(f.seam.shown.size(), 1);
    QVERIFY(f.seam.shown[0].text.endsWith(QStringLiteral("das Zeichnen dauerte zu lange.")));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(f.clickFile(QStringLiteral("gut.wmf")));
    QCOMPARE(w.picStart->size(), QSize(100, 100));
    QTimer::singleShot(200, [&] {  // as the window manager's close button
        QCloseEvent close;
        QCoreApplication::sendEvent(w.windowHandle(), &close);
    });
    QVERIFY(f.clickFile(QStringLiteral("haengt.wmf")));
    qunsetenv("TORVELINK_METAFILE_DEADLINE_MS");
    QVERIFY(!w.isVisible());
    QCOMPARE(f.seam.shown.size(), 1);
}

// Closed while a slow metafile is drawn, the window ends the player at once
// and lets go of the running copy's name with the window: a copy started now
// runs.
void TestForm1Load::closingEndsThePlayerAndLetsGoOfTheName() {
    const QString key = QStringLiteral("tst-form1-load-%1").arg(QCoreApplication::applicationPid());
    SingleInstance running(key);
    QVERIFY(!running.anotherIsRunning());
    QVERIFY(SingleInstance(key).anotherIsRunning());
    FormFixture f;
    Form1& w = *f.form;
    running.releaseWhenClosed(w);  // as the start routine does
    QFile hangs(f.file(QStringLiteral("haengt.wmf")));
    QVERIFY(hangs.open(QIODevice::WriteOnly));
    hangs.write(picture_files::FontHeightZeroMetafile());
    hangs.close();
    w.File1->setPath(f.folder.path());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // Left alone, the player would draw until its deadline.
    const QDeadlineTimer playerDeadline(PlayerProcess::kDeadlineMs);
    QTimer::singleShot(200, [&] {  // as the window manager's close button
        QCloseEvent close;
        QCoreApplication::sendEvent(w.windowHandle(), &close);
    });
    QVERIFY(f.clickFile(QStringLiteral("haengt.wmf")));
    QVERIFY(!w.isVisible());
    QVERIFY(!playerDeadline.hasExpired());
    QVERIFY(!SingleInstance(key).anotherIsRunning());
}

// Typing the start of a folder's name in the folder list goes to it, as in
// the file list; Enter opens it.
void TestForm1Load::typingANameFindsTheFolder() {
    FormFixture f;
    Form1& w = *f.form;
    for (const char* name : {"Alpha", "Beta", "Gamma", "Garten"})
        QVERIFY(QDir(f.folder.path()).mkpath(QStringLiteral("Unter/") + name));
    QVERIFY(w.Dir1->setPath(f.file("Unter")));
    QTest::keyClicks(w.Dir1, "gar");
    QCOMPARE(w.Dir1->currentItem()->text(), QStringLiteral("Garten"));
    QTest::keyClick(w.Dir1, Qt::Key_Return);
    QCOMPARE(w.File1->Path(), QDir::cleanPath(f.file("Unter/Garten")));
}

void TestForm1Load::browsingMovesOnlyTheLists() {
    FormFixture f;
    Form1& w = *f.form;
    w.cmdStrip_Click(0);
    QDir(f.folder.path()).mkdir(QStringLiteral("Unter"));
    QFile(f.file("Unter/knopf.GIF")).open(QIODevice::WriteOnly);
    QFile(f.file("Unter/notiz.txt")).open(QIODevice::WriteOnly);
    QVERIFY(w.Dir1->setPath(f.file("Unter")));
    QCOMPARE(w.File1->Path(), QDir::cleanPath(f.file("Unter")));
    QCOMPARE(w.File1->count(), 1);  // only the six kinds, whatever their case
    QCOMPARE(w.File1->item(0)->text(), QStringLiteral("knopf.GIF"));
    QVERIFY(!w.Dir1->setPath(f.file("fehlt")));
    QCOMPARE(f.s().BaseName, QStringLiteral("Demo"));
    QCOMPARE(f.s().PicW, 45);
    QVERIFY(!w.fraMag->isHidden());
}

void TestForm1Load::arrowKeysChooseAFile() {
    FormFixture f;
    QVERIFY(picture_files::Distinct(20, 20).save(f.file("a.bmp"), "BMP"));
    QVERIFY(f.load(QStringLiteral("b.bmp"), picture_files::Distinct(30, 30)));
    QCOMPARE(f.s().PicW, 30);
    QTest::keyClick(f.form->File1, Qt::Key_Up);
    QCOMPARE(f.form->File1->FileName(), QStringLiteral("a.bmp"));
    QCOMPARE(f.s().BaseName, QStringLiteral("a"));
    QCOMPARE(f.s().PicW, 20);
}

void TestForm1Load::pointerOverTheSourcePicture() {
    FormFixture f;
    f.form->picStart_MouseMove(12, 30);
    QCOMPARE(f.form->LabWHStart->text(), QStringLiteral("X, Y = 12 , 30"));
    f.form->picStart_MouseMove(0, 0);
    QCOMPARE(f.form->LabWHStart->text(), QStringLiteral("X, Y = 0 , 0"));
}

void TestForm1Load::frameUnderThePointer() {
    FormFixture f;
    Form1& w = *f.form;
    w.cmdStrip_Click(0);
    const std::pair<int, const char*> cases[] = {{0, "1"},     {44, "1"},  {45, "2"},
                                                 {1259, "28"}, {-10, "0"}, {-50, "-1"}};
    for (const auto& [x, shown] : cases) {
        w.picStrip_MouseMove(x, 99);
        QCOMPARE(w.LabValue->text(), QString::fromLatin1(shown));
    }
    QCOMPARE(w.LabXY[1]->text(), QStringLiteral("X, Y =-50 , 99"));
    w.picStrip_MouseMove(100, 20);
    QCOMPARE(w.LabXY[1]->text(), QStringLiteral("X, Y = 100 , 20"));
    w.cmdStrip_Click(1);
    w.picStrip_MouseMove(999, 45);
    QCOMPARE(w.LabValue->text(), QStringLiteral("2"));
}

void TestForm1Load::frameReadoutBeforeTheFirstBuild() {
    FormFixture f;
    // Not yet built: the 45 x 45 strip's height is divided into 28 parts.
    for (const auto& [y, shown] : {std::pair{0, "1"}, std::pair{2, "2"}, std::pair{44, "28"}}) {
        f.form->picStrip_MouseMove(10, y);
        QCOMPARE(f.form->LabValue->text(), QString::fromLatin1(shown));
    }
}

void TestForm1Load::bareWindowRestoresTheLabels() {
    FormFixture f;
    Form1& w = *f.form;
    w.cmdStrip_Click(0);
    w.HSTest->setValue(12);
    w.picStart_MouseMove(3, 4);
    w.picStrip_MouseMove(100, 5);
    QCOMPARE(w.LabValue->text(), QStringLiteral("3"));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::mouseMove(&w, w.Label1[0]->geometry().center());  // over a label: nothing changes
    QCOMPARE(w.LabValue->text(), QStringLiteral("3"));
    QTest::mouseMove(&w, QPoint(160, 140));  // the bare window
    QTRY_COMPARE(w.LabValue->text(), QStringLiteral(" 12"));
    QCOMPARE(w.LabWHStart->text(), QString::fromUtf8("Breite = 45 , Höhe = 45"));
    QCOMPARE(w.LabXY[1]->text(), QStringLiteral("X, Y = 100 , 5"));  // never reset
}

void TestForm1Load::frameReadoutSurvivesAnEmptyCount() {
    FormFixture f;
    Form1& w = *f.form;
    w.cmdStrip_Click(0);
    w.picStrip_MouseMove(50, 1);
    w.txtIN[0]->clear();
    w.picStrip_MouseMove(60, 1);
    QCOMPARE(w.LabValue->text(), QStringLiteral("2"));  // nothing new for a count of 0
    w.txtIN[0]->setText(QStringLiteral("99999"));
    w.picStrip_MouseMove(1259, 1);  // 99999 parts: past 16 bits, as the selector goes
    QCOMPARE(w.LabValue->text(), QStringLiteral("99920"));
}

void TestForm1Load::readoutsShowTheirWholeText_data() {
    QTest::addColumn<int>("side");
    QTest::addColumn<QString>("frames");
    QTest::addColumn<QString>("size");
    QTest::newRow("121 x 121, 1000 frames") << 121 << "1000"
                                            << "X= 121000, Y= 121";
    QTest::newRow("1 x 1, 32767 frames") << 1 << "32767"
                                         << "X= 32767, Y= 1";
    QTest::newRow("1 x 1, 33400 frames") << 1 << "33400"
                                         << "X= 33400, Y= 1";
}

// The strip's size, the pointer over the strip's far end and the last frame.
void TestForm1Load::readoutsShowTheirWholeText() {
    QFETCH(int, side);
    QFETCH(QString, frames);
    QFETCH(QString, size);
    FormFixture f;
    Form1& w = *f.form;
    const QPoint sizePlace = w.LabXY[2]->pos(), pointerPlace = w.LabXY[1]->pos();
    const QPoint framePlace = w.LabValue->pos();
    QVERIFY(f.load(QStringLiteral("k.bmp"), picture_files::Distinct(side, side)));
    w.txtIN[0]->selectAll();
    QTest::keyClicks(w.txtIN[0], frames);
    QTest::mouseClick(w.cmdStrip[0], Qt::LeftButton);
    QCOMPARE(w.LabXY[2]->text(), QString::fromUtf8("Maße: ") + size);
    QVERIFY(showsWholeText(w.LabXY[2], sizePlace));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::keyClick(w.HS_Strip, Qt::Key_End);
    const int lastX = w.picStrip->Width() - 1;
    QTest::mouseMove(w.picStrip, QPoint(lastX - 1, 0));  // the pointer may already be there
    QTest::mouseMove(w.picStrip, QPoint(lastX, 0));
    QTRY_COMPARE(w.LabXY[1]->text(), QStringLiteral("X, Y = %1 , 0").arg(lastX));
    QVERIFY(showsWholeText(w.LabXY[1], pointerPlace));
    QCOMPARE(w.LabValue->text(), frames);
    QVERIFY(showsWholeText(w.LabValue, framePlace));
    QTest::mouseClick(w.cmdStrip[0], Qt::LeftButton);  // names the frame it shows
    QCOMPARE(w.LabValue->text(), QStringLiteral(" 1"));
    QTest::keyClick(w.HSTest, Qt::Key_End);
    QCOMPARE(w.LabValue->text(), " " + frames);
    QVERIFY(showsWholeText(w.LabValue, framePlace));
}

namespace {

// The program as a process, with a home and a runtime folder of its own.
struct Program : QProcess {
    explicit Program(const QString& home) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
        setProcessEnvironment(env);
        setWorkingDirectory(home);
    }
    ~Program() override {
        terminate();
        waitForFinished(10000);
    }
};

// Where the program listens once it is up, with this runtime folder.
QString serverIn(const QString& runtime) {
    const QByteArray kept = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    const QString path = SingleInstance::ServerPath(QStringLiteral("quenwick-torvelink"));
    if (kept.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", kept);
    return path;
}

bool answers(const QString& server) {
    QLocalSocket probe;
    probe.connectToServer(server);
    return probe.waitForConnected(100);
}

}  // namespace

void TestForm1Load::secondCopyEndsAndNothingIsWritten() {
    QTemporaryDir home;
    Program first(home.path()), second(home.path());
    first.start(QStringLiteral(TORVELINK_PROGRAM), {QStringLiteral("--egal")});
    QVERIFY(first.waitForStarted());
    // The first copy is up once it answers on its socket.
    QTRY_VERIFY_WITH_TIMEOUT(answers(serverIn(home.path())), 30000);
    QCOMPARE(first.state(), QProcess::Running);
    second.start(QStringLiteral(TORVELINK_PROGRAM), {});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);
    first.terminate();  // an interrupt removes the socket too
    QVERIFY(first.waitForFinished(10000));
    QStringList left =
        QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(", ")));
}

// A process of another user takes every name it can before the program
// starts: the abstract socket names anyone may bind (which earlier copies
// listened on), and the program's own name, which it cannot make in the
// user's runtime folder. The program starts all the same.
void TestForm1Load::anotherUserCannotStopTheWindow() {
    if (::getuid() != 0)
        QSKIP("Starting a process of another user takes root; no second user is at hand.");
    QTemporaryDir home;
    const QString server = serverIn(home.path());
    QProcess squatter;
    squatter.setChildProcessModifier([] {
        constexpr gid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(3);
    });
    const char* script = R"(
import socket, sys
def take(address):
    s = socket.socket(socket.AF_UNIX)
    s.bind(address)
    s.listen()
    return s
held = []
for name in ('\0quenwick-torvelink-0', '\0quenwick-torvelink-' + sys.argv[2]):
    try:
        held.append(take(name))
    except OSError:
        pass  # held already, by a copy of an earlier program
try:
    held.append(take(sys.argv[1]))
    print('taken', flush=True)
except OSError:
    print('refused', flush=True)
sys.stdin.read()
)";
    squatter.setWorkingDirectory(QStringLiteral("/"));
    // Debian's own Python, which any user may run.
    squatter.start(
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral("-c"), QString::fromLatin1(script), server, QString::number(::getuid())});
    QVERIFY2(squatter.waitForReadyRead(10000), squatter.readAllStandardError().constData());
    QTRY_VERIFY(squatter.canReadLine());
    QCOMPARE(squatter.readLine(), QByteArray("refused\n"));
    Program program(home.path());
    program.start(QStringLiteral(TORVELINK_PROGRAM), {});
    QTRY_VERIFY_WITH_TIMEOUT(answers(server), 30000);
    QCOMPARE(program.state(), QProcess::Running);
    squatter.closeWriteChannel();
    QVERIFY(squatter.waitForFinished(10000));
}

QTEST_MAIN(TestForm1Load)
#include "tst_form1_load.moc"
