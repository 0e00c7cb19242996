#include "picture_io.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "message_text.h"
#include "picture_files.h"

using namespace Messages;
using namespace Pictures;

using Pictures::LoadPicture;
using Pictures::LoadStatus;

namespace {

class PictureFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path(name);
    }
    QString save(const QString& name, const QImage& image, const char* format) const {
        EXPECT_TRUE(image.save(path(name), format));
        return path(name);
    }
};

bool samePixels(const QImage& a, const QImage& b) {
    return a.size() == b.size() &&
           a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

TEST_F(PictureFiles, EachKindLoadsAtItsOwnSize) {
    const QImage knob = picture_files::Distinct(45, 45);
    const auto bmp = LoadPicture(save("k.bmp", knob, "BMP"), 121);
    ASSERT_EQ(bmp.status, LoadStatus::Loaded);
    EXPECT_TRUE(samePixels(bmp.image, knob));
    const auto jpeg = LoadPicture(save("k.jpg", knob, "JPEG"), 121);
    ASSERT_EQ(jpeg.status, LoadStatus::Loaded);
    EXPECT_EQ(jpeg.image.size(), QSize(45, 45));
    EXPECT_EQ(jpeg.image.format(), QImage::Format_RGB32);
    const auto ico = LoadPicture(save("k.ico", knob, "ICO"), 121);
    ASSERT_EQ(ico.status, LoadStatus::Loaded);
    EXPECT_TRUE(samePixels(ico.image, knob));
}

TEST_F(PictureFiles, TransparentPixelsShowTheBoxBackground) {
    const auto gif = LoadPicture(write("t.gif", picture_files::TransparentGif()), 121);
    ASSERT_EQ(gif.status, LoadStatus::Loaded) << Text(gif.message).toStdString();
    EXPECT_EQ(gif.image.pixel(0, 0), qRgb(192, 192, 192));
    EXPECT_EQ(gif.image.pixel(1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(gif.image.pixel(1, 1), qRgb(0, 0, 255));
    QImage half(2, 1, QImage::Format_ARGB32);
    half.setPixel(0, 0, qRgba(0, 0, 0, 0));
    half.setPixel(1, 0, qRgba(255, 255, 255, 128));
    const auto ico = LoadPicture(save("h.ico", half, "ICO"), 121);
    ASSERT_EQ(ico.status, LoadStatus::Loaded);
    EXPECT_EQ(ico.image.pixel(0, 0), qRgb(192, 192, 192));
    EXPECT_EQ(ico.image.pixel(1, 0), qRgb(224, 224, 224));  // (255*128 + 192*127 + 127) / 255
}

TEST_F(PictureFiles, IconWithSeveralImagesGivesIts32x32Image) {
    const QImage small = picture_files::Distinct(16, 16), mid = picture_files::Distinct(32, 32);
    const QImage large = picture_files::Distinct(48, 48);
    const auto several = LoadPicture(write("s.ico", picture_files::Icon({small, mid, large})), 121);
    ASSERT_EQ(several.status, LoadStatus::Loaded) << Text(several.message).toStdString();
    EXPECT_TRUE(samePixels(several.image, mid));
    const auto without = LoadPicture(write("w.ico", picture_files::Icon({large, small})), 121);
    ASSERT_EQ(without.status, LoadStatus::Loaded);
    EXPECT_TRUE(samePixels(without.image, large)) << "no 32 x 32 image: the first";
}

TEST_F(PictureFiles, MetafilePlayerFindsItsFonts) {
    const auto wmf = LoadPicture(write("m.wmf", picture_files::PlaceableMetafile(96, 96, 96)), 121);
    EXPECT_EQ(wmf.status, LoadStatus::Loaded)
        << (Text(wmf.message).contains("fonts-urw-base35")
                ? "libwmf finds no fonts, so no metafile plays: install the Debian package "
                  "fonts-urw-base35 (bash scripts/install-deps.sh does)"
                : Text(wmf.message).toStdString());
}

TEST_F(PictureFiles, PlaceableMetafileIsSizedAt96DotsPerInch) {
    // 1440 x 720 units at 1440 per inch: one inch by half an inch.
    const auto wmf =
        LoadPicture(write("m.wmf", picture_files::PlaceableMetafile(1440, 720, 1440)), 121);
    ASSERT_EQ(wmf.status, LoadStatus::Loaded) << Text(wmf.message).toStdString();
    EXPECT_EQ(wmf.image.size(), QSize(96, 48));
    EXPECT_EQ(wmf.image.pixel(20, 24), qRgb(255, 0, 0)) << "the drawing";
    EXPECT_EQ(wmf.image.pixel(80, 24), qRgb(192, 192, 192)) << "the box background";
    const auto big =
        LoadPicture(write("b.wmf", picture_files::PlaceableMetafile(2000, 100, 1440)), 121);
    EXPECT_EQ(big.status, LoadStatus::TooLarge);
    EXPECT_EQ(big.size, QSize(133, 7));
    // Past the largest side any player draws: still too large, by its size.
    const auto huge =
        LoadPicture(write("h.wmf", picture_files::PlaceableMetafile(5000, 100, 96)), 121);
    EXPECT_EQ(huge.status, LoadStatus::TooLarge) << Text(huge.message).toStdString();
    EXPECT_EQ(huge.size, QSize(5000, 100));
}

TEST_F(PictureFiles, OversizePicturesAreRefusedWithTheirSize) {
    const auto wide = LoadPicture(save("w.bmp", picture_files::Distinct(122, 10), "BMP"), 121);
    EXPECT_EQ(wide.status, LoadStatus::TooLarge);
    EXPECT_EQ(wide.size, QSize(122, 10));
    EXPECT_TRUE(wide.image.isNull());
    const auto high = LoadPicture(save("h.jpg", picture_files::Distinct(10, 122), "JPEG"), 121);
    EXPECT_EQ(high.status, LoadStatus::TooLarge);
    EXPECT_EQ(high.size, QSize(10, 122));
    const auto largest = LoadPicture(save("l.bmp", picture_files::Distinct(121, 121), "BMP"), 121);
    EXPECT_EQ(largest.status, LoadStatus::Loaded);
    const auto lowered = LoadPicture(path("l.bmp"), 64);
    EXPECT_EQ(lowered.status, LoadStatus::TooLarge);
}

TEST_F(PictureFiles, UnreadableFilesSayWhy) {
    ASSERT_EQ(mkfifo(QFile::encodeName(path("pipe.bmp")).constData(), 0600), 0);
    const std::pair<QString, const char*> cases[] = {
        {write("leer.bmp", ""), "enth\u00e4lt kein Bild"},
        {write("text.gif", "just some words, no picture"), "besch\u00e4digt oder kein Bild"},
        {write("kaputt.jpg", QByteArray("\xFF\xD8\xFF\xE0", 4) + "garbage"), "besch\u00e4digt"},
        {path("fehlt.bmp"), "kann nicht gelesen werden: sie existiert nicht."},
        {dir.path(), "kann nicht gelesen werden: es ist ein Ordner."},
        {path("pipe.bmp"), "keine gew\u00f6hnliche Datei"},  // and no wait for a writer
    };
    for (const auto& [file, reason] : cases) {
        const auto result = LoadPicture(file, 121);
        EXPECT_EQ(result.status, LoadStatus::Unreadable) << file.toStdString();
        EXPECT_TRUE(Text(result.message).contains(QFileInfo(file).fileName()))
            << Text(result.message).toStdString();
        EXPECT_TRUE(Text(result.message).contains(QString::fromUtf8(reason)))
            << Text(result.message).toStdString();
    }
    // A folder named with a separator at its end is named all the same.
    ASSERT_TRUE(QDir(dir.path()).mkdir("ordner"));
    EXPECT_EQ(Text(LoadPicture(path("ordner/"), 121).message),
              "Die Datei 'ordner' kann nicht gelesen werden: es ist ein Ordner.");
    QImage png = picture_files::Distinct(8, 8);
    const auto other = LoadPicture(save("versteckt.bmp", png, "PNG"), 121);
    EXPECT_EQ(other.status, LoadStatus::Unreadable) << "a PNG is not one of the six kinds";
    EXPECT_TRUE(Text(other.message).contains(QString::fromUtf8("unterstütztes")));
}

// Pixel pictures are decoded by the picture player: a file that makes a
// reader run for minutes or grow past its memory ends in a message, and
// this process never holds what the reader took. A bitmap shorter than its
// pixels is refused, not read as black.
TEST_F(PictureFiles, HostilePicturesEndInAMessage) {
    qputenv("TORVELINK_PICTURE_DEADLINE_MS", "1000");
    const struct {
        QString file;
        int maxSide;
        const char* reason;
    } cases[] = {
        {write("scans.jpg", picture_files::RepeatedScansJpeg(1024, 200'000)), 1024,
         "das Lesen dauerte zu lange"},
        {write("kurz.bmp", picture_files::ShortBitmap(4096, 4096)), 4096,
         "sie endet vor ihren Bildpunkten"},
    };
    for (const auto& c : cases) {
        const auto refused = LoadPicture(c.file, c.maxSide);
        EXPECT_EQ(Text(refused.message),
                  QStringLiteral("Die Datei '%1' kann nicht gelesen werden: %2.")
                      .arg(QFileInfo(c.file).fileName(), QString::fromUtf8(c.reason)));
    }
    qunsetenv("TORVELINK_PICTURE_DEADLINE_MS");
#if !defined(__SANITIZE_ADDRESS__)
    // 2.3 GB in the reader, more than the player may have; it runs out of
    // memory or of time, whichever comes first on a busy machine.
    const auto texts =
        LoadPicture(write("texte.png", picture_files::TextBombPng(60)), 1024, {true, true});
    EXPECT_TRUE(
        Text(texts.message).endsWith(QString::fromUtf8("das Lesen braucht zu viel Speicher.")) ||
        Text(texts.message).endsWith("das Lesen dauerte zu lange."))
        << Text(texts.message).toStdString();
#endif
}

// The sample collection beside the repository, where there is one.
class SamplePictures : public ::testing::Test {
protected:
    QString root = QStringLiteral(TORVELINK_SAMPLES);
    void SetUp() override {
        if (!QDir(root).exists()) GTEST_SKIP() << "no sample pictures at " << root.toStdString();
    }
    QStringList files(const QString& sub) const {
        QStringList out;
        QDirIterator it(root + "/" + sub, QDir::Files);
        while (it.hasNext()) out << it.next();
        out.sort();
        return out;
    }
};

TEST_F(SamplePictures, ValidBitmapsDecodeToTheSizeOfTheirPicture) {
    const QStringList valid = files("bmpsuite/g");
    ASSERT_FALSE(valid.isEmpty());
    for (const QString& file : valid) {
        const auto result = LoadPicture(file, 4096);
        ASSERT_EQ(result.status, LoadStatus::Loaded) << file.toStdString();
        const QString name = QFileInfo(file).fileName();
        QSize expected(127, 64);
        if (name == "pal8nonsquare.bmp") expected = QSize(127, 32);
        if (name.startsWith("pal8w12")) {
            const int w = name.mid(5, 3).toInt();
            expected = QSize(w, w - 63);
        }
        EXPECT_EQ(result.image.size(), expected) << name.toStdString();
        // And at the usual limit, the size warning with the same size.
        const auto refused = LoadPicture(file, 121);
        EXPECT_EQ(refused.status, LoadStatus::TooLarge) << name.toStdString();
        EXPECT_EQ(refused.size, expected) << name.toStdString();
    }
}

// Every valid bitmap of the suite decodes to the pixels another reader gives
// (ImageMagick: FNV-1a of the RGB bytes, rows top to bottom). The 16-bit ones
// need their 5- and 6-bit channels widened to the full range.
TEST_F(SamplePictures, ValidBitmapsDecodeAsAnotherReaderDoes) {
    const std::pair<const char*, quint64> expected[] = {
        {"pal1.bmp", 0x93cb10c47d28db4dull},        {"pal1bg.bmp", 0xb7b540345a58dd65ull},
        {"pal1wb.bmp", 0x93cb10c47d28db4dull},      {"pal4.bmp", 0x7442826ad2154b09ull},
        {"pal4rle.bmp", 0x7442826ad2154b09ull},     {"pal8-0.bmp", 0x4598e7515a0f7954ull},
        {"pal8.bmp", 0x4598e7515a0f7954ull},        {"pal8nonsquare.bmp", 0xb937ea06db3c196cull},
        {"pal8os2.bmp", 0x4598e7515a0f7954ull},     {"pal8rle.bmp", 0x4598e7515a0f7954ull},
        {"pal8topdown.bmp", 0x4598e7515a0f7954ull}, {"pal8v4.bmp", 0x4598e7515a0f7954ull},
        {"pal8v5.bmp", 0x4598e7515a0f7954ull},      {"pal8w124.bmp", 0xb48c84d29e14ad3dull},
        {"pal8w125.bmp", 0xdc7be9a5fc79ab93ull},    {"pal8w126.bmp", 0x06c840bab970062dull},
        {"rgb16-565.bmp", 0x51d0a8852d09c342ull},   {"rgb16-565pal.bmp", 0x51d0a8852d09c342ull},
        {"rgb16.bmp", 0x77b89128c335923cull},       {"rgb24.bmp", 0x7cd8f819ae69b2afull},
        {"rgb24pal.bmp", 0x7cd8f819ae69b2afull},    {"rgb32.bmp", 0x7cd8f819ae69b2afull},
        {"rgb32bf.bmp", 0x7cd8f819ae69b2afull},
    };
    for (const auto& [name, hash] : expected) {
        const auto result = LoadPicture(root + "/bmpsuite/g/" + name, 4096);
        ASSERT_EQ(result.status, LoadStatus::Loaded) << name;
        quint64 fnv = 0xcbf29ce484222325ull;
        for (int y = 0; y < result.image.height(); ++y)
            for (int x = 0; x < result.image.width(); ++x) {
                const QRgb p = result.image.pixel(x, y);
                for (int c : {qRed(p), qGreen(p), qBlue(p)})
                    fnv = (fnv ^ static_cast<quint64>(c)) * 0x100000001b3ull;
            }
        EXPECT_EQ(fnv, hash) << name;
    }
}

TEST_F(SamplePictures, QuestionableAndBrokenFilesGiveAValueOrAClearError) {
    QStringList all = files("bmpsuite/b") + files("bmpsuite/q") + files("cur") + files("gif") +
                      files("ico") + files("jpeg") + files("wmf");
    for (const QString& file : all) {
        const auto result = LoadPicture(file, 121);
        if (result.status == LoadStatus::Loaded) {
            EXPECT_FALSE(result.image.isNull()) << file.toStdString();
            EXPECT_EQ(result.image.format(), QImage::Format_RGB32);
        } else if (result.status == LoadStatus::Unreadable) {
            EXPECT_TRUE(Text(result.message).contains(QFileInfo(file).fileName()))
                << file.toStdString();
        } else {
            EXPECT_TRUE(result.size.width() > 121 || result.size.height() > 121);
        }
    }
}

TEST_F(SamplePictures, BombsAreRefused) {
    for (const char* bomb : {"gif/decompression_bomb.gif", "bmpsuite/b/reallybig.bmp"})
        EXPECT_NE(LoadPicture(root + "/" + bomb, 121).status, LoadStatus::Loaded) << bomb;
}

TEST_F(SamplePictures, SampleKindsLoadAsExpected) {
    const auto wmf = LoadPicture(root + "/wmf/drawing.wmf", 121);
    ASSERT_EQ(wmf.status, LoadStatus::Loaded);
    EXPECT_EQ(wmf.image.size(), QSize(110, 110));
    EXPECT_EQ(LoadPicture(root + "/wmf/drawing.emf", 121).status, LoadStatus::Unreadable);
    const auto gif = LoadPicture(root + "/gif/hopper_resized.gif", 121);
    ASSERT_EQ(gif.status, LoadStatus::Loaded);
    EXPECT_EQ(gif.image.size(), QSize(64, 64));
    const auto icon = LoadPicture(root + "/ico/python.ico", 121);
    ASSERT_EQ(icon.status, LoadStatus::Loaded);
    EXPECT_EQ(icon.image.size(), QSize(32, 32));
    EXPECT_EQ(LoadPicture(root + "/jpeg/hopper.jpg", 121).size, QSize(128, 128));
}

}  // namespace
