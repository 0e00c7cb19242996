#include "metafile_player.h"

#include <sys/prctl.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <optional>

#include "metafile_protocol.h"

namespace MetafilePlayer {

namespace {

namespace P = MetafileProtocol;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// A backstop for a player left behind: the deadline ends it long before.
constexpr rlim_t kCpuSeconds = 10;

int deadlineMs() {
    bool ok = false;
    const int asked = qEnvironmentVariableIntValue("TORVELINK_METAFILE_DEADLINE_MS", &ok);
    return ok && asked > 0 && asked < kDeadlineMs ? asked : kDeadlineMs;
}

// Runs in the player's process between fork and exec: only system calls.
void limitPlayer() {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const rlimit noCore{0, 0}, cpu{kCpuSeconds, kCpuSeconds + 1};
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::setrlimit(RLIMIT_CPU, &cpu);
    if constexpr (!kAddressSanitizer) {
        const rlimit space{static_cast<rlim_t>(kAddressSpace), static_cast<rlim_t>(kAddressSpace)};
        ::setrlimit(RLIMIT_AS, &space);
    }
}

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

Played finished(QProcess& player, int maxSide) {
    if (player.exitStatus() == QProcess::CrashExit)
        return {player.exitCode() == SIGXCPU ? Result::TimedOut : Result::Crashed, {}, {}};
    const QByteArray output = player.readAllStandardOutput();
    switch (player.exitCode()) {
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
    return Play(
        QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(P::kProgramName),
        data, maxSide);
}

Played Play(const QString& program, const QByteArray& data, int maxSide) {
    maxSide = std::clamp(maxSide, 1, P::kMaxSide);
    if (!QFileInfo(program).isExecutable()) return {Result::Missing, {}, {}};
    QProcess player;
    player.setProgram(program);
    player.setArguments({QString::number(maxSide)});
    player.setStandardErrorFile(QProcess::nullDevice());
    player.setChildProcessModifier(limitPlayer);
    const QDeadlineTimer deadline(deadlineMs());
    player.start();
    if (!player.waitForStarted(static_cast<int>(deadline.remainingTime())))
        return {Result::Missing, {}, {}};
    player.write(data);
    player.closeWriteChannel();
    // False also for a player that has already ended: only a running one is late.
    if (!player.waitForFinished(static_cast<int>(deadline.remainingTime())) &&
        player.state() != QProcess::NotRunning) {
        player.kill();
        player.waitForFinished(-1);
        return {Result::TimedOut, {}, {}};
    }
    return finished(player, maxSide);
}

}  // namespace MetafilePlayer
