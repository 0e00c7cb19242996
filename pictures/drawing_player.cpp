#include "drawing_player.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "player_process.h"

using namespace Messages;

namespace Pictures {

namespace DrawingPlayer {

namespace {

// A frame's pixels, oversampled, drawn for each share of the drawing's
// deadline: a thousand frames may take that much longer than one.
constexpr qint64 kPixelsPerDeadline = qint64{1} << 22;
constexpr double kMostFramesMs = 10 * 60 * 1000;

QStringList arguments(const Request& request, int square) {
    const int oversample =
        DrawingProtocol::OversampleAllowed(request.oversample) ? request.oversample : 1;
    return {QString::number(square), QString::number(request.scale, 'g', 17),
            QString::number(oversample)};
}

}  // namespace

PlayerClient::Played Play(const QByteArray& drawing, const Request& request) {
    return Play(PlayerProcess::Beside(kPlayer.programName), drawing, request);
}

PlayerClient::Played Play(const QString& program, const QByteArray& drawing,
                          const Request& request) {
    const int square = std::clamp(request.square, 0, PlayerProtocol::kMaxSide);
    return PlayerClient::Play(kPlayer, program, request.maxSide, arguments(request, square),
                              drawing);
}

namespace {

// Frames in a file of their own, read a band at a time.
class FrameFile final : public Engine::DrawnFrames {
public:
    FrameFile(QTemporaryFile* named, int fd, const DrawingProtocol::FrameMotion& motion)
        : named_(named), fd_(fd), motion_(motion) {}
    ~FrameFile() override {
        if (named_ == nullptr) ::close(fd_);
        delete named_;
    }
    FrameFile(const FrameFile&) = delete;
    FrameFile& operator=(const FrameFile&) = delete;

    int32_t width() const override { return motion_.width; }
    int32_t height() const override { return motion_.height; }
    int32_t count() const override { return motion_.frames; }
    bool read(int32_t i, int32_t first, int32_t rows, uint32_t* out) const override {
        const auto rowBytes = static_cast<std::size_t>(motion_.width) * 4;
        const std::size_t size = rowBytes * static_cast<std::size_t>(rows);
        const off_t at =
            static_cast<off_t>(sizeof(PlayerProtocol::Header)) +
            (static_cast<off_t>(i - 1) * motion_.height + first) * static_cast<off_t>(rowBytes);
        auto* bytes = reinterpret_cast<char*>(out);
        for (std::size_t done = 0; done < size;) {
            const ssize_t n =
                ::pread(fd_, bytes + done, size - done, at + static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                std::memset(out, 0, size);
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    QTemporaryFile* named_;  // where the system makes no unnamed file
    int fd_;
    DrawingProtocol::FrameMotion motion_;
};

// A file that has no name, so that nothing is left of it whatever ends
// this program; a named one that removes itself where the folder's file
// system makes none. -1 when neither can be made.
int temporaryFile(std::unique_ptr<QTemporaryFile>& named) {
    const QByteArray folder = QFile::encodeName(QDir::tempPath());
    const int fd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    named = std::make_unique<QTemporaryFile>();
    if (!named->open()) return -1;
    return named->handle();
}

QString number(double v) {
    return QString::number(v, 'g', 17);
}

}  // namespace

PlayedFrames PlayFrames(const QByteArray& drawing, const Request& request,
                        const DrawingProtocol::FrameMotion& motion) {
    return PlayFrames(PlayerProcess::Beside(kPlayer.programName), drawing, request, motion);
}

PlayedFrames PlayFrames(const QString& program, const QByteArray& drawing, const Request& request,
                        const DrawingProtocol::FrameMotion& motion) {
    using PlayerClient::Result;
    const int maxSide = std::clamp(request.maxSide, 1, PlayerProtocol::kMaxSide);
    const int square = std::clamp(request.square, 0, PlayerProtocol::kMaxSide);
    if (motion.frames < 1 || motion.width < 1 || motion.height < 1 || motion.width > maxSide ||
        motion.height > maxSide)
        return {Result::TooLarge};
    std::unique_ptr<QTemporaryFile> named;
    const int fd = temporaryFile(named);
    if (fd < 0) return {Result::Missing, nullptr, true};
    auto frames = std::make_unique<FrameFile>(named.release(), fd, motion);
    const qint64 frameBytes = qint64{motion.width} * motion.height * 4;
    const qint64 bytes = qint64{sizeof(PlayerProtocol::Header)} + frameBytes * motion.frames;
    // The room for every frame first: a full disk is told before the
    // drawing, not after. A file system that cannot say goes on without.
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, bytes) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS)
        return {Result::OutOfMemory, nullptr, false, errno};
    // The drawing's own deadline for every so many pixels drawn.
    const int k = DrawingProtocol::OversampleFor(request.oversample, frameBytes / 4);
    const qint64 drawn = frameBytes / 4 * motion.frames * k * k;
    const qint64 shares = 1 + drawn / kPixelsPerDeadline;
    const int base = PlayerProcess::DeadlineMs(kPlayer.deadlineVariable);
    // And with what one drawing of it took, twice over for every frame,
    // drawn on one core: a busy drawing takes longer than its pixels say.
    // Never more than kMostFramesMs.
    const double once = request.oncePixels > 0
                            ? static_cast<double>(request.onceMs) * static_cast<double>(drawn) /
                                  static_cast<double>(request.oncePixels)
                            : 0.0;
    const int deadline = static_cast<int>(std::min<double>(
        std::max(static_cast<double>(base) * static_cast<double>(shares), 2.0 * once),
        kMostFramesMs));
    QStringList all = QStringList{QString::number(maxSide)} + arguments(request, square);
    all << QString::fromLatin1(DrawingProtocol::kFrames) << QString::number(motion.frames)
        << QString::number(motion.width) << QString::number(motion.height) << number(motion.x)
        << number(motion.y) << number(motion.toX) << number(motion.toY)
        << QString::number(motion.start, 'g', 9) << QString::number(motion.step, 'g', 9)
        << number(motion.pivotX) << number(motion.pivotY);
    const auto ended = PlayerProcess::RunInto(
        program, all, drawing, deadline,
        PlayerProcess::kCpuSeconds + DrawingProtocol::kFrameThreads * (deadline / 1000), fd, bytes);
    if (ended.keptError > 0) return {Result::OutOfMemory, nullptr, false, ended.keptError};
    if (ended.end == PlayerProcess::End::Exited && ended.exitCode == PlayerProtocol::kDrawn) {
        PlayerProtocol::Header header;
        struct stat file {};
        if (::fstat(fd, &file) != 0 || file.st_size != bytes ||
            ::pread(fd, &header, sizeof header, 0) != static_cast<ssize_t>(sizeof header) ||
            header.width != motion.width || header.height != motion.height)
            return {Result::NotReadable};
        return {Result::Drawn, std::move(frames)};
    }
    if (ended.end == PlayerProcess::End::Exited && ended.exitCode == PlayerProtocol::kTooLarge)
        return {Result::TooLarge};
    // Anything else is said as a drawing drawn once would say it.
    PlayerProcess::Ended said = ended;
    if (said.end == PlayerProcess::End::Crashed && said.keptError < 0) said.exitCode = 0;
    return {PlayerClient::Answer(said, maxSide).result};
}

}  // namespace DrawingPlayer

}  // namespace Pictures
