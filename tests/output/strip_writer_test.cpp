#include "strip_writer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include "fixtures.h"
#include "png_stream.h"
#include "qt_drawing.h"
#include "safe_file.h"
#include "strip_render.h"

namespace {

// The strip as the window builds it on its strip surface.
QImage windowStrip(StripOrientation o, const KnobParams& p, bool bilinear, const PixelGrid& src) {
    const bool across = o == StripOrientation::Horizontal;
    QImage surface(across ? src.width() * p.FrameCount : src.width(),
                   across ? src.height() : src.height() * p.FrameCount, QImage::Format_RGB32);
    surface.fill(Qt::black);
    RenderStrip(o, p, bilinear, src, ViewOf(surface));
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
    StripOrientation orientation;
    bool bilinear;
    int32_t frames;
};
constexpr auto H = StripOrientation::Horizontal;
constexpr auto V = StripOrientation::Vertical;

class StripFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

TEST(BmpHeader, AsQtsBitmapWriterWritesIt) {
    for (auto [w, h] :
         {std::pair{1, 1}, {2, 3}, {45, 1260}, {1260, 45}, {121000, 121}, {7, 8000}}) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::white);
        const auto header = StripFiles::BmpHeader(w, h);
        EXPECT_EQ(qtBitmap(image).left(54),
                  QByteArray(reinterpret_cast<const char*>(header.data()), 54))
            << w << "x" << h;
    }
}

// Odd sizes and padded rows, both orientations and routines, one frame, and
// strips of two bands (6 MiB each) whose last band is short; in the
// vertical one a frame lies across the bands' border.
TEST_F(StripFileTest, StreamedBitmapIsTheWindowsStripByteForByte) {
    const Case cases[] = {{1, 1, H, true, 1},      {3, 5, V, false, 7},   {45, 45, H, true, 28},
                          {37, 41, V, true, 30},   {45, 45, V, false, 1}, {101, 13, H, true, 2000},
                          {61, 61, V, false, 600}, {20, 30, H, false, 5}};
    for (const Case& c : cases) {
        const PixelGrid src = fixtures::Picture(c.w, c.h, 9);
        const KnobParams p{c.frames, static_cast<float>(c.w) / 2.0f, 10.0f};
        const auto written =
            StripFiles::WriteStrip(path("Knopf.bmp"), c.orientation, p, c.bilinear, src);
        ASSERT_TRUE(written.ok) << written.reason.toStdString();
        EXPECT_EQ(contents(path("Knopf.bmp")),
                  qtBitmap(windowStrip(c.orientation, p, c.bilinear, src)))
            << c.w << "x" << c.h << " frames " << c.frames << " bilinear " << c.bilinear;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Knopf.bmp"});
}

// Gathered and deflated in one call, and streamed through zlib.
TEST_F(StripFileTest, PngHoldsTheSamePixels) {
    const Case cases[] = {{45, 45, H, true, 28}, {37, 41, V, false, 30}, {3, 5, H, true, 1}};
    for (const Case& c : cases) {
        const PixelGrid src = fixtures::Picture(c.w, c.h, 4);
        const KnobParams p{c.frames, 16.5f, -7.0f};
        const QImage expected = windowStrip(c.orientation, p, c.bilinear, src);
        for (int64_t wholeLimit : {PngSink::kWholePictureBytes, int64_t{0}}) {
            SafeFile file(path("Knopf.png"));
            ASSERT_TRUE(file.open());
            PngSink sink(file, expected.width(), expected.height(), wholeLimit);
            ASSERT_TRUE(sink.begin() && ComposeStrip(c.orientation, p, c.bilinear, src, sink) &&
                        sink.finish() && file.commit());
            const QImage back(path("Knopf.png"), "png");
            EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), expected)
                << c.w << "x" << c.h << " streamed " << (wholeLimit == 0);
        }
    }
    const auto viaName =
        StripFiles::WriteStrip(path("k.PNG"), H, {5, 9.0f, 33.0f}, true, fixtures::Picture(20, 20));
    ASSERT_TRUE(viaName.ok);
    EXPECT_TRUE(contents(path("k.PNG")).startsWith("\x89PNG")) << "the name's ending chooses PNG";
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
        const auto written = StripFiles::WriteStrip(path(name), H, {50, 20.0f, 7.0f}, true, src);
        limit.rlim_cur = before;
        setrlimit(RLIMIT_FSIZE, &limit);
        signal(SIGXFSZ, handler);
        EXPECT_FALSE(written.ok) << name;
        EXPECT_EQ(written.reason, QString::fromUtf8("die Datei wäre größer als erlaubt"));
        EXPECT_EQ(contents(path(name)), "the strip saved before");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
        QFile::remove(path(name));
    }
}

}  // namespace
