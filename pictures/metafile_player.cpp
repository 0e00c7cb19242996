#include "metafile_player.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <optional>

#include "metafile_protocol.h"
#include "player_process.h"

namespace MetafilePlayer {

namespace {

namespace P = MetafileProtocol;

std::optional<QSize> sizeIn(const QByteArray& output, int maxSide) {
    if (output.size() < 8) return std::nullopt;
    const auto width = qFromUnaligned<quint32>(output.constData());
    const auto height = qFromUnaligned<quint32>(output.constData() + 4);
    if (width < 1 || height < 1 || width > P::kMaxSide || height > P::kMaxSide) return std::nullopt;
    const QSize size(static_cast<int>(width), static_cast<int>(height));
    const bool fits = size.width() <= maxSide && size.height() <= maxSide;
    const qsizetype pixels = fits ? qsizetype{size.width()} * size.height() : 0;
    if (output.size() != 8 + pixels * 4) return std::nullopt;
    return size;
}

Played drawn(const QByteArray& output, int maxSide) {
    const auto size = sizeIn(output, maxSide);
    if (!size || size->width() > maxSide || size->height() > maxSide)
        return {Result::NotReadable, {}, {}};
    QImage image(*size, QImage::Format_ARGB32);
    if (image.isNull()) return {Result::OutOfMemory, {}, {}};
    const qsizetype rowBytes = qsizetype{size->width()} * 4;
    for (int y = 0; y < size->height(); ++y)
        std::memcpy(image.scanLine(y), output.constData() + 8 + y * rowBytes,
                    static_cast<std::size_t>(rowBytes));
    return {Result::Drawn, *size, image};
}

Played finished(const PlayerProcess::Ended& ended, int maxSide) {
    using PlayerProcess::End;
    switch (ended.end) {
        case End::Exited:
            break;
        case End::TimedOut:
            return {Result::TimedOut, {}, {}};
        case End::Crashed:
            return {Result::Crashed, {}, {}};
        case End::Missing:
            return {Result::Missing, {}, {}};
    }
    const QByteArray& output = ended.output;
    switch (ended.exitCode) {
        case P::kDrawn:
            return drawn(output, maxSide);
        case P::kTooLarge: {
            const auto size = sizeIn(output, maxSide);
            if (size && (size->width() > maxSide || size->height() > maxSide))
                return {Result::TooLarge, *size, {}};
            return {Result::NotReadable, {}, {}};
        }
        case P::kEmpty:
            return {Result::Empty, {}, {}};
        case P::kNotReadable:
            return {Result::NotReadable, {}, {}};
        case P::kCannotStart:
            return {Result::CannotStart, {}, {}};
        case P::kOutOfMemory:
            return {Result::OutOfMemory, {}, {}};
        default:  // a sanitizer's report, or anything else the player was not made to say
            return {Result::Crashed, {}, {}};
    }
}

}  // namespace

bool LooksLikeMetafile(const QByteArray& head) {
    if (head.size() < 4) return false;
    const auto* p = reinterpret_cast<const uchar*>(head.constData());
    if (qFromLittleEndian<quint32>(p) == P::kPlaceableKey) return true;
    // A plain metafile header: type 1 (disk) or 2 (memory), nine words long.
    const auto type = qFromLittleEndian<quint16>(p), words = qFromLittleEndian<quint16>(p + 2);
    return (type == 1 || type == 2) && words == 9;
}

Played Play(const QByteArray& data, int maxSide) {
    return Play(PlayerProcess::Beside(P::kProgramName), data, maxSide);
}

Played Play(const QString& program, const QByteArray& data, int maxSide) {
    maxSide = std::clamp(maxSide, 1, P::kMaxSide);
    const auto ended =
        PlayerProcess::Run(program, {QString::number(maxSide)}, data,
                           PlayerProcess::DeadlineMs("TORVELINK_METAFILE_DEADLINE_MS"));
    return finished(ended, maxSide);
}

}  // namespace MetafilePlayer
