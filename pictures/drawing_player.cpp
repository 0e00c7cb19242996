#include "drawing_player.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

#include "drawing_protocol.h"
#include "player_process.h"

namespace DrawingPlayer {

namespace {

namespace P = DrawingProtocol;

constexpr qsizetype kSizeBytes = 16;  // width and height, 64-bit each

Played drawn(const QByteArray& output, const Request& request) {
    if (output.size() < kSizeBytes) return {Result::NotReadable};
    const auto width = qFromUnaligned<qint64>(output.constData());
    const auto height = qFromUnaligned<qint64>(output.constData() + 8);
    if (width < 1 || height < 1 || width > request.maxSide || height > request.maxSide ||
        output.size() != kSizeBytes + width * height * 4)
        return {Result::NotReadable};
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
    if (image.isNull()) return {Result::OutOfMemory};
    const qsizetype rowBytes = width * 4;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), output.constData() + kSizeBytes + y * rowBytes,
                    static_cast<std::size_t>(rowBytes));
    return {Result::Drawn, width, height, image};
}

Played measured(const QByteArray& output, const Request& request) {
    if (output.size() != kSizeBytes) return {Result::NotReadable};
    const auto width = qFromUnaligned<qint64>(output.constData());
    const auto height = qFromUnaligned<qint64>(output.constData() + 8);
    if (width <= request.maxSide && height <= request.maxSide) return {Result::NotReadable};
    return {Result::TooLarge, width, height};
}

Played finished(const PlayerProcess::Ended& ended, const Request& request) {
    using PlayerProcess::End;
    switch (ended.end) {
        case End::Exited:
            break;
        case End::TimedOut:
            return {Result::TimedOut};
        case End::Crashed:
            return {Result::Crashed};
        case End::Missing:
            return {Result::Missing};
    }
    switch (ended.exitCode) {
        case P::kDrawn:
            return drawn(ended.output, request);
        case P::kTooLarge:
            return measured(ended.output, request);
        case P::kEmpty:
            return {Result::Empty};
        case P::kNotReadable:
            return {Result::NotReadable};
        case P::kRefersToFiles:
            return {Result::RefersToFiles};
        case P::kOutOfMemory:
            return {Result::OutOfMemory};
        default:  // a sanitizer's report, or anything else the player was not made to say
            return {Result::Crashed};
    }
}

}  // namespace

Played Play(const QByteArray& drawing, const Request& request) {
    return Play(PlayerProcess::Beside(P::kProgramName), drawing, request);
}

Played Play(const QString& program, const QByteArray& drawing, const Request& request) {
    const Request asked{std::clamp(request.maxSide, 1, P::kMaxSide),
                        std::clamp(request.square, 0, P::kMaxSide), request.scale};
    const QStringList arguments{QString::number(asked.maxSide), QString::number(asked.square),
                                QString::number(asked.scale, 'g', 17)};
    const auto ended = PlayerProcess::Run(
        program, arguments, drawing, PlayerProcess::DeadlineMs("TORVELINK_DRAWING_DEADLINE_MS"));
    return finished(ended, asked);
}

}  // namespace DrawingPlayer
