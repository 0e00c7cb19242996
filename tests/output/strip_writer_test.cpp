#include "strip_writer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <cerrno>

#include "bmp_header.h"
#include "file_sink.h"
#include "fixtures.h"
#include "message_text.h"
#include "picture_files.h"
#include "picture_io.h"
#include "png_encoder.h"
#include "png_strip_sink.h"
#include "qt_drawing.h"
#include "safe_file.h"
#include "strip_compositor.h"
#include "strip_render.h"

using namespace Drawing;
using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Platform;
using namespace Png;
using namespace Render;

namespace {

// A strip composed into a file of its own, put in place when complete, as
// the command line's batch does for each of its files.
Message writeStrip(const QString& path, Output::Format format, const Output::Frames& frames) {
    SafeFile file(path);
    if (!file.open()) return file.cannotSave();
    FileSink out(file);
    const Message why =
        Output::WhyStopped(Output::ComposeInto(out, format, frames), file.name(), file.reason());
    if (why) {
        file.discard();
        return why;
    }
    if (!file.commit()) return file.cannotSave();
    return {};
}

// The strip as the window builds it on its strip surface.
QImage windowStrip(StripLayout o, const KnobParams& p, Routine routine, const PixelGrid& src) {
    const bool across = o == StripLayout::Horizontal();
    QImage surface(across ? src.width() * p.FrameCount : src.width(),
                   across ? src.height() : src.height() * p.FrameCount, QImage::Format_RGB32);
    surface.fill(Qt::black);
    RenderStrip(o, p, routine, src, ViewOf(surface));
    return surface;
}

// What Qt's bitmap writer makes of the surface, at the program's 100 dpi.
QByteArray qtBitmap(QImage image) {
    image.setDotsPerMeterX(3937);
    image.setDotsPerMeterY(3937);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(QImageWriter(&buffer, "bmp").write(image));
    return bytes;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Case {
    int32_t w, h;
    StripLayout orientation;
    Routine routine;
    int32_t frames;
};
constexpr auto H = StripLayout::Horizontal();
constexpr auto V = StripLayout::Vertical();

class StripFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

TEST(ExportFileName, SuffixByOrientation) {
    EXPECT_EQ(Output::ExportFileName("Demo", true), "Demo_Seq_H.bmp");
    EXPECT_EQ(Output::ExportFileName("Drehknopf", false), "Drehknopf_Seq_V.bmp");
    EXPECT_EQ(Output::ExportFileName("", true), "_Seq_H.bmp");
    EXPECT_EQ(Output::ExportFileName("k", true, Output::Format::Png), "k_Seq_H.png");
}

TEST(BmpHeader, AsQtsBitmapWriterWritesIt) {
    for (auto [w, h] :
         {std::pair{1, 1}, {2, 3}, {45, 1260}, {1260, 45}, {121000, 121}, {7, 8000}}) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::white);
        const auto header = BmpHeader::Write(w, h);
        EXPECT_EQ(qtBitmap(image).left(54),
                  QByteArray(reinterpret_cast<const char*>(header.data()), 54))
            << w << "x" << h;
    }
}

// A picture's frames turned in its disc, and the strip they make.
struct DiscStrip {
    DiscStrip(StripLayout o, const KnobParams& p, Routine routine, const PixelGrid& src)
        : disc(p, routine, src),
          frames{o, ComputeStripSize(o, src.width(), src.height(), p.FrameCount), &disc} {}
    DiscStrip(const DiscStrip&) = delete;
    Render::DiscFrames disc;
    Output::Frames frames;
};

DiscStrip framesOf(StripLayout o, const KnobParams& p, Routine routine, const PixelGrid& src) {
    return DiscStrip(o, p, routine, src);
}

// Odd sizes and padded rows, both orientations and routines, one frame, and
// strips of two bands (6 MiB each) whose last band is short; in the
// vertical one a frame lies across the bands' border. The window saves the
// strip it has drawn; the file is the command line's, header included.
TEST_F(StripFileTest, StreamedBitmapIsTheWindowsStripByteForByte) {
    const Case cases[] = {{1, 1, H, Routine::Bilinear, 1},    {3, 5, V, Routine::Nearest, 7},
                          {45, 45, H, Routine::Bilinear, 28}, {37, 41, V, Routine::Bilinear, 30},
                          {45, 45, V, Routine::Nearest, 1},   {101, 13, H, Routine::Bilinear, 2000},
                          {61, 61, V, Routine::Nearest, 600}, {20, 30, H, Routine::Nearest, 5}};
    for (const Case& c : cases) {
        const PixelGrid src = fixtures::Picture(c.w, c.h, 9);
        const KnobParams p{c.frames, static_cast<float>(c.w) / 2.0f, 10.0f};
        const auto written = writeStrip(path("Knopf.bmp"), Output::Format::Bmp,
                                        framesOf(c.orientation, p, c.routine, src).frames);
        ASSERT_FALSE(written) << Text(written).toStdString();
        QImage drawn = windowStrip(c.orientation, p, c.routine, src);
        ASSERT_FALSE(Output::WriteStripImage(path("Fenster.bmp"), ViewOf(drawn)));
        EXPECT_EQ(contents(path("Knopf.bmp")), qtBitmap(drawn))
            << c.w << "x" << c.h << " frames " << c.frames << " routine " << RoutineName(c.routine);
        EXPECT_EQ(contents(path("Fenster.bmp")), contents(path("Knopf.bmp")));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"Fenster.bmp", "Knopf.bmp"}));
}

// Every level, in bands of one or a few rows and in one band.
TEST_F(StripFileTest, PngHoldsTheSamePixels) {
    const Case cases[] = {{45, 45, H, Routine::Bilinear, 28},
                          {37, 41, V, Routine::Nearest, 30},
                          {3, 5, H, Routine::Bilinear, 1}};
    for (const Case& c : cases) {
        const PixelGrid src = fixtures::Picture(c.w, c.h, 4);
        const KnobParams p{c.frames, 16.5f, -7.0f};
        const QImage expected = windowStrip(c.orientation, p, c.routine, src);
        for (auto level : {PngCompression::Fast, PngCompression::Default, PngCompression::Small})
            for (int64_t bandBytes : {int64_t{1}, int64_t{5000}, PngEncoder::kBandBytes}) {
                SafeFile file(path("Knopf.png"));
                ASSERT_TRUE(file.open());
                FileSink out(file);
                PngEncoder encoder(
                    out, {expected.width(), expected.height(), false, BmpHeader::kPixelsPerMetre},
                    {level, 0, bandBytes});
                Output::PngStripSink sink(encoder);
                ASSERT_TRUE(encoder.begin() &&
                            ComposeStrip(c.orientation, p, c.routine, src, sink) &&
                            encoder.finish() && file.commit());
                const QImage back(path("Knopf.png"), "png");
                EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), expected)
                    << c.w << "x" << c.h << " level " << static_cast<int>(level) << " band bytes "
                    << bandBytes;
            }
    }
}

TEST_F(StripFileTest, DrawnStripLoadsBackPixelForPixelAs24BitBmp) {
    QImage strip = picture_files::Distinct(90, 45).convertToFormat(QImage::Format_RGB32);
    const QString file = path("Demo_Seq_H.bmp");
    ASSERT_FALSE(Output::WriteStripImage(file, ViewOf(strip)));
    QFile raw(file);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray header = raw.read(54);
    const auto facts = BmpHeader::Read(reinterpret_cast<const uint8_t*>(header.constData()),
                                       static_cast<std::size_t>(header.size()));
    ASSERT_TRUE(facts) << "an uncompressed 24-bit bitmap";
    EXPECT_EQ(*facts, (BmpHeader::Facts{90, 45, 54 + 272 * 45}));
    const auto back = Pictures::LoadPicture(file, 121);
    ASSERT_EQ(back.status, Pictures::LoadStatus::Loaded) << Text(back.message).toStdString();
    EXPECT_EQ(back.image.convertToFormat(QImage::Format_RGB32), strip);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Demo_Seq_H.bmp"})
        << "no temporary file is left behind";
}

TEST_F(StripFileTest, FailedSavesSayWhyAndKeepEverything) {
    const QString old = path("Knopf_Seq_H.bmp");
    {
        QFile file(old);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("the strip saved before");
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("Ordner.bmp"));
    ASSERT_EQ(mkfifo(QFile::encodeName(path("Pipe.bmp")).constData(), 0600), 0);
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
    const std::pair<QString, const char*> cases[] = {
        {old, "die Datei w\u00e4re gr\u00f6\u00dfer als erlaubt"},  // past the size limit
        {path("fehlt/x.bmp"), "der Ordner existiert nicht"},
        {path("Ordner.bmp"), "unter diesem Namen steht ein Ordner"},
        {path("Pipe.bmp"), "unter diesem Namen steht keine gew\u00f6hnliche Datei"},
        {path(QString(252, 'n') + ".bmp"), "der Name ist zu lang"},
    };
    struct rlimit unlimited {};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    for (const auto& [target, reason] : cases) {
        struct rlimit small = unlimited;
        small.rlim_cur = target == old ? 4096 : unlimited.rlim_cur;  // a disk that fills up
        setrlimit(RLIMIT_FSIZE, &small);
        QImage strip = picture_files::Distinct(400, 45).convertToFormat(QImage::Format_RGB32);
        const Message result = Output::WriteStripImage(target, ViewOf(strip));
        setrlimit(RLIMIT_FSIZE, &unlimited);
        EXPECT_EQ(Text(result),
                  QStringLiteral("Die Datei '%1' konnte nicht gespeichert werden: %2.")
                      .arg(QFileInfo(target).fileName(), QString::fromUtf8(reason)));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden), before)
            << "no temporary file is left: " << reason;
    }
    signal(SIGXFSZ, oldHandler);
    QFile kept(old);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "the strip saved before");
}

// A strip kept in memory that cannot grow (a sink with a limit, failing as
// a full memory does) is told as want of memory, not as a file that could
// not be saved, whether the sink gives up in the header or among the rows.
TEST(ComposeInto, ASinkInMemoryThatCannotGrowIsWantOfMemory) {
    MemorySink small(4);
    const uint8_t bytes[3] = {1, 2, 3};
    EXPECT_TRUE(small.write(bytes, 3));
    EXPECT_FALSE(small.write(bytes, 2));
    EXPECT_EQ(small.error(), ENOMEM);
    EXPECT_EQ(small.bytes.size(), 3u);

    const PixelGrid src = fixtures::Picture(45, 45);
    for (auto format : {Output::Format::Bmp, Output::Format::Png})
        for (std::size_t limit : {std::size_t{0}, std::size_t{100}}) {
            MemorySink memory(limit);
            const auto composed = Output::ComposeInto(
                memory, format, framesOf(H, {50, 20.0f, 7.0f}, Routine::Bilinear, src).frames);
            EXPECT_EQ(memory.error(), ENOMEM);
            EXPECT_EQ(Text(Output::WhyStopped(composed, "Knopf", SystemReason(memory.error())))
                          .toStdString(),
                      "Nicht genug Speicher für eine Sequenz von 2250 x 45 Pixeln.")
                << "format " << static_cast<int>(format) << " limit " << limit;
        }
}

TEST_F(StripFileTest, FailedWriteKeepsTheOldFileAndLeavesNoTemporaryOne) {
    const PixelGrid src = fixtures::Picture(45, 45);
    for (const char* name : {"Knopf_Seq_H.bmp", "Knopf_Seq_H.png"}) {
        QFile old(path(name));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the strip saved before");
        old.close();
        // A disk that fills up in the middle of the strip (about 300 kB).
        struct rlimit limit {};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlim_t before = limit.rlim_cur;
        const auto handler = signal(SIGXFSZ, SIG_IGN);
        limit.rlim_cur = 64 * 1024;
        setrlimit(RLIMIT_FSIZE, &limit);
        const auto format = Output::FormatOfName(path(name)).value();
        const auto written = writeStrip(
            path(name), format, framesOf(H, {50, 20.0f, 7.0f}, Routine::Bilinear, src).frames);
        limit.rlim_cur = before;
        setrlimit(RLIMIT_FSIZE, &limit);
        signal(SIGXFSZ, handler);
        EXPECT_EQ(Text(written),
                  QStringLiteral("Die Datei '%1' konnte nicht gespeichert werden: die Datei wäre "
                                 "größer als erlaubt.")
                      .arg(name));
        EXPECT_EQ(contents(path(name)), "the strip saved before");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
        QFile::remove(path(name));
    }
}

}  // namespace
