// Strips for toolkits: transparent PNG strips, start and sweep angles, SVG
// knobs, batches and manifests, through the command line's whole run.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cmath>

#include "drawing_files.h"
#include "drawing_protocol.h"
#include "fixtures.h"
#include "knob_input.h"
#include "picture_files.h"
#include "qt_drawing.h"
#include "strip_cli.h"
#include "turned_frame.h"

using namespace Cli;
using namespace Drawing;
using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Plan;
using namespace Png;
using namespace Render;

namespace {

// A 33 x 33 knob: distinct colours, clear corners, a half-clear rim, and
// pure red hidden under the clear pixels.
QImage transparentKnob() {
    QImage knob = picture_files::Distinct(33, 33).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < 33; ++x) {
            const double d = std::hypot(x - 16.0, y - 16.0);
            if (d > 15.0)
                knob.setPixel(x, y, qRgba(255, 0, 0, 0));
            else if (d > 13.0)
                knob.setPixel(x, y, (knob.pixel(x, y) & 0xFFFFFF) | 0x80000000u);
        }
    return knob;
}

// Frame i of a strip, top to bottom or left to right.
QImage frameOf(const QImage& strip, int i, QSize frame, bool vertical) {
    return strip.copy(vertical ? 0 : (i - 1) * frame.width(),
                      vertical ? (i - 1) * frame.height() : 0, frame.width(), frame.height());
}

// The frame the engine builds from the picture's straight-alpha pixels.
QImage engineFrame(const QImage& picture, int i, const KnobParams& p, bool keepAlpha) {
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    PixelGrid src;
    src.allocate(argb.width(), argb.height());
    for (int y = 0; y < argb.height(); ++y)
        std::memcpy(src.data() + src.offset(1, 1, y + 1), argb.constScanLine(y),
                    static_cast<std::size_t>(argb.width()) * 4);
    const PixelGrid frame = fixtures::Frame(true, i, p, src, {.opacity = keepAlpha});
    // The grid's rows are those of a top-down 32-bit picture without padding.
    const QImage out = QImage(frame.data(), frame.width(), frame.height(), frame.width() * 4,
                              QImage::Format_ARGB32)
                           .copy();
    return keepAlpha ? out : out.convertToFormat(QImage::Format_RGB32);
}

class KnobStrips : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString out, err;

    int run(const QStringList& args, bool terminal = false) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        return Cli::Run(args, o, e, terminal);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString save(const QString& name, const QImage& image) const {
        EXPECT_TRUE(image.save(path(name)));
        return path(name);
    }
    QString write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path(name);
    }
    QJsonObject manifest(const QString& name) const {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        return QJsonDocument::fromJson(file.readAll()).object();
    }
};

TEST_F(KnobStrips, TransparentPictureGivesAnRgbaPngStrip) {
    const QImage knob = transparentKnob();
    const QString png = save("k.png", knob);
    ASSERT_EQ(run({png, "--vertical", "--frames", "4", "--angle", "37", "--format", "png"}), 0)
        << err.toStdString();
    const QImage strip(path("k_Seq_V.png"));
    ASSERT_EQ(strip.size(), QSize(33, 132));
    ASSERT_TRUE(strip.hasAlphaChannel());
    const QImage argb = strip.convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(frameOf(argb, 1, knob.size(), true), knob) << "frame 1 is the picture itself";
    for (int i = 2; i <= 4; ++i)
        EXPECT_EQ(frameOf(argb, i, knob.size(), true),
                  engineFrame(knob, i, {4, 16.5f, 37.0f}, true))
            << "frame " << i;
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(argb.pixel(0, (i - 1) * 33), qRgba(255, 0, 0, 0)) << "corners stay as they were";
}

TEST_F(KnobStrips, OpaquePngHasTheBmpPixelsAndBmpLiesOnGrey) {
    const QString opaque = save("o.png", picture_files::Distinct(30, 30));
    ASSERT_EQ(run({opaque, "-o", path("o.png.png")}), 0) << err.toStdString();
    ASSERT_EQ(run({opaque, "-o", path("o.bmp")}), 0) << err.toStdString();
    QFile raw(path("o.png.png"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.read(26).at(25), 2) << "colour type 2: RGB without alpha";
    EXPECT_EQ(QImage(path("o.png.png")).convertToFormat(QImage::Format_RGB32),
              QImage(path("o.bmp")).convertToFormat(QImage::Format_RGB32));

    const QImage knob = transparentKnob();
    const QString png = save("k.png", knob);
    ASSERT_EQ(run({png, "--frames", "2", "--format", "bmp"}), 0) << err.toStdString();
    EXPECT_TRUE(err.contains("sie liegt auf Grau 192,192,192")) << "said so";
    const QImage grey(path("k_Seq_H.bmp"));
    const QImage flat = Pictures::OverColour(knob, qRgb(192, 192, 192));
    EXPECT_EQ(frameOf(grey, 2, knob.size(), false).convertToFormat(QImage::Format_RGB32),
              engineFrame(flat, 2, {2, 16.5f, 10.0f}, false));
    EXPECT_EQ(grey.pixel(0, 0), qRgb(192, 192, 192));
    ASSERT_EQ(run({png, "--frames", "2", "--background", "0,0,255", "--format", "png"}), 0);
    const QImage blue(path("k_Seq_H.png"));
    EXPECT_FALSE(blue.hasAlphaChannel());
    EXPECT_EQ(blue.pixel(33, 0), qRgb(0, 0, 255));
}

TEST_F(KnobStrips, StartAndSweepMeetTheFixedStepFrames) {
    const QString knob = save("k.png", picture_files::Distinct(31, 31));
    ASSERT_EQ(run({knob, "--angle", "10", "--frames", "3", "-o", path("step.png")}), 0);
    ASSERT_EQ(run({knob, "--start", "20", "--frames", "1", "-o", path("start.png")}), 0);
    ASSERT_EQ(run({knob, "--sweep", "20", "--frames", "3", "-o", path("sweep.png")}), 0);
    const QImage step(path("step.png"));
    EXPECT_EQ(QImage(path("start.png")), frameOf(step, 3, {31, 31}, false));
    EXPECT_EQ(QImage(path("sweep.png")), step);
    EXPECT_NE(frameOf(step, 3, {31, 31}, false), frameOf(step, 1, {31, 31}, false));
}

TEST_F(KnobStrips, SvgKnobsAtTwiceTheSize) {
    const QString svg = write(
        "knopf.svg",
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\" viewBox=\"0 0 10 "
        "10\">"
        "<circle cx=\"5\" cy=\"5\" r=\"4\" fill=\"#336699\"/><rect x=\"4.5\" y=\"1\" width=\"1\" "
        "height=\"3\" fill=\"#ffffff\"/></svg>");
    ASSERT_EQ(run({svg, "--size", "16", "--scale", "2", "--radius", "7", "--frames", "3",
                   "--vertical", "--format", "png", "--manifest"}),
              0)
        << err.toStdString();
    EXPECT_EQ(QImage(path("knopf_Seq_V.png")).size(), QSize(32, 96));
    const QJsonObject m = manifest("knopf_Seq_V.json");
    EXPECT_EQ(m["radius"].toDouble(), 14.0) << "a given radius grows with the drawing";
    EXPECT_EQ(m["frameWidth"].toInt(), 32);
    EXPECT_TRUE(m["alpha"].toBool());

    const QString raster = save("r.png", picture_files::Distinct(8, 8));
    EXPECT_EQ(run({raster, "--scale", "2"}), 2) << "what the options ask of it is a usage error";
    EXPECT_TRUE(err.contains("r.png'") && err.contains("--scales")) << err.toStdString();
    EXPECT_FALSE(QFile::exists(path("r_Seq_H.bmp")));
}

TEST_F(KnobStrips, BatchGoesOnPastABrokenPicture) {
    const QString a = save("a.png", transparentKnob());
    const QString broken = write("kaputt.png", "\x89PNG\r\n\x1a\n nothing more");
    const QString c = save("c.bmp", picture_files::Distinct(20, 20));
    const QString folder = path("out") + "/";
    ASSERT_EQ(run({a, broken, c, "--start", "-135", "--sweep", "270", "--frames", "128",
                   "--vertical", "--format", "png", "--manifest", "-o", folder}),
              1);
    EXPECT_TRUE(err.contains(broken + "'")) << err.toStdString();
    EXPECT_EQ(err.count('\n'), 1) << "one message, no progress line off a terminal";
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              (QStringList{"a_Seq_V.json", "a_Seq_V.png", "c_Seq_V.json", "c_Seq_V.png"}));
    const QJsonObject m = manifest("out/a_Seq_V.json");
    EXPECT_EQ(m["file"].toString(), "a_Seq_V.png");
    EXPECT_EQ(m["frames"].toInt(), 128);
    EXPECT_EQ(m["frameHeight"].toInt(), 33);
    EXPECT_EQ(m["orientation"].toString(), "vertical");
    EXPECT_EQ(m["startAngle"].toDouble(), -135.0);
    EXPECT_EQ(m["stepAngle"].toDouble(), 2.1259842) << "270 / 127 as a float, in its own digits";
    EXPECT_EQ(m["radius"].toDouble(), 16.5);
    EXPECT_EQ(m["routine"].toString(), "bilinear");
    EXPECT_TRUE(m["alpha"].toBool());
    EXPECT_FALSE(manifest("out/c_Seq_V.json")["alpha"].toBool());

    // A manifest that cannot be written stops its strip: an older strip stays.
    ASSERT_TRUE(QDir(folder).mkdir("a_Seq_H.json"));
    write("out/a_Seq_H.png", "older strip");
    EXPECT_EQ(run({a, "--manifest", "--format", "png", "-o", folder}), 1);
    EXPECT_TRUE(err.contains("a_Seq_H.json'")) << err.toStdString();
    QFile older(folder + "a_Seq_H.png");
    ASSERT_TRUE(older.open(QIODevice::ReadOnly));
    EXPECT_EQ(older.readAll(), "older strip");

    ASSERT_EQ(run({a, c, "-o", folder}, true), 0);
    EXPECT_TRUE(err.contains("Bild 2 von 2: " + c)) << "progress on a terminal";

    // A picture of the run is never written over, whatever its name says.
    QFile picture(a);
    ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
    const QByteArray before = picture.readAll();
    picture.close();
    EXPECT_EQ(run({a, "-o", a}), 1);
    EXPECT_TRUE(err.contains(a + "'")) << err.toStdString();
    ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
    EXPECT_EQ(picture.readAll(), before);
}

// A grid sheet and frame files hold exactly the horizontal strip's frames:
// frame i at column (i - 1) % 3, row (i - 1) / 3; the short last row clear.
TEST_F(KnobStrips, GridsAndFrameFilesHoldTheStripsFrames) {
    const QString png = save("k.png", transparentKnob());
    const QStringList angles{"--frames", "7", "--start", "-90", "--end", "90"};
    ASSERT_EQ(run(QStringList{png, "-o", path("h.png")} + angles), 0) << err.toStdString();
    ASSERT_EQ(run(QStringList{png, "-o", path("g.png"), "--layout", "grid:3"} + angles), 0);
    ASSERT_EQ(run(QStringList{png, "-o", path("f/"), "--layout", "frames"} + angles), 0);
    const QImage strip = QImage(path("h.png")).convertToFormat(QImage::Format_ARGB32);
    const QImage grid = QImage(path("g.png")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(grid.size(), QSize(3 * 33, 3 * 33));
    for (int i = 1; i <= 7; ++i) {
        const QImage frame = frameOf(strip, i, {33, 33}, false);
        EXPECT_EQ(grid.copy((i - 1) % 3 * 33, (i - 1) / 3 * 33, 33, 33), frame) << "grid " << i;
        const QImage file(path("f/k_Seq_F_%1.png").arg(i, 4, 10, QLatin1Char('0')));
        EXPECT_EQ(file.convertToFormat(QImage::Format_ARGB32), frame) << "file " << i;
    }
    const QImage empty = grid.copy(33, 66, 66, 33);
    EXPECT_EQ(empty.pixel(10, 10), 0u) << "the short last row stays clear";
    EXPECT_FALSE(QFile::exists(path("f/k_Seq_F_0008.png")));
}

}  // namespace

namespace {

// The bytes of one array of a header the program wrote: its '\xNN' elements.
QByteArray headerArray(const QByteArray& header, const QByteArray& name) {
    const qsizetype open = header.indexOf("static const char " + name + "[] = {");
    const qsizetype close = header.indexOf("};", open);
    QByteArray bytes;
    for (qsizetype at = header.indexOf("'\\x", open); at >= 0 && at < close;
         at = header.indexOf("'\\x", at + 1))
        bytes += static_cast<char>(header.mid(at + 3, 2).toInt(nullptr, 16));
    return bytes;
}

QByteArray contentsOf(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a plug-in developer tripped on: odd-sized art at two scales, the
// header written as its strips are made, every file said, a folder named
// without an ending, a picture named as it was given, progress on a
// terminal.
TEST_F(KnobStrips, APluginDevelopersRun) {
    QImage odd(127, 127, QImage::Format_ARGB32);
    odd.fill(qRgba(200, 40, 40, 255));
    const QString knob = save("knob.png", odd);
    ASSERT_EQ(run({knob, "--for", "dpf", "--scales", "1,2", "-o", path("strips")}, true), 0)
        << err.toStdString();
    EXPECT_EQ(QImage(path("strips/knob_Seq_V.png")).size(), QSize(64, 64 * 127));
    EXPECT_EQ(QImage(path("strips/knob_Seq_V@2x.png")).size(), QSize(128, 128 * 127))
        << "laid on a 128-pixel margin, not enlarged";
    EXPECT_TRUE(err.contains("127 x 127")) << "the margin is said";
    EXPECT_TRUE(err.contains("knob_Seq_V@2x.png: ") && err.contains(" %"))
        << "progress on a terminal";
    const QByteArray header = contentsOf(path("strips/knob_Seq_V.h"));
    EXPECT_EQ(headerArray(header, "knob_data"), contentsOf(path("strips/knob_Seq_V.png")));
    EXPECT_EQ(headerArray(header, "knob_data_2x"), contentsOf(path("strips/knob_Seq_V@2x.png")));
    const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(path("strips/knob_Seq_V.h") + ": ")) << "side files too";
    ASSERT_EQ(run({knob, "--for", "vstgui", "-o", path("strips")}), 0);
    EXPECT_TRUE(out.startsWith(path("strips/knob_Seq_V.uidesc") + ": eine VSTGUI-Beschreibung"))
        << out.toStdString();

    // A picture is named as it was given, its folder too.
    ASSERT_TRUE(QDir(dir.path()).mkdir("nofolder"));
    EXPECT_EQ(run({path("nofolder/knob.png")}), 1);
    EXPECT_TRUE(err.contains("'" + path("nofolder/knob.png") + "'")) << err.toStdString();
}

}  // namespace

namespace {

// A recipe makes exactly the strip of its command line; the command line's
// options win over the recipe's; a file the recipe names through a link out
// of its folder is refused.
TEST_F(KnobStrips, RecipesAreTheirCommandLines) {
    save("body.png", transparentKnob());
    QImage shade(40, 40, QImage::Format_ARGB32);
    shade.fill(qRgba(0, 0, 0, 90));
    save("shadow.png", shade);
    write("knob.json",
          R"({"picture": "body.png", "under": ["shadow.png"], "arc": "#ff8800,3,16",
              "frames": 9, "start": -120, "end": 120, "vertical": true, "format": "png"})");
    ASSERT_EQ(run({path("knob.json"), "-o", path("recipe/")}), 0) << err.toStdString();
    ASSERT_EQ(run({path("body.png"), "--under", path("shadow.png"), "--arc", "#ff8800,3,16",
                   "--frames", "9", "--start", "-120", "--end", "120", "--vertical", "--format",
                   "png", "-o", path("options/")}),
              0)
        << err.toStdString();
    EXPECT_EQ(contentsOf(path("recipe/knob_Seq_V.png")),
              contentsOf(path("options/body_Seq_V.png")));
    ASSERT_EQ(run({path("knob.json"), "--frames", "5", "--horizontal", "-o", path("wins/")}), 0);
    EXPECT_EQ(QImage(path("wins/knob_Seq_H.png")).size(), QSize(5 * 40, 40));

    QDir(dir.path()).mkdir("pack");
    ASSERT_TRUE(QFile::link(path("body.png"), path("pack/body.png")));
    write("pack/knob.json", R"({"picture": "body.png"})");
    EXPECT_EQ(run({path("pack/knob.json")}), 1);
    EXPECT_TRUE(err.contains("body.png") && err.contains("Ordner des Rezepts"))
        << err.toStdString();
}

// The largest difference of two pictures' premultiplied channels.
int premultipliedDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return 256;
    const QImage pa = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage pb = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int most = 0;
    for (int y = 0; y < pa.height(); ++y)
        for (int x = 0; x < pa.width(); ++x)
            for (int shift = 0; shift < 32; shift += 8)
                most = std::max(most, std::abs(static_cast<int>((pa.pixel(x, y) >> shift) & 0xFF) -
                                               static_cast<int>((pb.pixel(x, y) >> shift) & 0xFF)));
    return most;
}

// A 40 x 40 knob drawing with thin slanted lines, clear corners.
QByteArray knobDrawing(const QByteArray& transform = "") {
    return drawing_files::Svg(
        "<g transform=\"" + transform +
        "\"><circle cx=\"20\" cy=\"20\" r=\"17\" fill=\"#40608a\"/>"
        "<rect x=\"19.3\" y=\"4\" width=\"1.4\" height=\"15\" fill=\"#ffdd22\"/>"
        "<path d=\"M9 30 L17 23\" stroke=\"#ffffff\" stroke-width=\"0.8\"/></g>");
}

// A drawing turned on the command line is drawn with each frame's turn in
// it: frame k is the drawing player's own drawing of the drawing turned by
// the frame's angle, the disc reaching past the corners; a drawing that
// slides is drawn where it lies, a whole-pixel slide the first frame moved.
// With --routine the drawing's pixels are turned instead, as the manifest
// says.
TEST_F(KnobStrips, DrawingsTurnAsDrawings) {
    const QString svg = write("knopf.svg", knobDrawing());
    ASSERT_EQ(run({svg, "--frames", "5", "--start", "-50", "--angle", "37", "--radius", "30",
                   "--vertical", "--format", "png", "--manifest"}),
              0)
        << err.toStdString();
    const QImage strip(path("knopf_Seq_V.png"));
    ASSERT_EQ(strip.size(), QSize(40, 200));
    EXPECT_EQ(manifest("knopf_Seq_V.json")["routine"].toString(), "drawing");
    for (int i = 1; i <= 5; ++i) {
        const double angle = -50.0 + 37.0 * (i - 1);
        const QString turned =
            write(QString("gedreht%1.svg").arg(i),
                  knobDrawing("rotate(" + QByteArray::number(angle) + " 20 20)"));
        KnobInput::Request finest;
        finest.oversample = DrawingProtocol::kFinest;  // as the strip's frames are drawn
        const auto reference = KnobInput::Load(turned, finest);
        ASSERT_EQ(reference.status, LoadStatus::Loaded);
        EXPECT_LE(premultipliedDifference(frameOf(strip, i, {40, 40}, true), reference.image), 1)
            << "frame " << i;
    }
    ASSERT_EQ(run({svg, "--frames", "5", "--start", "-50", "--angle", "37", "--radius", "30",
                   "--vertical", "--format", "png", "--manifest", "--routine", "sharp", "-o",
                   path("pixels/")}),
              0);
    EXPECT_EQ(manifest("pixels/knopf_Seq_V.json")["routine"].toString(), "sharp");
    EXPECT_GT(premultipliedDifference(QImage(path("pixels/knopf_Seq_V.png")), strip), 8);

    const QString cap =
        write("kappe.svg", drawing_files::Svg("<rect x=\"1.5\" y=\"2.25\" width=\"6.5\" "
                                              "height=\"5\" rx=\"1.7\" fill=\"#dd3344\"/>",
                                              10, 10));
    ASSERT_EQ(
        run({cap, "--motion", "slide", "--canvas", "40,12", "--slide-from", "0,1", "--slide-to",
             "24,1", "--frames", "4", "--vertical", "--format", "png", "--manifest"}),
        0)
        << err.toStdString();
    const QImage slides(path("kappe_Seq_V.png"));
    ASSERT_EQ(slides.size(), QSize(40, 48));
    EXPECT_EQ(manifest("kappe_Seq_V.json")["layers"].toArray().at(0)["routine"].toString(),
              "drawing");
    const QImage first = frameOf(slides, 1, {40, 12}, true);
    for (int i = 2; i <= 4; ++i) {
        QImage moved(40, 12, QImage::Format_ARGB32);
        moved.fill(Qt::transparent);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x + 8 * (i - 1) < 40; ++x)
                moved.setPixel(x + 8 * (i - 1), y, first.pixel(x, y));
        EXPECT_LE(premultipliedDifference(frameOf(slides, i, {40, 12}, true), moved), 1)
            << "frame " << i;
    }

    // A drawing of one colour turned inside a small disc, drawn four times
    // as large and averaged down: no edge shows.
    const QString plain = write("eben.svg", drawing_files::Svg("<rect width=\"40\" height=\"40\" "
                                                               "fill=\"#7a3c91\"/>"));
    ASSERT_EQ(run({plain, "--frames", "3", "--angle", "33", "--radius", "11.3", "--oversample", "4",
                   "--format", "png"}),
              0)
        << err.toStdString();
    const QImage even = QImage(path("eben_Seq_H.png")).convertToFormat(QImage::Format_ARGB32);
    int off = 0;
    for (int y = 0; y < even.height(); ++y)
        for (int x = 0; x < even.width(); ++x) off += even.pixel(x, y) != qRgb(0x7a, 0x3c, 0x91);
    EXPECT_EQ(off, 0);
}

}  // namespace
