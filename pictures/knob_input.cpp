#include "knob_input.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>

#include <zlib.h>
#include <climits>
#include <cmath>
#include <optional>

namespace KnobInput {

namespace {

using Pictures::LoadStatus;

// Larger drawings than this are not knobs.
constexpr qint64 kMaxSvgBytes = 16 * 1024 * 1024;

Picture unreadable(Message message) {
    return {LoadStatus::Unreadable, {}, {}, std::move(message), false};
}

Picture unreadable(const QString& name, MessageCode reason) {
    return unreadable({.code = MessageCode::CannotRead, .reason = {reason, 0}, .subject = name});
}

// A side times the scale, or nothing when it is beyond any picture's size.
std::optional<int> scaled(int side, double scale) {
    const double value = std::nearbyint(side * scale);
    if (!(value < 1e9)) return std::nullopt;
    return static_cast<int>(value);
}

// A compressed drawing (.svgz) unpacked, at most maxBytes; empty when it is
// not a whole gzip stream or unpacks to more.
QByteArray gunzip(const QByteArray& packed, qint64 maxBytes) {
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) return {};
    QByteArray out;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
    z.avail_in = static_cast<uInt>(packed.size());
    int result = Z_OK;
    char buffer[65536];
    while (result == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        result = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, static_cast<qsizetype>(sizeof buffer - z.avail_out));
        if (out.size() > maxBytes) result = Z_MEM_ERROR;
    }
    inflateEnd(&z);
    return result == Z_STREAM_END ? out : QByteArray();
}

// Whether the drawing would pull in other files (images, fonts, styles):
// the renderer would read them itself, whatever they are, a pipe that never
// ends included. Only references inside the drawing ("#id") and data: URLs
// are kept.
bool refersToOtherFiles(const QByteArray& svg) {
    static const QRegularExpression reference(
        QStringLiteral(R"re((?:href|src)\s*=\s*(["'])\s*(.*?)\1|url\(\s*["']?\s*([^)"'\s]*))re"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QString text = QString::fromUtf8(svg);
    for (auto it = reference.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        const QString target = match.captured(2).isEmpty() ? match.captured(3) : match.captured(2);
        if (target.isEmpty() || target.startsWith('#') ||
            target.startsWith(QStringLiteral("data:"), Qt::CaseInsensitive))
            continue;
        return true;
    }
    return false;
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
    if (bytes.startsWith("\x1F\x8B")) bytes = gunzip(bytes, kMaxSvgBytes);
    if (bytes.isEmpty()) return unreadable(name, MessageCode::Damaged);
    if (refersToOtherFiles(bytes)) return unreadable(name, MessageCode::RefersToFiles);
    QSvgRenderer renderer(bytes);
    // Text in a drawing needs fonts, and fonts a QGuiApplication.
    const bool canDraw = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (!renderer.isValid() || !canDraw) return unreadable(name, MessageCode::Damaged);
    const QSize base =
        request.drawSize ? QSize(*request.drawSize, *request.drawSize) : renderer.defaultSize();
    const auto width = scaled(base.width(), request.scale);
    const auto height = scaled(base.height(), request.scale);
    if (!width || !height || *width > request.maxSide || *height > request.maxSide) {
        const QSize reported(width.value_or(INT_MAX), height.value_or(INT_MAX));
        return {LoadStatus::TooLarge, {}, reported, {}, true};
    }
    const QSize size(*width, *height);
    if (size.width() < 1 || size.height() < 1)
        return unreadable({.code = MessageCode::EmptyPicture, .subject = name});
    const QImage image = draw(renderer, size, request.drawSize.has_value());
    if (image.isNull()) return unreadable(name, MessageCode::Damaged);
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
        return unreadable({.code = MessageCode::RasterNotScaled, .subject = name});
    return {raster.status, raster.image, raster.size, raster.message, false};
}

}  // namespace KnobInput
