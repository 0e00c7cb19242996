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
#include <vector>

#include "native_path.h"
#include "temporary_names.h"

using namespace Messages;

namespace Platform {

namespace {

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

bool isFolder(const QByteArray& path) {
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

QByteArray nameOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// The old file under a target, kept under a second name while a batch is
// put in place, so that it can be put back.
struct KeptFile {
    bool existed = false;
    QByteArray name;  // empty when there was none, or no second name could be made
    TemporaryNames::Entry entry = nullptr;
};

KeptFile keepOld(const QByteArray& target) {
    KeptFile kept;
    struct stat info {};
    kept.existed = ::stat(target.constData(), &info) == 0;
    // O_EXCL's counterpart for a link: a clash fails with EEXIST.
    for (int attempt = 0; kept.existed && attempt < 16; ++attempt) {
        // Remembered before it is made, so that an interrupt in between
        // finds it; a name that clashes is forgotten again.
        const QByteArray name = TemporaryNames::Beside(target, ".old");
        kept.entry = TemporaryNames::Remember(name);
        if (::link(target.constData(), name.constData()) == 0) {
            kept.name = name;
            break;
        }
        const int error = errno;
        TemporaryNames::Forget(kept.entry);
        kept.entry = nullptr;
        if (error != EEXIST) break;
    }
    return kept;
}

void dropKept(KeptFile& kept) {
    if (!kept.name.isEmpty()) ::unlink(kept.name.constData());
    TemporaryNames::Forget(kept.entry);
    kept = {};
}

// The signals that end the process unless caught, and that it can catch:
// each must leave no temporary file behind, and none may split a batch.
constexpr int kEndingSignals[] = {SIGINT,  SIGTERM,   SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2,
                                  SIGALRM, SIGVTALRM, SIGIO,  SIGPWR,  SIGXCPU};

sigset_t endingSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kEndingSignals) sigaddset(&set, signal);
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) sigaddset(&set, signal);
    return set;
}

// How many batches are being put in place now; -1 once a signal ends the
// process. A signal that comes while batches are put in place waits in
// `deferred` until the last of them is all old or all new again.
std::atomic<int> placing{0};
std::atomic<int> deferred{0};
static_assert(std::atomic<int>::is_always_lock_free);

// Safe inside a signal handler.
[[noreturn]] void removeTemporariesAndEnd(int signal) {
    TemporaryNames::RemoveAll();
    std::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    std::raise(signal);
    std::_Exit(128 + signal);
}

// Ends the process now, unless a batch is being put in place (it ends it
// itself when done) or another signal ends it already.
void endUnlessPlacing(int signal) {
    deferred.store(signal);
    int now = placing.load();
    while (now == 0)
        if (placing.compare_exchange_weak(now, -1)) removeTemporariesAndEnd(signal);
}

extern "C" void onEndingSignal(int signal) {
    endUnlessPlacing(signal);
}

// A batch being put in place: the ending signals are held back on this
// thread, and one that comes to another thread waits for the batch.
class Placing {
public:
    Placing() {
        const sigset_t set = endingSignals();
        pthread_sigmask(SIG_BLOCK, &set, &before_);
        int now = placing.load();
        // A process that a signal ends already starts nothing.
        while (now < 0 || !placing.compare_exchange_weak(now, now + 1))
            if (now < 0) ::pause();
    }
    // A batch that a signal interrupted never returns: the last one out
    // ends the process, or waits while another batch or a handler does.
    ~Placing() {
        const bool last = placing.fetch_sub(1) == 1;
        if (const int signal = deferred.load(); signal != 0) {
            if (last) endUnlessPlacing(signal);
            for (;;) ::pause();
        }
        pthread_sigmask(SIG_SETMASK, &before_, nullptr);
    }
    Placing(const Placing&) = delete;
    Placing& operator=(const Placing&) = delete;

    // A signal came: the batch goes back to what was there.
    static bool interrupted() { return deferred.load() != 0; }

private:
    sigset_t before_;
};

}  // namespace

void RemoveTemporaryFilesOnInterrupt() {
    struct sigaction action {};
    action.sa_handler = onEndingSignal;
    // A signal held for a batch returns to what it interrupted.
    action.sa_flags = SA_RESTART;
    sigfillset(&action.sa_mask);
    for (const int signal : kEndingSignals) ::sigaction(signal, &action, nullptr);
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) ::sigaction(signal, &action, nullptr);
}

void IgnoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

SafeFile::SafeFile(QString target) : target_(std::move(target)) {}

SafeFile::~SafeFile() {
    discard();
}

QString SafeFile::name() const {
    return target_.mid(target_.lastIndexOf('/') + 1);
}

Message SafeFile::cannotSave() const {
    return {.code = MessageCode::CannotSave, .reason = reason_, .subject = name()};
}

bool SafeFile::fail(int error) {
    reason_ = SystemReason(error);
    discard();
    return false;
}

bool SafeFile::fail(MessageCode reason) {
    reason_ = {reason, 0};
    discard();
    return false;
}

// The file that will be replaced: the target, or what a symbolic link there
// points to. False when something other than a file stands under the name.
bool SafeFile::resolveTarget() {
    nativeTarget_ = NativePath::Encode(target_);
    if (nameOf(nativeTarget_).size() > NAME_MAX) return fail(ENAMETOOLONG);
    struct stat info {};
    if (::lstat(nativeTarget_.constData(), &info) != 0)
        return errno != ELOOP || fail(ELOOP);  // a new file, unless links go round in a loop
    if (S_ISLNK(info.st_mode)) {
        const std::unique_ptr<char, decltype(&std::free)> real(
            ::realpath(nativeTarget_.constData(), nullptr), &std::free);
        // A dangling link is replaced; a loop of links is named.
        if (!real) return errno != ELOOP || fail(ELOOP);
        nativeTarget_ = real.get();
        if (::stat(nativeTarget_.constData(), &info) != 0) return fail(errno);
    }
    if (S_ISDIR(info.st_mode)) return fail(EISDIR);
    if (!S_ISREG(info.st_mode)) return fail(MessageCode::NotAFileUnderName);
    if (::access(nativeTarget_.constData(), W_OK) != 0) return fail(MessageCode::ReadOnlyFile);
    return true;
}

bool SafeFile::open() {
    if (!resolveTarget()) return false;
    // What an earlier run killed in this folder left behind goes first.
    TemporaryNames::RemoveAbandoned(folderOf(nativeTarget_));
    // O_EXCL makes a clash of names fail instead of sharing a file.
    for (int attempt = 0; attempt < 16; ++attempt) {
        // Remembered before it is made: an interrupt in between removes it.
        temporary_ = TemporaryNames::Beside(nativeTarget_, ".tmp");
        registered_ = TemporaryNames::Remember(temporary_);
        fd_ = ::open(temporary_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) return true;
        const int error = errno;
        TemporaryNames::Forget(registered_);
        registered_ = nullptr;
        if (error == EEXIST) continue;
        temporary_.clear();
        if (error == EACCES || error == EPERM) return fail(MessageCode::NoWriteRight);
        // Some folders of the system (/proc) answer so for a new file too.
        if (error == ENOENT)
            return fail(isFolder(folderOf(nativeTarget_)) ? MessageCode::NoNewFiles
                                                          : MessageCode::FolderMissing);
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

bool SafeFile::finish() {
    if (finished_) return true;
    if (fd_ < 0) return false;
    if (::fdatasync(fd_) != 0 && errno != EINVAL) return fail(errno);
    // A new file keeps the permissions it was created with (0666 less the
    // umask, as any ordinary file); a replaced one keeps its own.
    struct stat old {};
    if (::stat(nativeTarget_.constData(), &old) == 0) ::fchmod(fd_, old.st_mode & 07777);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail(errno);
    finished_ = true;
    return true;
}

bool SafeFile::putInPlace() {
    if (::rename(temporary_.constData(), nativeTarget_.constData()) != 0) return fail(errno);
    TemporaryNames::Forget(registered_);
    registered_ = nullptr;
    temporary_.clear();
    return true;
}

bool SafeFile::commit() {
    return finish() && putInPlace();
}

void SafeFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    finished_ = false;
    if (!temporary_.isEmpty()) ::unlink(temporary_.constData());
    TemporaryNames::Forget(registered_);
    registered_ = nullptr;
    temporary_.clear();
}

SafeFile& FileBatch::add(QString target) {
    return files_.emplace_back(std::move(target));
}

const SafeFile* FileBatch::failed() const {
    for (const SafeFile& file : files_)
        if (file.failed()) return &file;
    return nullptr;
}

void FileBatch::discard() {
    for (SafeFile& file : files_) file.discard();
}

bool FileBatch::commit() {
    for (SafeFile& file : files_) {
        if (!file.finish()) {
            discard();
            return false;
        }
    }
    // All old or all new, whatever comes: a signal waits until the files
    // put in place have given way to the old ones again, then ends the
    // process.
    const Placing placing;
    std::vector<KeptFile> kept;
    kept.reserve(files_.size());
    const auto putBack = [&](std::size_t placed) {
        // Those put in place give way to what was there before, or go when
        // there was nothing.
        for (std::size_t j = 0; j < placed; ++j) {
            const QByteArray& target = files_[j].nativeTarget_;
            if (!kept[j].name.isEmpty()) {
                if (::rename(kept[j].name.constData(), target.constData()) == 0) kept[j].name = {};
            } else if (!kept[j].existed) {
                ::unlink(target.constData());
            }
        }
    };
    bool whole = true;
    for (std::size_t k = 0; whole && k < files_.size(); ++k) {
        whole = !Placing::interrupted();
        if (whole) kept.push_back(keepOld(files_[k].nativeTarget_));
        whole = whole && files_[k].putInPlace();
        if (!whole) putBack(k);
    }
    for (KeptFile& old : kept) dropKept(old);
    if (!whole) discard();
    return whole;
}

}  // namespace Platform
