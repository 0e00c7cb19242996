#include "safe_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <csignal>

namespace {

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

}  // namespace

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
    reason_ = FileErrorReason(error);
    discard();
    return false;
}

bool SafeFile::open() {
    const QFileInfo info(target_);
    if (info.isDir()) return fail(EISDIR);
    if (info.fileName().toUtf8().size() > NAME_MAX) return fail(ENAMETOOLONG);
    // A short random suffix; O_EXCL makes a clash fail instead of sharing.
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary_ = info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                     QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate(), 8, 16,
                                                   QLatin1Char('0'));
        fd_ =
            ::open(encoded(temporary_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) return true;
        if (errno != EEXIST) {
            const int error = errno;
            temporary_.clear();
            return fail(error);
        }
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
    // A new file gets the permissions an ordinary file would; a replaced one
    // keeps its own.
    struct stat old {};
    const QByteArray target = encoded(target_);
    if (::stat(target.constData(), &old) == 0) {
        ::fchmod(fd_, old.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd_, 0666 & ~mask);
    }
    if (::close(fd_) != 0) {
        fd_ = -1;
        return fail(errno);
    }
    fd_ = -1;
    if (::rename(encoded(temporary_).constData(), target.constData()) != 0) return fail(errno);
    temporary_.clear();
    return true;
}

void SafeFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty()) ::unlink(encoded(temporary_).constData());
    temporary_.clear();
}
