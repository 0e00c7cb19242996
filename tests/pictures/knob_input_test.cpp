#include "knob_input.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "drawing_files.h"
#include "drawing_player.h"
#include "drawing_protocol.h"
#include "message_text.h"
#include "picture_files.h"
#include "player_process.h"

using namespace Messages;
using namespace Pictures;

using KnobInput::Load;
using Pictures::LoadStatus;

namespace {

// 40 x 20 units: a red left half and a blue right half, nothing drawn in the
// top-left corner square.
const QByteArray kSvg =
    "<?xml version=\"1.0\"?>\n"
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"20\" viewBox=\"0 0 40 20\">"
    "<rect x=\"5\" y=\"0\" width=\"15\" height=\"20\" fill=\"#ff0000\"/>"
    "<rect x=\"20\" y=\"0\" width=\"20\" height=\"20\" fill=\"#0000ff\"/>"
    "<rect x=\"0\" y=\"5\" width=\"5\" height=\"15\" fill=\"#ff0000\"/></svg>";

class KnobFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const QString& name, const QByteArray& bytes) const {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return dir.filePath(name);
    }
    QString save(const QString& name, const QImage& image) const {
        EXPECT_TRUE(image.save(dir.filePath(name), nullptr, 100));  // WebP: lossless
        return dir.filePath(name);
    }
};

TEST_F(KnobFiles, SvgIsDrawnAtItsSizeOrAsAScaledSquare) {
    const QString svg = write("knopf.svg", kSvg);
    const auto own = Load(svg, {});
    ASSERT_EQ(own.status, LoadStatus::Loaded) << Text(own.message).toStdString();
    EXPECT_TRUE(own.vector);
    EXPECT_EQ(own.image.size(), QSize(40, 20));
    EXPECT_EQ(own.image.format(), QImage::Format_ARGB32) << "the undrawn corner is clear";
    EXPECT_EQ(own.image.pixel(1, 1), 0u);
    EXPECT_EQ(own.image.pixel(10, 10), qRgb(255, 0, 0));
    EXPECT_EQ(own.image.pixel(30, 10), qRgb(0, 0, 255));

    // A square of 32: the drawing 32 x 16, centred.
    const auto square = Load(svg, {1024, 32, 1.0});
    ASSERT_EQ(square.image.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(square.image.pixel(16, 4)), 0);
    EXPECT_EQ(square.image.pixel(8, 16), qRgb(255, 0, 0));
    EXPECT_EQ(square.image.pixel(24, 16), qRgb(0, 0, 255));

    const auto doubled = Load(svg, {1024, 32, 2.0});
    EXPECT_EQ(doubled.image.size(), QSize(64, 64));
    EXPECT_EQ(Load(svg, {1024, std::nullopt, 1.5}).image.size(), QSize(60, 30));
    const auto large = Load(svg, {63, 32, 2.0});
    EXPECT_EQ(large.status, LoadStatus::TooLarge);
    EXPECT_EQ(large.width, 64);
    EXPECT_EQ(large.height, 64);
    // Past any integer: too large, not empty, by the size the drawing gives.
    EXPECT_EQ(Load(svg, {1024, 2'000'000'000, 16.0}).status, LoadStatus::TooLarge);
    const auto wide = Load(write("weit.svg",
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" "
                                 "width=\"3000000000\" height=\"7\"/>"),
                           {});
    EXPECT_EQ(wide.status, LoadStatus::TooLarge) << Text(wide.message).toStdString();
    EXPECT_EQ(wide.width, 3'000'000'000);
    EXPECT_EQ(wide.height, 7);

    // Compressed, as .svgz.
    QFile::copy(svg, dir.filePath("knopf"));
    ASSERT_EQ(QProcess::execute("gzip", {"-S", "z", dir.filePath("knopf")}), 0);
    const QString svgz = dir.filePath("knopf.svgz");
    ASSERT_TRUE(QFile::rename(dir.filePath("knopfz"), svgz));
    EXPECT_EQ(Load(svgz, {}).image, own.image);

    // Whatever stands before <svg>: a licence of 5 KB in a comment.
    const auto prolog = Load(TORVELINK_SAMPLES "/hostile/svg/svg_long_prolog.svg", {});
    EXPECT_EQ(prolog.status, LoadStatus::Loaded) << Text(prolog.message).toStdString();
    EXPECT_EQ(prolog.image.size(), QSize(100, 100));
}

// The renderer would read a referenced file itself, a pipe that never ends
// included: a drawing that refers to other files is refused before it is drawn.
TEST_F(KnobFiles, DrawingsThatReferToOtherFilesAreRefused) {
    const QString pipe = dir.filePath("pipe");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QByteArray svg = kSvg;
    svg.replace("</svg>", "<image width=\"9\" height=\"9\" xlink:href=\"" + pipe.toUtf8() +
                              "\" xmlns:xlink=\"http://www.w3.org/1999/xlink\"/></svg>");
    const auto refused = Load(write("fremd.svg", svg), {});
    EXPECT_EQ(refused.status, LoadStatus::Unreadable);
    EXPECT_TRUE(Text(refused.message).contains("'fremd.svg'"))
        << Text(refused.message).toStdString();

    QByteArray inside = kSvg;
    inside.replace("fill=\"#0000ff\"", "fill=\"url(#g)\"");
    inside.replace("</svg>",
                   "<linearGradient id=\"g\"><stop stop-color=\"#00f\"/>"
                   "</linearGradient></svg>");
    EXPECT_EQ(Load(write("innen.svg", inside), {}).status, LoadStatus::Loaded);
}

// Short of memory, the drawing player draws a drawing whole or not at all:
// a picture in it is never left out. Address-space limits from too small
// to start Qt to enough for the 64 MB picture.
TEST_F(KnobFiles, ADrawingShortOfMemoryIsWholeOrRefused) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs more address space than any of these limits";
#endif
    QImage red(4000, 4000, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    const QByteArray svg = drawing_files::Svg(
        drawing_files::Image(drawing_files::DataUrl("image/png", drawing_files::Png(red))));
    bool drawn = false, late = false;
    for (int megabytes = 64; megabytes <= 320; megabytes += 32) {
        const QString player =
            write("player",
                  "#!/bin/sh\nulimit -v " + QByteArray::number(megabytes * 1024) + "\nexec " +
                      PlayerProcess::Beside(DrawingProtocol::kProgramName).toUtf8() + " \"$@\"\n");
        QFile::setPermissions(player, QFile::ReadOwner | QFile::ExeOwner);
        const auto played = DrawingPlayer::Play(player, svg, {64, 0, 1.0});
        using PlayerClient::Result;
        if (played.result == Result::Drawn) {
            drawn = true;
            EXPECT_EQ(played.image.pixel(20, 20), qRgb(255, 0, 0)) << megabytes << " MB";
        } else {
            // A loaded machine may end it at the deadline first: refused too.
            late = late || played.result == Result::TimedOut;
            EXPECT_TRUE(played.result == Result::OutOfMemory || played.result == Result::Crashed ||
                        played.result == Result::TimedOut)
                << megabytes << " MB: " << static_cast<int>(played.result);
        }
        QFile::remove(player);
    }
    // Drawn once there was memory enough, unless a loaded machine's
    // deadline ended a try that had it.
    EXPECT_TRUE(drawn || late);
}

TEST_F(KnobFiles, RasterPicturesKeepTransparencyAndAreNotScaled) {
    QImage clear = picture_files::Distinct(20, 10).convertToFormat(QImage::Format_ARGB32);
    clear.setPixel(0, 0, qRgba(255, 0, 0, 0));
    clear.setPixel(5, 5, qRgba(10, 20, 30, 99));
    for (const char* ending : {"png", "webp", "tiff"}) {
        const QString file = save(QStringLiteral("k.") + ending, clear);
        const auto picture = Load(file, {});
        ASSERT_EQ(picture.status, LoadStatus::Loaded) << ending;
        EXPECT_EQ(picture.image.format(), QImage::Format_ARGB32) << ending;
        // TIFF and WebP keep no colour under a wholly clear pixel.
        if (QByteArray(ending) == "png") {
            EXPECT_EQ(picture.image, clear);
        }
        EXPECT_EQ(qAlpha(picture.image.pixel(5, 5)), 99) << ending;
        EXPECT_EQ(picture.image.pixel(9, 9), clear.pixel(9, 9)) << ending;
        const auto scaled = Load(file, {1024, std::nullopt, 2.0});
        EXPECT_EQ(scaled.status, LoadStatus::Unreadable) << ending;
        EXPECT_TRUE(Text(scaled.message).contains("k.") &&
                    Text(scaled.message).contains("--scale"));
    }
    const auto opaque = Load(save("o.png", picture_files::Distinct(20, 10)), {});
    EXPECT_EQ(opaque.image.format(), QImage::Format_RGB32);
    EXPECT_EQ(Load(save("big.png", clear), {19, std::nullopt, 1.0}).status, LoadStatus::TooLarge);
    EXPECT_EQ(Load(save("k.bmp", picture_files::Distinct(20, 10)), {}).status, LoadStatus::Loaded);
}

// A compressed drawing is told by its text, whatever its name: standard
// input has none.
TEST_F(KnobFiles, CompressedDrawingsAreToldByTheirText) {
    const QByteArray packed = drawing_files::Gzip(kSvg);
    for (const QString& name : {QStringLiteral("knopf.svgz"), QStringLiteral("knopf")}) {
        const auto drawn = Load(write(name, packed), {});
        ASSERT_EQ(drawn.status, LoadStatus::Loaded) << Text(drawn.message).toStdString();
        EXPECT_TRUE(drawn.vector);
        EXPECT_EQ(drawn.image.size(), QSize(40, 20));
    }
    QFile input(write("kopie", packed));
    ASSERT_TRUE(input.open(QIODevice::ReadOnly));
    EXPECT_EQ(KnobInput::LoadOpen(input, "-", {}).status, LoadStatus::Loaded);
    // Compressed data that is no drawing is no picture of any kind.
    const auto other = Load(write("k.svgz", drawing_files::Gzip("just some words")), {});
    EXPECT_EQ(other.status, LoadStatus::Unreadable);
}

TEST_F(KnobFiles, BrokenAndForeignFilesAreNamed) {
    const QString ppm = save("k.ppm", picture_files::Distinct(8, 8));
    const auto foreign = Load(ppm, {});
    EXPECT_EQ(foreign.status, LoadStatus::Unreadable);
    EXPECT_TRUE(Text(foreign.message).contains("'k.ppm'") && Text(foreign.message).contains("SVG"))
        << Text(foreign.message).toStdString();
    for (const QByteArray& bytes :
         {QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\""),
          QByteArray("\x89PNG\r\n\x1a\n broken")}) {
        const auto broken = Load(write("kaputt.svg", bytes), {});
        EXPECT_EQ(broken.status, LoadStatus::Unreadable);
        EXPECT_TRUE(Text(broken.message).contains("'kaputt.svg'"))
            << Text(broken.message).toStdString();
    }
}

}  // namespace
