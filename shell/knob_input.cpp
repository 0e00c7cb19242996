#include "knob_input.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

#include "texts.h"

namespace KnobInput {

namespace {

using Pictures::LoadStatus;

// Larger drawings than this are not knobs.
constexpr qint64 kMaxSvgBytes = 16 * 1024 * 1024;

QString rasterNotScaled(const QString& name) {
    return QStringLiteral(
               "Die Datei '%1' ist kein SVG-Bild: --scale vergr\u00f6ssert nur SVG-Bilder, "
               "ein Pixelbild w\u00fcrde unscharf.")
        .arg(name);
}

Picture unreadable(const QString& message) {
    return {LoadStatus::Unreadable, {}, {}, message, false};
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

QImage draw(QSvgRenderer& renderer, QSize size, bool square) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, drawingArea(renderer, size, square));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

Picture loadSvg(const QString& path, const QString& name, const Request& request) {
    QByteArray bytes;
    const auto read = Pictures::ReadPictureFile(path, kMaxSvgBytes, bytes);
    if (read.status != LoadStatus::Loaded) return unreadable(read.message);
    QSvgRenderer renderer(bytes);
    // Text in a drawing needs fonts, and fonts a QGuiApplication.
    const bool canDraw = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (!renderer.isValid() || !canDraw) return unreadable(Texts::CannotReadPicture(name));
    const QSize base =
        request.drawSize ? QSize(*request.drawSize, *request.drawSize) : renderer.defaultSize();
    const QSize size(scaled(base.width(), request.scale), scaled(base.height(), request.scale));
    if (size.width() < 1 || size.height() < 1) return unreadable(Texts::EmptyPicture(name));
    if (size.width() > request.maxSide || size.height() > request.maxSide)
        return {LoadStatus::TooLarge, {}, size, {}, true};
    const QImage image = draw(renderer, size, request.drawSize.has_value());
    if (image.isNull()) return unreadable(Texts::CannotReadPicture(name));
    return {LoadStatus::Loaded, Pictures::WithAlpha(image), size, {}, true};
}

bool svgBytes(QByteArray head) {
    if (head.startsWith("\xEF\xBB\xBF")) head.remove(0, 3);
    head = head.trimmed();
    return head.startsWith('<') && head.contains("<svg");
}

}  // namespace

bool LooksLikeSvg(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QByteArray head = Pictures::PeekPictureFile(path, 4096);
    if (head.startsWith("\x1F\x8B")) return suffix == "svgz";  // compressed: trust the name
    return svgBytes(head);
}

Picture Load(const QString& path, const Request& request) {
    const QString name = QFileInfo(path).fileName();
    if (LooksLikeSvg(path)) return loadSvg(path, name, request);
    const auto raster = Pictures::LoadPicture(path, request.maxSide, {true, true});
    if (raster.status == LoadStatus::Loaded && request.scale != 1.0)
        return unreadable(rasterNotScaled(name));
    return {raster.status, raster.image, raster.size, raster.message, false};
}

}  // namespace KnobInput
