#include "svg_drawing.h"

#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <variant>
#include <vector>

#include "drawing_protocol.h"
#include "svg_check.h"

using namespace Pictures;

namespace Player {

namespace SvgDrawing {

namespace {

namespace P = DrawingProtocol;

// Frames are drawn by at most this many threads, and by fewer when their
// pictures (drawn at the oversampled size) and what else a thread holds
// (its renderer with the drawing's embedded pictures, its stack, its heap)
// would take more than kThreadsBytes together.
constexpr std::int64_t kMostThreads = P::kFrameThreads;
constexpr std::int64_t kThreadBytes = std::int64_t{128} << 20;
constexpr std::int64_t kThreadsBytes = std::int64_t{512} << 20;

// Qt SVG leaves out a picture it cannot decode and says so only in a
// warning, as does Qt when an image finds no memory: either would give an
// incomplete drawing, so either fails the drawing.
std::atomic<bool> pictureLost{false};

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

// Draws the drawing on a clear picture of one size, frame after frame, k
// times as large and averaged down in premultiplied colour (round half
// up), keeping its pictures from one frame to the next: a frame costs no
// allocation.
class Painter {
public:
    Painter(QSize size, int k)
        : k_(k),
          large_(size * k, QImage::Format_ARGB32_Premultiplied),
          small_(k > 1 ? QImage(size, QImage::Format_ARGB32_Premultiplied) : QImage()),
          sums_(static_cast<std::size_t>(size.width()) * 4 * k) {}

    // The frame, straight alpha (Format_ARGB32), moved by `place` (in the
    // frame's pixels) first; valid until the next call. Null when there
    // was no memory for it.
    // `clip`: nothing beyond the drawing's own area, wherever it moves.
    const QImage& draw(QSvgRenderer& renderer, QRectF area, const QTransform& place,
                       bool clip = false) {
        static const QImage none;
        if (large_.isNull() || (k_ > 1 && small_.isNull())) return none;
        large_.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
        large_.fill(Qt::transparent);
        QPainter painter(&large_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setTransform(place * QTransform::fromScale(k_, k_));
        if (clip) painter.setClipRect(area);
        renderer.render(&painter, area);
        painter.end();
        QImage& frame = k_ > 1 ? averagedDown() : large_;
        frame.convertTo(QImage::Format_ARGB32);
        return frame;
    }

private:
    QImage& averagedDown() {
        small_.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
        if (k_ == 2)
            averagedDown<2>();
        else
            averagedDown<4>();
        return small_;
    }

    // Each block of K x K pixels summed channel by channel: the K rows
    // added byte by byte, then K neighbours of the sum; loops that
    // vectorise for a K known here.
    template <int K>
    void averagedDown() {
        constexpr unsigned n = K * K, shift = K == 2 ? 2 : 4;
        const int width = small_.width(), bytes = large_.width() * 4;
        std::uint16_t* sums = sums_.data();
        for (int y = 0; y < small_.height(); ++y) {
            const uchar* in = large_.constScanLine(y * K);
            for (int i = 0; i < bytes; ++i) sums[i] = in[i];
            for (int r = 1; r < K; ++r) {
                in = large_.constScanLine(y * K + r);
                for (int i = 0; i < bytes; ++i)
                    sums[i] = static_cast<std::uint16_t>(sums[i] + in[i]);
            }
            uchar* out = small_.scanLine(y);
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 4; ++c) {
                    unsigned sum = n / 2;
                    for (int j = 0; j < K; ++j) sum += sums[(x * K + j) * 4 + c];
                    out[x * 4 + c] = static_cast<uchar>(sum >> shift);
                }
        }
    }

    int k_;
    QImage large_, small_;
    std::vector<std::uint16_t> sums_;  // a row of the K rows' sums
};

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

// The drawing's text, checked, and what the check found.
struct Checked {
    QByteArray text;
    SvgCheck::Findings found;
};

// The drawing's text once checked, or why it may not be drawn.
std::variant<Checked, Outcome> checked(const QByteArray& bytes) {
    // No picture may take more than the whole budget, with 16-bit channels:
    // a header that lies about its size gets no further. The limit holds
    // for every reader of the process, the check's and Qt SVG's alike.
    QImageReader::setAllocationLimit(static_cast<int>((P::kEmbeddedPixels * 8) >> 20) + 1);
    Status failure = Status::NotReadable;
    const auto text = plainText(bytes, failure);
    if (!text) return Outcome{failure};
    SvgCheck::Budget budget{P::kEmbeddedPixels};
    Checked drawing{*text, SvgCheck::Check(*text, budget)};
    if (drawing.found.verdict != SvgCheck::Verdict::Clean) return refused(drawing.found.verdict);
    if (!drawing.found.animated) return drawing;
    // Drawn still; what is drawn is checked again, as written anew.
    auto still = SvgCheck::Still(drawing.text);
    if (!still) return Outcome{Status::NotReadable};
    SvgCheck::Budget again{P::kEmbeddedPixels};
    Checked made{*std::move(still), {}};
    made.found = SvgCheck::Check(made.text, again);
    if (made.found.verdict != SvgCheck::Verdict::Clean) return refused(made.found.verdict);
    return made;
}

// The drawing read by Qt SVG and the size it is drawn at, or why it
// cannot be drawn.
struct Measured {
    std::optional<Outcome> failed;
    std::unique_ptr<QSvgRenderer> renderer;
    QSize size;
    QRectF area;      // where the drawing goes in a picture of that size
    QByteArray text;  // the drawing's checked text, for more renderers
};

Measured measured(const QByteArray& bytes, const Request& request) {
    const auto drawing = checked(bytes);
    if (const auto* failed = std::get_if<Outcome>(&drawing)) return {*failed};
    const auto& [text, found] = std::get<Checked>(drawing);
    const bool square = request.square > 0;
    if (sizeNotANumber(found)) return {Outcome{Status::NoSize}};
    if (const auto given = givenBeyondQt(found); given && !square)
        return {unfit(*given, request).value_or(Outcome{Status::NotReadable})};
    auto renderer = std::make_unique<QSvgRenderer>(text);
    if (!renderer->isValid())
        return {Outcome{pictureLost ? Status::OutOfMemory : Status::NotReadable}};
    const QSizeF own =
        square ? QSizeF(request.square, request.square) : QSizeF(renderer->defaultSize());
    if (const auto refused = unfit(own, request)) return {*refused};
    const QSize size(static_cast<int>(std::nearbyint(own.width() * request.scale)),
                     static_cast<int>(std::nearbyint(own.height() * request.scale)));
    const QRectF area = drawingArea(*renderer, size, square);
    return {std::nullopt, std::move(renderer), size, area, text};
}

// Frame i's placing of the drawing on the canvas.
QTransform placeOf(const P::FrameMotion& m, std::int32_t i) {
    const double v = m.frames > 1 ? static_cast<double>(i - 1) / (m.frames - 1) : 0.0;
    QTransform place;
    place.translate(m.pivotX, m.pivotY);
    place.rotate(P::FrameDegrees(m, i));
    place.translate(-m.pivotX, -m.pivotY);
    place.translate(m.x + v * (m.toX - m.x), m.y + v * (m.toY - m.y));
    // QTransform applies the last given first: the slide, then the turn.
    return place;
}

}  // namespace

Outcome Draw(const QByteArray& bytes, const Request& request) {
    const Watch watching;
    const Measured m = measured(bytes, request);
    if (m.failed) return *m.failed;
    Painter painter(m.size, P::OversampleFor(request.oversample,
                                             std::int64_t{m.size.width()} * m.size.height()));
    const QImage& image = painter.draw(*m.renderer, m.area, QTransform());
    if (image.isNull() || pictureLost) return {Status::OutOfMemory};
    return {Status::Drawn, m.size.width(), m.size.height(), image};
}

Outcome DrawFrames(const QByteArray& bytes, const Request& request, const P::FrameMotion& motion,
                   const std::function<bool(const QImage&)>& put) {
    const Watch watching;
    const Measured m = measured(bytes, request);
    if (m.failed) return *m.failed;
    if (motion.width < 1 || motion.height < 1 || motion.width > request.maxSide ||
        motion.height > request.maxSide)
        return {Status::TooLarge, motion.width, motion.height};
    const QSize canvas(motion.width, motion.height);
    // Frames drawn on every core, each thread with a renderer and pictures
    // of its own, and put in their order: thread t draws frames t + 1,
    // t + 1 + threads, ... and waits for its turn to put each.
    const int k = P::OversampleFor(request.oversample, std::int64_t{motion.width} * motion.height);
    const std::int64_t drawnBytes = std::int64_t{motion.width} * motion.height * 4 * k * k;
    const auto threads = static_cast<int>(std::clamp<std::int64_t>(
        std::min<std::int64_t>({std::thread::hardware_concurrency(), kMostThreads, motion.frames,
                                kThreadsBytes / (drawnBytes + kThreadBytes)}),
        1, kMostThreads));
    std::mutex turn;
    std::condition_variable turned;
    std::int32_t next = 1;
    std::optional<Status> failed;
    int stride = 0;  // the threads that draw, known once all have started
    const auto work = [&](int t, QSvgRenderer& renderer) {
        {
            std::unique_lock lock(turn);
            turned.wait(lock, [&] { return stride > 0; });
        }
        Painter painter(canvas, k);
        for (std::int32_t i = t + 1; i <= motion.frames; i += stride) {
            const QImage& frame = painter.draw(renderer, m.area, placeOf(motion, i), true);
            std::unique_lock lock(turn);
            turned.wait(lock, [&] { return next == i || failed; });
            if (failed) return;
            if (frame.isNull() || pictureLost)
                failed = Status::OutOfMemory;
            else if (!put(frame))
                failed = Status::NotReadable;
            else
                ++next;
            turned.notify_all();
            if (failed) return;
        }
    };
    std::vector<std::thread> helpers;
    std::vector<std::unique_ptr<QSvgRenderer>> renderers;
    int started = 1;
    try {
        for (; started < threads; ++started) {
            renderers.push_back(std::make_unique<QSvgRenderer>(m.text));
            helpers.emplace_back(work, started, std::ref(*renderers.back()));
        }
    } catch (const std::exception&) {
        // No thread or no memory for another: the ones started draw all.
    }
    {
        const std::lock_guard lock(turn);
        stride = started;
    }
    turned.notify_all();
    work(0, *m.renderer);
    for (auto& helper : helpers) helper.join();
    if (failed) return {*failed};
    return {Status::Drawn, motion.width, motion.height};
}

}  // namespace SvgDrawing

}  // namespace Player
