#include "player_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "player_protocol.h"

namespace Pictures {

namespace PlayerServer {

namespace {

namespace P = PlayerProtocol;
using PlayerProcess::End;
using PlayerProcess::Ended;

// What the server may take beyond a file's deadline to say how it ended.
constexpr int kGraceMs = 2000;

// No answer is larger than the largest picture any player draws.
constexpr qsizetype kMaxAnswer = sizeof(P::Header) + qsizetype{4} * P::kMaxSide * P::kMaxSide;

// The serving player of one program.
struct Server {
    pid_t pid = -1;
    int control = -1;  // the SOCK_SEQPACKET socket it reads requests from
    pid_t owner = -1;  // the process that started it
};

// The servers' processes, for StopAll, which must not wait for a file
// being served; and how many times they were stopped.
std::mutex startedLock;
std::vector<pid_t> started;
std::atomic<int> stops{0};

void stop(Server& server) {
    if (server.control >= 0) ::close(server.control);
    if (server.pid > 0) {
        {
            const std::lock_guard hold(startedLock);
            std::erase(started, server.pid);
        }
        ::kill(server.pid, SIGKILL);
        ::waitpid(server.pid, nullptr, 0);
    }
    server = {};
}

// Started as the one-file players are, in an environment of its own, its
// output and error output nowhere; it ends when this program closes its
// socket, by ending or otherwise.
bool start(Server& server, const QString& program) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) return false;
    const QByteArray path = QFile::encodeName(program);
    std::vector<QByteArray> environment;
    for (const QString& variable : PlayerProcess::Environment().toStringList())
        environment.push_back(variable.toLocal8Bit());
    std::vector<char*> envp;
    for (QByteArray& variable : environment) envp.push_back(variable.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(path.constData()), const_cast<char*>(P::kServe), nullptr};
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
    ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int failed = ::posix_spawn(&pid, path.constData(), &actions, nullptr, argv, envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);
    if (failed != 0) {
        ::close(ends[0]);
        return false;
    }
    server = {pid, ends[0], ::getpid()};
    const std::lock_guard hold(startedLock);
    started.push_back(pid);
    return true;
}

// Waits until the socket is ready for the events, at most until the
// deadline.
bool ready(int socket, short events, const QDeadlineTimer& deadline) {
    pollfd one{socket, events, 0};
    for (;;) {
        const int n = ::poll(&one, 1, static_cast<int>(deadline.remainingTime()));
        if (n < 0 && errno == EINTR) continue;
        return n > 0;
    }
}

bool sendRequest(const Server& server, const QStringList& arguments, int deadlineMs, int file) {
    const P::ServeRequest limits{deadlineMs, PlayerProcess::kCpuSeconds,
                                 PlayerProcess::AddressSpace()};
    QByteArray bytes(reinterpret_cast<const char*>(&limits), sizeof limits);
    for (const QString& argument : arguments) bytes += argument.toUtf8() + '\0';
    if (bytes.size() > P::kMaxServeRequest) return false;
    return P::SendServeRequest(server.control, bytes.constData(),
                               static_cast<std::size_t>(bytes.size()), file) == bytes.size();
}

// The input to the file's process, its answer back; the process ends it by
// ending (or the server, at the deadline).
QByteArray exchange(int file, const QByteArray& input, const QDeadlineTimer& deadline) {
    for (qsizetype sent = 0; sent < input.size() && ready(file, POLLOUT, deadline);) {
        const ssize_t n = ::send(file, input.constData() + sent,
                                 static_cast<std::size_t>(input.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // it stopped reading: its answer says why
        sent += n;
    }
    ::shutdown(file, SHUT_WR);
    QByteArray output;
    char buffer[65536];
    while (output.size() <= kMaxAnswer && ready(file, POLLIN, deadline)) {
        const ssize_t n = ::recv(file, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        output.append(buffer, n);
    }
    return output;
}

// How the file's process ended, or nothing when the server does not say.
bool answered(const Server& server, const QDeadlineTimer& deadline, P::ServeAnswer& answer) {
    if (!ready(server.control, POLLIN, deadline)) return false;
    return ::recv(server.control, &answer, sizeof answer, 0) == sizeof answer;
}

Ended served(Server& server, const QStringList& arguments, const QByteArray& input, int deadlineMs,
             bool& lost) {
    int file[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, file) != 0) return {End::Missing};
    const QDeadlineTimer deadline(deadlineMs + kGraceMs);
    const bool sent = sendRequest(server, arguments, deadlineMs, file[1]);
    ::close(file[1]);
    const QByteArray output = sent ? exchange(file[0], input, deadline) : QByteArray();
    ::close(file[0]);
    P::ServeAnswer answer;
    lost = !sent || !answered(server, deadline, answer);
    if (lost) return {End::Missing};
    switch (answer.end) {
        case P::ServeEnd::Exited:
            if (output.size() > kMaxAnswer) return {End::Exited, P::kNotReadable};
            return {End::Exited, answer.value, output};
        case P::ServeEnd::Killed:
            return {answer.value == SIGXCPU ? End::TimedOut : End::Crashed};
        case P::ServeEnd::TimedOut:
            return {End::TimedOut};
        case P::ServeEnd::Refused:
            break;
    }
    lost = true;
    return {End::Missing};
}

}  // namespace

Ended Run(const QString& program, const QStringList& arguments, const QByteArray& input,
          int deadlineMs) {
    // One file at a time; the servers are kept for the life of the program.
    static std::mutex guard;
    static std::map<QString, Server> servers;
    const std::lock_guard<std::mutex> lock(guard);
    Server& server = servers[program];
    // A process forked from this one after a server started has a copy of
    // its socket: the server is not its own to use or to end.
    if (server.owner >= 0 && server.owner != ::getpid()) {
        ::close(server.control);
        server = {};
    }
    const int stopsBefore = stops;
    if (server.pid < 0 && !start(server, program))
        return PlayerProcess::Run(program, arguments, input, deadlineMs);
    bool lost = false;
    const Ended ended = served(server, arguments, input, deadlineMs, lost);
    if (!lost) return ended;
    // A server that died or will not answer is replaced next time; this
    // file goes to a player of its own.
    stop(server);
    // Stopped on purpose: the file is not served again.
    if (stops != stopsBefore) return {End::Crashed};
    return PlayerProcess::Run(program, arguments, input, deadlineMs);
}

void StopAll() {
    ++stops;
    const std::lock_guard hold(startedLock);
    // Its processes end with it.
    for (const pid_t pid : started) ::kill(pid, SIGKILL);
}

}  // namespace PlayerServer

}  // namespace Pictures
