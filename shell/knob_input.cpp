#include "knob_input.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

#include "texts.h"

namespace KnobInput {

namespace {

using Pictures::LoadStatus;

// Enough for any picture the program takes, far below what a crafted file
// would make a decoder allocate.
constexpr int kDecodeLimitMegabytes = 256;
// Larger drawings than this are not knobs.
constexpr qint64 kMaxSvgBytes = 16 * 1024 * 1024;

const QList<QByteArray> kReadersWithAlpha{"png", "webp", "tiff", "tif"};

QString unsupported(const QString& name) {
    return QStringLiteral(
               "Die Datei '%1' ist kein unterst\u00fctztes Bild (BMP, JPEG, GIF, ICO, CUR, "
               "WMF, PNG, WebP, TIFF oder SVG).")
        .arg(name);
}

QString rasterNotScaled(const QString& name) {
    return QStringLiteral(
               "Die Datei '%1' ist kein SVG-Bild: --scale vergr\u00f6ssert nur SVG-Bilder, "
               "ein Pixelbild w\u00fcrde unscharf.")
        .arg(name);
}

Picture unreadable(const QString& message) {
    return {LoadStatus::Unreadable, {}, {}, message, false};
}

Picture tooLarge(QSize size) {
    return {LoadStatus::TooLarge, {}, size, {}, false};
}

bool oversize(QSize size, int maxSide) {
    return size.width() > maxSide || size.height() > maxSide;
}

// ARGB32 when some pixel shows what lies behind it, RGB32 otherwise.
Picture loaded(const QImage& picture, const QString& name, bool vector) {
    QImage image = picture.hasAlphaChannel() ? picture.convertToFormat(QImage::Format_ARGB32)
                                             : picture.convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) return unreadable(Texts::CannotReadPicture(name));
    if (image.hasAlphaChannel() && !HasTransparency(image))
        image = image.convertToFormat(QImage::Format_RGB32);
    return {LoadStatus::Loaded, image, image.size(), {}, vector};
}

int scaled(int side, double scale) {
    return static_cast<int>(std::nearbyint(side * scale));
}

// Where the drawing goes in a picture of the given size: all of it, or, for
// a square asked for, the largest rectangle of the drawing's proportions,
// centred.
QRectF drawingArea(const QSvgRenderer& renderer, QSize target, bool square) {
    const QRectF all(QPointF(0, 0), QSizeF(target));
    const QSizeF own = renderer.viewBoxF().size();
    if (!square || own.isEmpty()) return all;
    QRectF area(QPointF(0, 0), own.scaled(all.size(), Qt::KeepAspectRatio));
    area.moveCenter(all.center());
    return area;
}

Picture loadSvg(const QString& path, const QString& name, const Request& request) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSvgBytes)
        return unreadable(Texts::CannotReadPicture(name));
    QSvgRenderer renderer(file.readAll());
    if (!renderer.isValid() ||
        qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return unreadable(Texts::CannotReadPicture(name));
    const QSize base =
        request.drawSize ? QSize(*request.drawSize, *request.drawSize) : renderer.defaultSize();
    const QSize size(scaled(base.width(), request.scale), scaled(base.height(), request.scale));
    if (size.width() < 1 || size.height() < 1) return unreadable(Texts::EmptyPicture(name));
    if (oversize(size, request.maxSide)) return tooLarge(size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return unreadable(Texts::CannotReadPicture(name));
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, drawingArea(renderer, size, request.drawSize.has_value()));
    painter.end();
    return loaded(image, name, true);
}

Picture loadWithAlpha(QImageReader& reader, const QString& name, const Request& request) {
    if (request.scale != 1.0) return unreadable(rasterNotScaled(name));
    QSize size = reader.size();
    if (size.isValid() && oversize(size, request.maxSide)) return tooLarge(size);
    const QImage picture = reader.read();
    if (picture.isNull()) return unreadable(Texts::CannotReadPicture(name));
    if (oversize(picture.size(), request.maxSide)) return tooLarge(picture.size());
    return loaded(picture, name, false);
}

Picture loadClassic(const QString& path, const QString& name, const Request& request) {
    const auto classic = Pictures::LoadPicture(path, request.maxSide);
    if (classic.status == LoadStatus::Unreadable) {
        const bool otherKind = classic.message == Texts::UnsupportedPicture(name);
        return unreadable(otherKind ? unsupported(name) : classic.message);
    }
    if (classic.status == LoadStatus::TooLarge) return tooLarge(classic.size);
    if (request.scale != 1.0) return unreadable(rasterNotScaled(name));
    return {LoadStatus::Loaded, classic.image, classic.size, {}, false};
}

bool svgBytes(QByteArray head) {
    if (head.startsWith("\xEF\xBB\xBF")) head.remove(0, 3);
    head = head.trimmed();
    return head.startsWith('<') && head.contains("<svg");
}

}  // namespace

bool LooksLikeSvg(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return suffix == "svg" || suffix == "svgz";
    const QByteArray head = file.read(4096);
    if (head.startsWith("\x1F\x8B")) return suffix == "svgz";  // compressed: trust the name
    return svgBytes(head);
}

Picture Load(const QString& path, const Request& request) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        return unreadable(Texts::CannotReadPicture(name));
    if (file.size() == 0) return unreadable(Texts::EmptyPicture(name));
    file.close();
    if (LooksLikeSvg(path)) return loadSvg(path, name, request);
    QImageReader reader(path);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(kDecodeLimitMegabytes);
    if (reader.canRead() && kReadersWithAlpha.contains(reader.format().toLower()))
        return loadWithAlpha(reader, name, request);
    return loadClassic(path, name, request);
}

bool HasTransparency(const QImage& image) {
    if (!image.hasAlphaChannel()) return false;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 255) return true;
    }
    return false;
}

QImage Flatten(const QImage& image, QRgb background) {
    if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB32);
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QImage out(argb.size(), QImage::Format_RGB32);
    if (out.isNull()) return out;
    const auto over = [](int c, int a, int back) { return (c * a + back * (255 - a) + 127) / 255; };
    for (int y = 0; y < argb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const int a = qAlpha(in[x]);
            line[x] = qRgb(over(qRed(in[x]), a, qRed(background)),
                           over(qGreen(in[x]), a, qGreen(background)),
                           over(qBlue(in[x]), a, qBlue(background)));
        }
    }
    return out;
}

}  // namespace KnobInput
