#include "picture_io.h"

#include <algorithm>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <cerrno>

#include "metafile_player.h"
#include "native_path.h"
#include "picture_kinds.h"
#include "picture_player.h"
#include "player_process.h"
#include "player_server.h"

using namespace Messages;
using namespace Platform;

namespace Pictures {

namespace {

// Enough of a file's start to tell a metafile.
constexpr qint64 kHeadBytes = 4;

LoadedPicture unreadable(Message message) {
    return {LoadStatus::Unreadable, {}, {}, std::move(message)};
}

// The file cannot be read, and why.
LoadedPicture unreadable(const QString& name, Reason reason) {
    return unreadable({.code = MessageCode::CannotRead, .reason = reason, .subject = name});
}
LoadedPicture unreadable(const QString& name, MessageCode reason) {
    return unreadable(name, Reason{reason, 0});
}

LoadedPicture damaged(const QString& name) {
    return unreadable(name, MessageCode::Damaged);
}

// A file larger than a player takes, in whole MiB.
LoadedPicture tooLong(const QString& name, qint64 maxBytes) {
    return unreadable({.code = MessageCode::CannotRead,
                       .reason = {MessageCode::FileTooLong, 0},
                       .subject = name,
                       .facts = {{Fact::Mebibytes, maxBytes >> 20}}});
}

LoadedPicture empty(const QString& name) {
    return unreadable({.code = MessageCode::EmptyPicture, .subject = name});
}

LoadedPicture tooLarge(QSize size) {
    return {LoadStatus::TooLarge, {}, size, {}};
}

LoadedPicture loaded(const QImage& picture, const QString& name, bool keepAlpha = false) {
    const QImage image = keepAlpha ? WithAlpha(picture) : OverColour(picture, kBoxBackground);
    if (image.isNull()) return damaged(name);
    return {LoadStatus::Loaded, image, image.size(), {}};
}

Reason openReason(int error) {
    if (error == ENOENT) return {MessageCode::Missing, 0};
    if (error == EACCES || error == EPERM) return {MessageCode::NoReadPermission, 0};
    return SystemReason(error);
}

// Only an ordinary file is read: reading a pipe or a device could wait for
// ever or never end.
Reason typeReason(const struct stat& info) {
    if (S_ISDIR(info.st_mode)) return {MessageCode::IsFolder, 0};
    if (!S_ISREG(info.st_mode)) return {MessageCode::NotAFile, 0};
    return {};
}

// The file opened for reading, or why it cannot be. Its kind is checked
// before it is opened, and again on what was opened, in case it changed.
int openPicture(const QString& path, Reason& reason) {
    const QByteArray native = NativePath::Encode(path);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) {
        reason = openReason(errno);
        return -1;
    }
    if (reason = typeReason(info); reason.code != MessageCode::None) return -1;
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        reason = openReason(errno);
        return -1;
    }
    if (::fstat(fd, &info) != 0) reason = openReason(errno);
    if (reason.code == MessageCode::None) reason = typeReason(info);
    if (reason.code == MessageCode::None) return fd;
    ::close(fd);
    return -1;
}

// A size the players measured, for a QSize: a claim past any int stays too
// large.
QSize measuredSize(const PlayerClient::Played& played) {
    const auto side = [](qint64 pixels) {
        return static_cast<int>(std::min<qint64>(pixels, INT_MAX));
    };
    return {side(played.width), side(played.height)};
}

bool iconName(const QString& name) {
    const QString suffix = QFileInfo(name).suffix().toLower();
    return suffix == QLatin1String("ico") || suffix == QLatin1String("cur");
}

LoadedPicture loadRaster(QFile& file, const QString& name, int maxSide,
                         const LoadChoices& choices) {
    const qint64 maxBytes = PictureProtocol::MaxBytes(maxSide);
    if (file.size() > maxBytes) return tooLong(name, maxBytes);
    using PlayerClient::Result;
    const auto played = PicturePlayer::Play(
        file.readAll(), {maxSide, PictureKinds::Formats(choices.toolkitKinds), iconName(name)});
    if (played.result == Result::Drawn) {
        LoadedPicture result = loaded(played.image, name, choices.keepAlpha);
        result.windowKind = played.kind.isEmpty() || PictureKinds::ReadsFormat(played.kind, false);
        return result;
    }
    if (played.result == Result::TooLarge) return tooLarge(measuredSize(played));
    Message refusal = PlayerClient::Refusal(played.result, PicturePlayer::kPlayer, name);
    if (refusal.code == MessageCode::UnsupportedPicture)
        refusal.facts.set(Fact::Kinds, PictureKinds::Names(choices.toolkitKinds));
    return unreadable(std::move(refusal));
}

LoadedPicture loadMetafile(QFile& file, const QString& name, int maxSide) {
    if (file.size() > MetafileProtocol::kMaxBytes)
        return tooLong(name, MetafileProtocol::kMaxBytes);
    using PlayerClient::Result;
    const auto played = MetafilePlayer::Play(file.readAll(), maxSide);
    if (played.result == Result::Drawn) {
        LoadedPicture result = loaded(played.image, name);
        result.windowKind = true;
        return result;
    }
    if (played.result == Result::TooLarge) return tooLarge(measuredSize(played));
    return unreadable(PlayerClient::Refusal(played.result, MetafilePlayer::kPlayer, name));
}

bool hasTransparency(const QImage& argb) {
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 255) return true;
    }
    return false;
}

}  // namespace

QImage WithAlpha(const QImage& picture) {
    if (!picture.hasAlphaChannel()) return picture.convertToFormat(QImage::Format_RGB32);
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    return hasTransparency(argb) ? argb : argb.convertToFormat(QImage::Format_RGB32);
}

QImage OverColour(const QImage& picture, QRgb colour) {
    if (!picture.hasAlphaChannel()) return picture.convertToFormat(QImage::Format_RGB32);
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    QImage out(argb.size(), QImage::Format_RGB32);
    if (out.isNull()) return out;
    const auto over = [](int c, int a, int back) { return (c * a + back * (255 - a) + 127) / 255; };
    for (int y = 0; y < argb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const int a = qAlpha(in[x]);
            line[x] =
                qRgb(over(qRed(in[x]), a, qRed(colour)), over(qGreen(in[x]), a, qGreen(colour)),
                     over(qBlue(in[x]), a, qBlue(colour)));
        }
    }
    return out;
}

LoadedPicture LoadPicture(const QString& path, int maxSide, const LoadChoices& choices) {
    QFile file;
    if (auto opened = OpenPictureFile(path, file); opened.status != LoadStatus::Loaded)
        return opened;
    return LoadOpenPicture(file, NativePath::FileName(path), maxSide, choices);
}

void StopPlayers() {
    PlayerProcess::StopAll();
    PlayerServer::StopAll();
}

LoadedPicture OpenPictureFile(const QString& path, QFile& file) {
    const QString name = NativePath::FileName(path);
    Reason reason;
    const int fd = openPicture(path, reason);
    if (fd < 0) return unreadable(name, reason);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return damaged(name);
    }
    if (file.size() == 0) return empty(name);
    return {LoadStatus::Loaded, {}, {}, {}};
}

LoadedPicture LoadOpenPicture(QFile& file, const QString& name, int maxSide,
                              const LoadChoices& choices) {
    const QByteArray head = file.peek(kHeadBytes);
    if (MetafilePlayer::LooksLikeMetafile(head)) return loadMetafile(file, name, maxSide);
    return loadRaster(file, name, maxSide, choices);
}

}  // namespace Pictures
