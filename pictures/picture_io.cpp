#include "picture_io.h"

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QImageReader>
#include <QImageWriter>
#include <cerrno>

#include "bmp_fields.h"
#include "metafile_player.h"
#include "metafile_protocol.h"
#include "native_path.h"
#include "safe_file.h"
#include "texts.h"

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

const QList<QByteArray> kRasterFormats{"bmp", "dib", "jpeg", "jpg", "gif", "ico", "cur"};
const QList<QByteArray> kToolkitFormats{"png", "webp", "tiff", "tif"};

LoadedPicture unreadable(const QString& message) {
    return {LoadStatus::Unreadable, {}, {}, message};
}

LoadedPicture unreadable(const QString& name, const char* reason) {
    return unreadable(Texts::CannotRead(name, QString::fromUtf8(reason)));
}

LoadedPicture tooLarge(QSize size) {
    return {LoadStatus::TooLarge, {}, size, {}};
}

bool oversize(QSize size, int maxSide) {
    return size.width() > maxSide || size.height() > maxSide;
}

LoadedPicture loaded(const QImage& picture, const QString& name, bool keepAlpha = false) {
    const QImage image = keepAlpha ? WithAlpha(picture) : OverColour(picture, kBoxBackground);
    if (image.isNull()) return unreadable(Texts::CannotReadPicture(name));
    return {LoadStatus::Loaded, image, image.size(), {}};
}

QString openReason(int error) {
    if (error == ENOENT) return QString::fromUtf8(Texts::kReasonMissing);
    if (error == EACCES || error == EPERM) return QString::fromUtf8(Texts::kReasonNoPermission);
    return FileErrorReason(error);
}

// Only an ordinary file is read: reading a pipe or a device could wait for
// ever or never end.
QString typeReason(const struct stat& info) {
    if (S_ISDIR(info.st_mode)) return QString::fromUtf8(Texts::kReasonFolder);
    if (!S_ISREG(info.st_mode)) return QString::fromUtf8(Texts::kReasonNotAFile);
    return {};
}

// The file opened for reading, or why it cannot be. Its kind is checked
// before it is opened, and again on what was opened, in case it changed.
int openPicture(const QString& path, QString& reason) {
    const QByteArray native = NativePath::Encode(path);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) {
        reason = openReason(errno);
        return -1;
    }
    if (reason = typeReason(info); !reason.isEmpty()) return -1;
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        reason = openReason(errno);
        return -1;
    }
    if (::fstat(fd, &info) != 0) reason = openReason(errno);
    if (reason.isEmpty()) reason = typeReason(info);
    if (reason.isEmpty()) return fd;
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
    const QString unsupported = choices.toolkitKinds ? Texts::UnsupportedToolkitPicture(name)
                                                     : Texts::UnsupportedPicture(name);
    if (!reader.canRead()) {
        const bool otherKind = !reader.format().isEmpty() || looksLikeEnhancedMetafile(head);
        return unreadable(otherKind ? unsupported : Texts::CannotReadPicture(name));
    }
    const QByteArray format = reader.format().toLower();
    const QString suffix = QFileInfo(name).suffix().toLower();
    const bool icon = format == "ico" || format == "cur" ||
                      (format.isEmpty() && (suffix == "ico" || suffix == "cur"));
    const bool known = kRasterFormats.contains(format) ||
                       (choices.toolkitKinds && kToolkitFormats.contains(format));
    if (!format.isEmpty() && !known) return unreadable(unsupported);
    if (icon) chooseIconImage(reader);
    QSize size = reader.size();
    size.setHeight(qAbs(size.height()));  // top-down bitmaps report a negative height
    if (size.isValid() && oversize(size, maxSide)) return tooLarge(size);
    QImage picture = reader.read();
    if (picture.isNull()) return unreadable(Texts::CannotReadPicture(name));
    if (oversize(picture.size(), maxSide)) return tooLarge(picture.size());
    if (format == "bmp" || format == "dib") picture = BmpFields::WidenChannels(picture, head);
    return loaded(picture, name, choices.keepAlpha);
}

LoadedPicture loadMetafile(QFile& file, const QString& name, int maxSide) {
    if (file.size() > MetafileProtocol::kMaxBytes)
        return unreadable(Texts::CannotReadPicture(name));
    using MetafilePlayer::Result;
    const auto played = MetafilePlayer::Play(file.readAll(), maxSide);
    switch (played.result) {
        case Result::Drawn:
            return loaded(played.image, name);
        case Result::TooLarge:
            return tooLarge(played.size);
        case Result::Empty:
            return unreadable(Texts::EmptyPicture(name));
        case Result::NotReadable:
            return unreadable(Texts::CannotReadPicture(name));
        case Result::CannotStart:
            return unreadable(name, Texts::kReasonNoFonts);
        case Result::OutOfMemory:
            return unreadable(name, Texts::kReasonTooMuchMemory);
        case Result::TimedOut:
            return unreadable(name, Texts::kReasonTooSlow);
        case Result::Crashed:
            return unreadable(name, Texts::kReasonCrashed);
        case Result::Missing:
            return unreadable(name, Texts::kReasonNoPlayer);
    }
    return unreadable(Texts::CannotReadPicture(name));
}

// What a picture writer writes, handed to a SafeFile, which keeps the reason
// of a failure.
class SafeFileDevice : public QIODevice {
public:
    explicit SafeFileDevice(SafeFile& file) : file_(file) {
        QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (!file_.write(data, static_cast<std::size_t>(size))) return -1;
        unflushed_ += size;
        if (unflushed_ >= kWriteBackBytes) {
            file_.startWriteBack();
            unflushed_ = 0;
        }
        return size;
    }

private:
    static constexpr qint64 kWriteBackBytes = 8 << 20;
    SafeFile& file_;
    qint64 unflushed_ = 0;
};

// The picture file open in `file`, or Unreadable with the message why not.
LoadedPicture openFile(const QString& path, QFile& file) {
    const QString name = QFileInfo(path).fileName();
    QString reason;
    const int fd = openPicture(path, reason);
    if (fd < 0) return unreadable(Texts::CannotRead(name, reason));
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return unreadable(Texts::CannotReadPicture(name));
    }
    if (file.size() == 0) return unreadable(Texts::EmptyPicture(name));
    return {LoadStatus::Loaded, {}, {}, {}};
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
    if (auto opened = openFile(path, file); opened.status != LoadStatus::Loaded) return opened;
    const QString name = QFileInfo(path).fileName();
    const QByteArray head = file.peek(kHeadBytes);
    if (MetafilePlayer::LooksLikeMetafile(head)) return loadMetafile(file, name, maxSide);
    return loadRaster(file, head, name, maxSide, choices);
}

QByteArray PeekPictureFile(const QString& path, qint64 count) {
    QFile file;
    if (openFile(path, file).status != LoadStatus::Loaded) return {};
    return file.read(count);
}

LoadedPicture ReadPictureFile(const QString& path, qint64 maxBytes, QByteArray& bytes) {
    QFile file;
    if (auto opened = openFile(path, file); opened.status != LoadStatus::Loaded) return opened;
    if (file.size() > maxBytes)
        return unreadable(Texts::CannotReadPicture(QFileInfo(path).fileName()));
    bytes = file.readAll();
    return {LoadStatus::Loaded, {}, {}, {}};
}

SaveResult SaveStrip(const QImage& strip, const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const auto failed = [&name](const QString& reason) {
        return SaveResult{false, Texts::CannotSave(name, reason)};
    };
    if (strip.isNull()) return failed(QString::fromUtf8(Texts::kReasonNoPicture));
    const bool png = path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
    SafeFile file(path);
    if (!file.open()) return failed(file.reason());
    SafeFileDevice device(file);
    QImageWriter writer(&device, png ? "png" : "bmp");
    // Qt writes 32-bit pictures as uncompressed 24-bit bitmaps.
    const QImage rgb = strip.format() == QImage::Format_RGB32
                           ? strip
                           : strip.convertToFormat(QImage::Format_RGB32);
    if (!writer.write(rgb) || file.failed()) {
        const QString reason =
            file.failed() ? file.reason() : QString::fromUtf8(Texts::kReasonNotEncoded);
        file.discard();
        return failed(reason);
    }
    if (!file.commit()) return failed(file.reason());
    return {true, {}};
}

}  // namespace Pictures
