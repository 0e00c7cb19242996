#include "player_process.h"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <mutex>
#include <optional>
#include <vector>

namespace Pictures {

namespace PlayerProcess {

namespace {

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

// The players running now, each as a descriptor of its process: a stop
// reaches the player itself even when it has just ended and its number been
// given to another process.
std::mutex runningLock;
std::vector<int> running;

// Through the system calls: the C library's declarations of them are not
// usable from C++ everywhere.
int pidfdOpen(qint64 pid) {
    return static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0U));
}

class Running {
public:
    explicit Running(qint64 pid) : fd_(pidfdOpen(pid)) {
        if (fd_ < 0) return;
        const std::lock_guard hold(runningLock);
        running.push_back(fd_);
    }
    ~Running() {
        if (fd_ < 0) return;
        const std::lock_guard hold(runningLock);
        std::erase(running, fd_);
        ::close(fd_);
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

private:
    int fd_;
};

// Runs in the player's process between fork and exec: only system calls.
void limitPlayer(rlim_t seconds) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const rlimit noCore{0, 0}, cpu{seconds, seconds + 1};
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::setrlimit(RLIMIT_CPU, &cpu);
    if constexpr (!kAddressSanitizer) {
        const rlimit space{static_cast<rlim_t>(kAddressSpace), static_cast<rlim_t>(kAddressSpace)};
        ::setrlimit(RLIMIT_AS, &space);
    }
}

}  // namespace

long long AddressSpace() {
    return kAddressSanitizer ? 0 : kAddressSpace;
}

QProcessEnvironment Environment() {
    const QProcessEnvironment caller = QProcessEnvironment::systemEnvironment();
    QProcessEnvironment own;
    for (const char* name : {"HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                             "LD_LIBRARY_PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
        const QString variable = QString::fromLatin1(name);
        if (caller.contains(variable)) own.insert(variable, caller.value(variable));
    }
    own.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    own.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return own;
}

int DeadlineMs(const char* variable) {
    bool ok = false;
    const int asked = qEnvironmentVariableIntValue(variable, &ok);
    return ok && asked > 0 && asked < kDeadlineMs ? asked : kDeadlineMs;
}

QString Beside(const char* programName) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(programName);
}

namespace {

// A player started with its limits, where a stop reaches it while it runs,
// its input written and closed; not started when it is missing or cannot
// start before the deadline.
class Started {
public:
    Started(const QString& program, const QStringList& arguments, const QByteArray& input,
            rlim_t cpuSeconds, const QDeadlineTimer& deadline) {
        if (!QFileInfo(program).isExecutable()) return;
        player_.setProgram(program);
        player_.setArguments(arguments);
        player_.setStandardErrorFile(QProcess::nullDevice());
        player_.setProcessEnvironment(Environment());
        player_.setChildProcessModifier([cpuSeconds] { limitPlayer(cpuSeconds); });
        player_.start();
        if (!player_.waitForStarted(static_cast<int>(deadline.remainingTime()))) return;
        // Known before it is waited for, and so before it can be reaped.
        stoppable_.emplace(player_.processId());
        player_.write(input);
        player_.closeWriteChannel();
    }

    bool started() const { return stoppable_.has_value(); }
    QProcess& player() { return player_; }

    // Ended now, for the reason given.
    Ended stopped(Ended why) {
        player_.kill();
        player_.waitForFinished(-1);
        return why;
    }

    // How it ended by itself; out: what it wrote.
    Ended ended(QByteArray out) const {
        if (player_.exitStatus() == QProcess::CrashExit)
            return {player_.exitCode() == SIGXCPU ? End::TimedOut : End::Crashed};
        return {End::Exited, player_.exitCode(), std::move(out)};
    }

private:
    QProcess player_;
    std::optional<Running> stoppable_;
};

// Writes all the bytes to the descriptor: 0, or the system's error number.
int keep(int into, const QByteArray& bytes) {
    for (qsizetype at = 0; at < bytes.size();) {
        const ssize_t n =
            ::write(into, bytes.constData() + at, static_cast<size_t>(bytes.size() - at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : ENOSPC;
        at += n;
    }
    return 0;
}

}  // namespace

Ended Run(const QString& program, const QStringList& arguments, const QByteArray& input,
          int deadlineMs) {
    const QDeadlineTimer deadline(deadlineMs);
    Started run(program, arguments, input, kCpuSeconds, deadline);
    if (!run.started()) return {End::Missing};
    QProcess& player = run.player();
    // False also for a player that has already ended: only a running one is late.
    if (!player.waitForFinished(static_cast<int>(deadline.remainingTime())) &&
        player.state() != QProcess::NotRunning)
        return run.stopped({End::TimedOut});
    return run.ended(player.readAllStandardOutput());
}

Ended RunInto(const QString& program, const QStringList& arguments, const QByteArray& input,
              int deadlineMs, int cpuSeconds, int into, qint64 maxBytes) {
    const QDeadlineTimer deadline(deadlineMs);
    Started run(program, arguments, input, static_cast<rlim_t>(std::max(1, cpuSeconds)), deadline);
    if (!run.started()) return {End::Missing};
    QProcess& player = run.player();
    qint64 kept = 0;
    for (;;) {
        const QByteArray chunk = player.readAllStandardOutput();
        kept += chunk.size();
        if (kept > maxBytes) return run.stopped({End::Crashed, 0, {}, -1});
        if (const int failed = keep(into, chunk); failed != 0)
            return run.stopped({End::Crashed, 0, {}, failed});
        if (player.state() == QProcess::NotRunning && player.bytesAvailable() == 0) break;
        if (deadline.hasExpired()) return run.stopped({End::TimedOut});
        // False at the end and at the deadline alike: the loop tells them
        // apart. False while it runs on before the deadline: its output is
        // closed, and only its end is to come.
        if (!player.waitForReadyRead(static_cast<int>(deadline.remainingTime())) &&
            player.state() != QProcess::NotRunning && !deadline.hasExpired())
            player.waitForFinished(static_cast<int>(deadline.remainingTime()));
    }
    return run.ended({});
}

void StopAll() {
    const std::lock_guard hold(runningLock);
    for (const int fd : running) ::syscall(SYS_pidfd_send_signal, fd, SIGKILL, nullptr, 0U);
}

}  // namespace PlayerProcess

}  // namespace Pictures
