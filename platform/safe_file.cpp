#include "safe_file.h"

#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "native_path.h"

namespace {

// ".<name>.<8 hex digits>.tmp": the temporary name's length beyond the name.
constexpr qsizetype kTemporaryExtra = 1 + 1 + 8 + 4;

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray nameOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// The temporary files open now, for a signal handler to remove: plain bytes
// and flags, as a handler may touch nothing else. Only the thread that saves
// fills the slots.
constexpr int kTemporarySlots = 8;
char temporaryNames[kTemporarySlots][PATH_MAX + 1];
volatile std::sig_atomic_t temporaryInUse[kTemporarySlots];

int rememberTemporary(const QByteArray& path) {
    if (path.size() > PATH_MAX) return -1;
    for (int slot = 0; slot < kTemporarySlots; ++slot) {
        if (temporaryInUse[slot] != 0) continue;
        std::memcpy(temporaryNames[slot], path.constData(), static_cast<std::size_t>(path.size()));
        temporaryNames[slot][path.size()] = '\0';
        temporaryInUse[slot] = 1;
        return slot;
    }
    return -1;
}

void forgetTemporary(int slot) {
    if (slot >= 0) temporaryInUse[slot] = 0;
}

extern "C" void removeTemporariesAndEnd(int signal) {
    for (int slot = 0; slot < kTemporarySlots; ++slot)
        if (temporaryInUse[slot] != 0) ::unlink(temporaryNames[slot]);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

void RemoveTemporaryFilesOnInterrupt() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        std::signal(signal, removeTemporariesAndEnd);
}

QString FileErrorReason(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return QStringLiteral("keine Berechtigung");
        case EROFS:
            return QStringLiteral("der Datentr\u00e4ger ist schreibgesch\u00fctzt");
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("der Datentr\u00e4ger ist voll");
        case EFBIG:
            return QStringLiteral("die Datei w\u00e4re gr\u00f6\u00dfer als erlaubt");
        case ENAMETOOLONG:
            return QStringLiteral("der Name ist zu lang");
        case ENOENT:
            return QStringLiteral("der Ordner oder die Datei existiert nicht");
        case ENOTDIR:
            return QStringLiteral("ein Teil des Pfades ist kein Ordner");
        case EISDIR:
            return QStringLiteral("unter diesem Namen steht ein Ordner");
        case EIO:
            return QStringLiteral("Ein-/Ausgabefehler des Datentr\u00e4gers");
        case ENOMEM:
            return QStringLiteral("nicht genug Speicher");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("zu viele offene Dateien");
        case ETXTBSY:
        case EBUSY:
            return QStringLiteral("die Datei ist in Gebrauch");
        case ELOOP:
            return QStringLiteral("zu viele symbolische Verkn\u00fcpfungen");
        case EXDEV:
            return QStringLiteral(
                "Umbenennen \u00fcber Datentr\u00e4ger hinweg nicht m\u00f6glich");
        default:
            return QStringLiteral("Fehler %1").arg(error);
    }
}

void IgnoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

SafeFile::SafeFile(QString target) : target_(std::move(target)) {}

SafeFile::~SafeFile() {
    discard();
}

bool SafeFile::fail(int error) {
    return fail(FileErrorReason(error));
}

bool SafeFile::fail(QString reason) {
    reason_ = std::move(reason);
    discard();
    return false;
}

// The file that will be replaced: the target, or what a symbolic link there
// points to. False when something other than a file stands under the name.
bool SafeFile::resolveTarget() {
    nativeTarget_ = NativePath::Encode(target_);
    if (nameOf(nativeTarget_).size() > NAME_MAX) return fail(ENAMETOOLONG);
    struct stat info {};
    if (::lstat(nativeTarget_.constData(), &info) != 0) return true;  // a new file
    if (S_ISLNK(info.st_mode)) {
        const std::unique_ptr<char, decltype(&std::free)> real(
            ::realpath(nativeTarget_.constData(), nullptr), &std::free);
        if (!real) return true;  // a dangling link is replaced
        nativeTarget_ = real.get();
        if (::stat(nativeTarget_.constData(), &info) != 0) return fail(errno);
    }
    if (S_ISDIR(info.st_mode)) return fail(EISDIR);
    if (!S_ISREG(info.st_mode))
        return fail(QStringLiteral("unter diesem Namen steht keine gew\u00f6hnliche Datei"));
    if (::access(nativeTarget_.constData(), W_OK) != 0)
        return fail(QStringLiteral("die vorhandene Datei ist schreibgesch\u00fctzt"));
    return true;
}

bool SafeFile::open() {
    if (!resolveTarget()) return false;
    // The temporary name keeps as much of the target's name as fits.
    const QByteArray name = nameOf(nativeTarget_).left(NAME_MAX - kTemporaryExtra);
    const QByteArray folder = folderOf(nativeTarget_);
    // A short random suffix; O_EXCL makes a clash fail instead of sharing.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QByteArray suffix =
            QByteArray::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, '0');
        temporary_ = folder + "/." + name + '.' + suffix + ".tmp";
        fd_ = ::open(temporary_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            slot_ = rememberTemporary(temporary_);
            return true;
        }
        const int error = errno;
        if (error == EEXIST) continue;
        temporary_.clear();
        if (error == EACCES || error == EPERM)
            return fail(QStringLiteral("kein Schreibrecht im Ordner"));
        if (error == ENOENT) return fail(QStringLiteral("der Ordner existiert nicht"));
        return fail(error);
    }
    temporary_.clear();
    return fail(EEXIST);
}

bool SafeFile::write(const void* data, std::size_t size) {
    if (fd_ < 0) return false;
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        if (n == 0) return fail(ENOSPC);
        bytes += n;
        size -= static_cast<std::size_t>(n);
        written_ += n;
    }
    return true;
}

void SafeFile::startWriteBack() {
#ifdef SYNC_FILE_RANGE_WRITE
    if (fd_ < 0 || written_ <= writeBackFrom_) return;
    ::sync_file_range(fd_, writeBackFrom_, written_ - writeBackFrom_, SYNC_FILE_RANGE_WRITE);
    writeBackFrom_ = written_;
#endif
}

bool SafeFile::commit() {
    if (fd_ < 0) return false;
    if (::fdatasync(fd_) != 0 && errno != EINVAL) return fail(errno);
    // A new file keeps the permissions it was created with (0666 less the
    // umask, as any ordinary file); a replaced one keeps its own.
    struct stat old {};
    if (::stat(nativeTarget_.constData(), &old) == 0) ::fchmod(fd_, old.st_mode & 07777);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail(errno);
    if (::rename(temporary_.constData(), nativeTarget_.constData()) != 0) return fail(errno);
    forgetTemporary(slot_);
    slot_ = -1;
    temporary_.clear();
    return true;
}

void SafeFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty()) ::unlink(temporary_.constData());
    forgetTemporary(slot_);
    slot_ = -1;
    temporary_.clear();
}
