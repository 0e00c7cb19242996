#include "picture_io.h"

#include <algorithm>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QImageReader>
#include <cerrno>

#include "bmp_fields.h"
#include "metafile_player.h"
#include "native_path.h"
#include "picture_kinds.h"
#include "player_process.h"

using namespace Messages;
using namespace Platform;

namespace Pictures {

namespace {

// What a decoder may allocate: enough for any picture of the largest size
// taken (eight bytes a pixel: 16-bit channels with alpha), far below what a
// crafted file would make it allocate.
int decodeLimitMegabytes(int maxSide) {
    const qint64 bytes = qint64{maxSide} * maxSide * 8;
    return static_cast<int>(std::max<qint64>(64, bytes / (1024 * 1024) + 1));
}

// Enough of a file's start for every kind's header: a bitmap's with its masks.
constexpr qint64 kHeadBytes = 256;

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

LoadedPicture empty(const QString& name) {
    return unreadable({.code = MessageCode::EmptyPicture, .subject = name});
}

LoadedPicture tooLarge(QSize size) {
    return {LoadStatus::TooLarge, {}, size, {}};
}

bool oversize(QSize size, int maxSide) {
    return size.width() > maxSide || size.height() > maxSide;
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

// An enhanced metafile: a header record (type 1) whose signature " EMF"
// stands at byte 40.
bool looksLikeEnhancedMetafile(const QByteArray& head) {
    return head.size() >= 44 && head.startsWith(QByteArray("\x01\0\0\0", 4)) &&
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

LoadedPicture loadRaster(QFile& file, const QByteArray& head, const QString& name, int maxSide,
                         const LoadChoices& choices) {
    QImageReader reader(&file);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(decodeLimitMegabytes(maxSide));
    const Message unsupported{.code = MessageCode::UnsupportedPicture,
                              .subject = name,
                              .facts = {{Fact::Kinds, PictureKinds::Names(choices.toolkitKinds)}}};
    if (!reader.canRead()) {
        const bool otherKind = !reader.format().isEmpty() || looksLikeEnhancedMetafile(head);
        return otherKind ? unreadable(unsupported) : damaged(name);
    }
    const QByteArray format = reader.format().toLower();
    const QString suffix = QFileInfo(name).suffix().toLower();
    const bool icon = format == "ico" || format == "cur" ||
                      (format.isEmpty() && (suffix == "ico" || suffix == "cur"));
    if (!format.isEmpty() && !PictureKinds::ReadsFormat(format, choices.toolkitKinds))
        return unreadable(unsupported);
    if (icon) chooseIconImage(reader);
    QSize size = reader.size();
    size.setHeight(qAbs(size.height()));  // top-down bitmaps report a negative height
    if (size.isValid() && oversize(size, maxSide)) return tooLarge(size);
    QImage picture = reader.read();
    if (picture.isNull()) return damaged(name);
    if (oversize(picture.size(), maxSide)) return tooLarge(picture.size());
    if (format == "bmp" || format == "dib") picture = BmpFields::WidenChannels(picture, head);
    LoadedPicture result = loaded(picture, name, choices.keepAlpha);
    result.windowKind = format.isEmpty() || PictureKinds::ReadsFormat(format, false);
    return result;
}

// The metafile player measures in int, so its sizes fit a QSize; a larger
// claim stays too large.
QSize measuredSize(const PlayerClient::Played& played) {
    const auto side = [](qint64 pixels) {
        return static_cast<int>(std::min<qint64>(pixels, INT_MAX));
    };
    return {side(played.width), side(played.height)};
}

LoadedPicture loadMetafile(QFile& file, const QString& name, int maxSide) {
    if (file.size() > MetafileProtocol::kMaxBytes) return damaged(name);
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
    return LoadOpenPicture(file, QFileInfo(path).fileName(), maxSide, choices);
}

void StopPlayers() {
    PlayerProcess::StopAll();
}

LoadedPicture OpenPictureFile(const QString& path, QFile& file) {
    const QString name = QFileInfo(path).fileName();
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
    return loadRaster(file, head, name, maxSide, choices);
}

}  // namespace Pictures
