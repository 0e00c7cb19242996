#include "svg_drawing.h"

#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>
#include <optional>

#include "drawing_protocol.h"
#include "svg_check.h"

using namespace Pictures;

namespace Player {

namespace SvgDrawing {

namespace {

namespace P = DrawingProtocol;

// Qt SVG leaves out a picture it cannot decode and says so only in a
// warning, as does Qt when an image finds no memory: either would give an
// incomplete drawing, so either fails the drawing.
bool pictureLost = false;

void watch(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg) return;
    const bool svg = context.category != nullptr && qstrncmp(context.category, "qt.svg", 6) == 0;
    if ((svg && message.contains(QLatin1String("Could not create image"))) ||
        message.contains(QLatin1String("out of memory"), Qt::CaseInsensitive) ||
        message.contains(QLatin1String("allocation limit")))
        pictureLost = true;
}

class Watch {
public:
    Watch() : previous_(qInstallMessageHandler(watch)) { pictureLost = false; }
    ~Watch() { qInstallMessageHandler(previous_); }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

private:
    QtMessageHandler previous_;
};

// The root element's width and height when one of them is past what Qt
// SVG's integers hold (Qt SVG then refuses the drawing): too large, as large
// as it says.
std::optional<QSizeF> givenBeyondQt(const SvgCheck::Findings& found) {
    const auto width = SvgCheck::RootLength(found.width);
    const auto height = SvgCheck::RootLength(found.height);
    const auto beyond = [](std::optional<double> side) {
        return side && std::abs(*side) >= 2147483648.0;
    };
    if (!beyond(width) && !beyond(height)) return std::nullopt;
    return QSizeF(width.value_or(0), height.value_or(0));
}

// A root width or height that reads as a number but none that has a size:
// NaN, or infinity.
bool sizeNotANumber(const SvgCheck::Findings& found) {
    for (const QString* length : {&found.width, &found.height})
        if (const auto side = SvgCheck::RootLength(*length); side && !std::isfinite(*side))
            return true;
    return false;
}

std::int64_t whole(double side) {
    return side >= 9.2e18 ? INT64_MAX : static_cast<std::int64_t>(side);
}

// TooLarge or Empty for the size to draw at, nothing when it can be drawn.
std::optional<Outcome> unfit(QSizeF own, const Request& request) {
    const double width = std::nearbyint(own.width() * request.scale);
    const double height = std::nearbyint(own.height() * request.scale);
    if (width > request.maxSide || height > request.maxSide)
        return Outcome{Status::TooLarge, whole(width), whole(height)};
    if (!(width >= 1 && height >= 1)) return Outcome{Status::Empty};
    return std::nullopt;
}

// Where the drawing goes in a picture of the given size: all of it, or, for
// a square, the largest rectangle of the drawing's proportions, centred.
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

Outcome refused(SvgCheck::Verdict verdict) {
    if (pictureLost) return {Status::OutOfMemory};
    switch (verdict) {
        case SvgCheck::Verdict::RefersToFiles:
            return {Status::RefersToFiles};
        case SvgCheck::Verdict::OverBudget:
            return {Status::OutOfMemory};
        case SvgCheck::Verdict::TooDeep:
            return {Status::TooDeep};
        default:
            return {Status::NotReadable};
    }
}

// The drawing's text: unpacked when compressed, so that Qt SVG reads the
// very bytes that were checked.
std::optional<QByteArray> plainText(const QByteArray& bytes, Status& failure) {
    if (!bytes.startsWith("\x1F\x8B")) return bytes;
    bool tooLarge = false;
    auto text = SvgCheck::Unpack(bytes, P::kMaxBytes, tooLarge);
    failure = tooLarge ? Status::OutOfMemory : Status::NotReadable;
    if (text && text->startsWith("\x1F\x8B")) return std::nullopt;
    return text;
}

Outcome measuredAndDrawn(const QByteArray& text, const SvgCheck::Findings& found,
                         const Request& request) {
    const bool square = request.square > 0;
    if (sizeNotANumber(found)) return {Status::NoSize};
    if (const auto given = givenBeyondQt(found); given && !square)
        return unfit(*given, request).value_or(Outcome{Status::NotReadable});
    QSvgRenderer renderer(text);
    if (!renderer.isValid()) return {pictureLost ? Status::OutOfMemory : Status::NotReadable};
    const QSizeF own =
        square ? QSizeF(request.square, request.square) : QSizeF(renderer.defaultSize());
    if (const auto refused = unfit(own, request)) return *refused;
    const QSize size(static_cast<int>(std::nearbyint(own.width() * request.scale)),
                     static_cast<int>(std::nearbyint(own.height() * request.scale)));
    const QImage image = draw(renderer, size, square);
    if (image.isNull() || pictureLost) return {Status::OutOfMemory};
    return {Status::Drawn, size.width(), size.height(), image};
}

}  // namespace

Outcome Draw(const QByteArray& bytes, const Request& request) {
    const Watch watching;
    // No picture may take more than the whole budget, with 16-bit channels:
    // a header that lies about its size gets no further. The limit holds
    // for every reader of the process, the check's and Qt SVG's alike.
    QImageReader::setAllocationLimit(static_cast<int>((P::kEmbeddedPixels * 8) >> 20) + 1);
    Status failure = Status::NotReadable;
    const auto text = plainText(bytes, failure);
    if (!text) return {failure};
    SvgCheck::Budget budget{P::kEmbeddedPixels};
    const SvgCheck::Findings found = SvgCheck::Check(*text, budget);
    if (found.verdict != SvgCheck::Verdict::Clean) return refused(found.verdict);
    return measuredAndDrawn(*text, found, request);
}

}  // namespace SvgDrawing

}  // namespace Player
