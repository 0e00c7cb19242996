#include "watch_loop.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <set>
#include <tuple>

#include "native_path.h"
#include "strip_cli.h"

using namespace Messages;
using namespace Platform;

namespace Cli {

namespace {

// What tells a changed file from the same one: its inode, size and times.
// A file that is not there has the stamp of none.
using Stamp = std::tuple<bool, dev_t, ino_t, off_t, long, long, long, long>;

Stamp stampOf(const QString& path) {
    struct stat info {};
    if (::stat(NativePath::Encode(path).constData(), &info) != 0) return {};
    return {true,
            info.st_dev,
            info.st_ino,
            info.st_size,
            info.st_mtim.tv_sec,
            info.st_mtim.tv_nsec,
            info.st_ctim.tv_sec,
            info.st_ctim.tv_nsec};
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// The files' events from inotify, by the system's bytes of their names:
// each file itself (written, its inode gone or moved) and its folder (a
// file renamed over it, made, removed), for the names watched only.
class Watcher {
public:
    Watcher() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~Watcher() {
        if (fd_ >= 0) ::close(fd_);
    }
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    int fd() const { return fd_; }

    // Watches the files and their folders again: a file that was replaced
    // is a new inode, and a file that was missing may be back.
    void watch(const QStringList& files) {
        for (const QString& file : files) {
            const QByteArray path = NativePath::Encode(file);
            ::inotify_add_watch(
                fd_, path.constData(),
                IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_MOVE_SELF | IN_DELETE_SELF);
            const QByteArray folder = folderOf(path);
            const int wd = ::inotify_add_watch(
                fd_, folder.constData(),
                IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_ATTRIB);
            if (wd >= 0) names_[wd].insert(path.mid(path.lastIndexOf('/') + 1));
        }
    }

    // Whether any event waiting concerns a file watched.
    bool changed() {
        alignas(struct inotify_event) char buffer[16384];
        bool any = false;
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0) return any || (n < 0 && errno != EAGAIN && errno != EINTR);
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const struct inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(struct inotify_event) + event->len);
                const auto folder = names_.find(event->wd);
                // An event of a folder names its file; one of a file does not.
                if (event->len == 0 || folder == names_.end() ||
                    folder->second.count(QByteArray(event->name)) != 0 ||
                    (event->mask & IN_Q_OVERFLOW) != 0)
                    any = true;
            }
        }
    }

private:
    int fd_;
    std::map<int, std::set<QByteArray>> names_;  // a folder's watch: the names in it watched
};

class Loop {
public:
    Loop(const std::function<Round(bool)>& run, const std::function<void(const Message&)>& tell)
        : run_(run), tell_(tell) {}

    int start(const std::function<void(const Message&)>& problem);

private:
    std::map<QString, Stamp> stampsOf(const QStringList& files) const {
        std::map<QString, Stamp> stamps;
        for (const QString& file : files) stamps[file] = stampOf(file);
        return stamps;
    }
    void settled();

    const std::function<Round(bool)>& run_;
    const std::function<void(const Message&)>& tell_;
    Watcher watcher_;
    QTimer settle_;
    QStringList files_;                // what the last good run read, and any run since
    std::map<QString, Stamp> stamps_;  // as they were when the last run began
};

// The files stayed still: a run if one of them is not as the last run found
// it.
void Loop::settled() {
    const std::map<QString, Stamp> now = stampsOf(files_);
    watcher_.watch(files_);
    QString changed;
    for (const QString& file : files_)
        if (now.at(file) != stamps_[file]) {
            changed = file;
            break;
        }
    if (changed.isEmpty()) return;
    const Round round = run_(false);
    stamps_ = now;
    files_ = round.written ? round.reads : files_ + round.reads;
    files_.removeDuplicates();
    // A file read for the first time counts as it is now.
    for (const QString& file : files_)
        if (stamps_.count(file) == 0) stamps_[file] = stampOf(file);
    watcher_.watch(files_);
    tell_(round.written ? Message{.code = MessageCode::WatchRebuilt,
                                  .subject = changed,
                                  .facts = {{Fact::Files, round.files}}}
                        : Message{.code = MessageCode::WatchKept, .subject = changed});
}

int Loop::start(const std::function<void(const Message&)>& problem) {
    if (watcher_.fd() < 0) {
        problem(
            {.code = MessageCode::CannotRead, .reason = SystemReason(errno), .subject = "inotify"});
        return kFailed;
    }
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMilliseconds);
    QObject::connect(&settle_, &QTimer::timeout, [this] { settled(); });
    QSocketNotifier events(watcher_.fd(), QSocketNotifier::Read);
    QObject::connect(&events, &QSocketNotifier::activated, [this] {
        if (watcher_.changed()) settle_.start();
    });
    const Round first = run_(true);
    files_ = first.reads;
    stamps_ = stampsOf(files_);
    watcher_.watch(files_);
    tell_({.code = MessageCode::WatchStarted, .facts = {{Fact::Files, files_.size()}}});
    QEventLoop loop;
    loop.exec();
    return kFailed;
}

}  // namespace

int Watch(const std::function<Round(bool first)>& run,
          const std::function<void(const Message&)>& tell,
          const std::function<void(const Message&)>& problem) {
    return Loop(run, tell).start(problem);
}

}  // namespace Cli
