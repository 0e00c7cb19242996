#include "picture_io.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include "metafile.h"
#include "texts.h"

namespace Pictures {

namespace {

// Enough for any picture the program takes, far below what a crafted file
// would make a decoder allocate.
constexpr int kDecodeLimitMegabytes = 64;

const QList<QByteArray> kRasterFormats{"bmp", "dib", "jpeg", "jpg", "gif", "ico", "cur"};

// Transparent pixels over the box background, with exact rounding:
// (c * a + 192 * (255 - a) + 127) / 255 for each colour.
QImage overBackground(const QImage& picture) {
    if (!picture.hasAlphaChannel()) return picture.convertToFormat(QImage::Format_RGB32);
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    QImage out(argb.size(), QImage::Format_RGB32);
    if (out.isNull()) return out;
    const auto blend = [](int c, int a, int back) {
        return (c * a + back * (255 - a) + 127) / 255;
    };
    for (int y = 0; y < argb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const int a = qAlpha(in[x]);
            line[x] = qRgb(blend(qRed(in[x]), a, qRed(kBoxBackground)),
                           blend(qGreen(in[x]), a, qGreen(kBoxBackground)),
                           blend(qBlue(in[x]), a, qBlue(kBoxBackground)));
        }
    }
    return out;
}

LoadedPicture unreadable(const QString& message) {
    return {LoadStatus::Unreadable, {}, {}, message};
}

LoadedPicture tooLarge(QSize size) {
    return {LoadStatus::TooLarge, {}, size, {}};
}

bool oversize(QSize size, int maxSide) {
    return size.width() > maxSide || size.height() > maxSide;
}

LoadedPicture loaded(const QImage& picture, const QString& name) {
    const QImage image = overBackground(picture);
    if (image.isNull()) return unreadable(Texts::CannotReadPicture(name));
    return {LoadStatus::Loaded, image, image.size(), {}};
}

// An enhanced metafile: a header record (type 1) whose signature " EMF"
// stands at byte 40.
bool looksLikeEnhancedMetafile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = file.read(44);
    return head.size() == 44 && head.startsWith(QByteArray("\x01\0\0\0", 4)) &&
           head.mid(40, 4) == " EMF";
}

// An icon or cursor file: the 32 x 32 image when there is one, else the first.
void chooseIconImage(QImageReader& reader) {
    const int count = reader.imageCount();
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i)) break;
        if (reader.size() == QSize(32, 32)) return;
    }
    reader.jumpToImage(0);
}

LoadedPicture loadRaster(const QString& path, const QString& name, int maxSide) {
    QImageReader reader(path);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(kDecodeLimitMegabytes);
    if (!reader.canRead()) {
        const bool otherKind = !reader.format().isEmpty() || looksLikeEnhancedMetafile(path);
        return unreadable(otherKind ? Texts::UnsupportedPicture(name)
                                    : Texts::CannotReadPicture(name));
    }
    const QByteArray format = reader.format().toLower();
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool icon = format == "ico" || format == "cur" ||
                      (format.isEmpty() && (suffix == "ico" || suffix == "cur"));
    if (!format.isEmpty() && !kRasterFormats.contains(format))
        return unreadable(Texts::UnsupportedPicture(name));
    if (icon) chooseIconImage(reader);
    QSize size = reader.size();
    size.setHeight(qAbs(size.height()));  // top-down bitmaps report a negative height
    if (size.isValid() && oversize(size, maxSide)) return tooLarge(size);
    const QImage picture = reader.read();
    if (picture.isNull()) return unreadable(Texts::CannotReadPicture(name));
    if (oversize(picture.size(), maxSide)) return tooLarge(picture.size());
    return loaded(picture, name);
}

LoadedPicture loadMetafile(QFile& file, const QString& name, int maxSide) {
    if (file.size() > kMaxMetafileBytes) return unreadable(Texts::CannotReadPicture(name));
    const QByteArray data = file.readAll();
    const auto size = Metafile::DisplaySize(data);
    if (!size) return unreadable(Texts::CannotReadPicture(name));
    if (size->isEmpty()) return unreadable(Texts::EmptyPicture(name));
    if (oversize(*size, maxSide)) return tooLarge(*size);
    const QImage picture = Metafile::Render(data, *size);
    if (picture.isNull()) return unreadable(Texts::CannotReadPicture(name));
    return loaded(picture, name);
}

}  // namespace

LoadedPicture LoadPicture(const QString& path, int maxSide) {
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return unreadable(Texts::CannotReadPicture(name));
    if (file.size() == 0) return unreadable(Texts::EmptyPicture(name));
    if (Metafile::LooksLikeMetafile(file.peek(22))) return loadMetafile(file, name, maxSide);
    file.close();
    return loadRaster(path, name, maxSide);
}

SaveResult SaveStrip(const QImage& strip, const QString& path) {
    const QString name = QFileInfo(path).fileName();
    if (strip.isNull()) return {false, Texts::CannotSave(name, QStringLiteral("kein Bild"))};
    const bool png = path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, Texts::CannotSave(name, file.errorString())};
    QImageWriter writer(&file, png ? "png" : "bmp");
    // Qt writes 32-bit pictures as uncompressed 24-bit bitmaps.
    const QImage rgb = strip.format() == QImage::Format_RGB32
                           ? strip
                           : strip.convertToFormat(QImage::Format_RGB32);
    if (!writer.write(rgb)) {
        file.cancelWriting();
        return {false, Texts::CannotSave(name, writer.errorString())};
    }
    if (!file.commit()) return {false, Texts::CannotSave(name, file.errorString())};
    return {true, {}};
}

}  // namespace Pictures
