#include "serving.h"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "player_protocol.h"

using namespace Pictures;

namespace Player {

namespace Serving {

namespace {

namespace P = PlayerProtocol;

struct Request {
    P::ServeRequest limits;
    std::vector<std::string> arguments;
    int file = -1;  // the stream socket, the file's standard input and output
};

// One message: the limits, the arguments, the socket. False when the
// socket closed or the message makes no sense (its socket is closed then).
bool receive(Request& request, bool& closed) {
    char bytes[P::kMaxServeRequest];
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))];
    iovec part{bytes, sizeof bytes};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    ssize_t n = 0;
    do n = ::recvmsg(STDIN_FILENO, &message, MSG_CMSG_CLOEXEC);
    while (n < 0 && errno == EINTR);
    closed = n <= 0;
    if (closed) return false;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c))
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_RIGHTS)
            std::memcpy(&request.file, CMSG_DATA(c), sizeof(int));
    const auto size = static_cast<std::size_t>(n);
    if (request.file < 0 || size < sizeof request.limits || bytes[size - 1] != '\0' ||
        (message.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) != 0) {
        if (request.file >= 0) ::close(request.file);
        return false;
    }
    std::memcpy(&request.limits, bytes, sizeof request.limits);
    for (std::size_t at = sizeof request.limits; at < size;) {
        request.arguments.emplace_back(bytes + at);
        at += request.arguments.back().size() + 1;
    }
    return request.limits.deadlineMs > 0;
}

// In the forked process: the file's socket as standard input and output,
// the limits a player started for the file has, then the work.
[[noreturn]] void work(const Request& request, Work run, const sigset_t& before) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    ::close(STDIN_FILENO);
    if (::dup2(request.file, STDIN_FILENO) < 0 || ::dup2(request.file, STDOUT_FILENO) < 0)
        ::_exit(P::kNotReadable);
    ::close(request.file);
    const rlimit noCore{0, 0};
    const auto cpu = static_cast<rlim_t>(request.limits.cpuSeconds);
    const rlimit processor{cpu, cpu + 1};
    ::setrlimit(RLIMIT_CORE, &noCore);
    if (cpu > 0) ::setrlimit(RLIMIT_CPU, &processor);
    if (request.limits.addressSpace > 0) {
        const auto bytes = static_cast<rlim_t>(request.limits.addressSpace);
        const rlimit space{bytes, bytes};
        ::setrlimit(RLIMIT_AS, &space);
    }
    ::sigprocmask(SIG_SETMASK, &before, nullptr);
    std::vector<char*> argv{const_cast<char*>("player")};
    for (const std::string& argument : request.arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::_exit(run(static_cast<int>(argv.size()) - 1, argv.data()));
}

timespec now() {
    timespec time{};
    ::clock_gettime(CLOCK_MONOTONIC, &time);
    return time;
}

// Waits for the process, at most the deadline from its start; one past it
// is killed.
P::ServeAnswer awaited(pid_t child, timespec until, int deadlineMs) {
    sigset_t ended;
    sigemptyset(&ended);
    sigaddset(&ended, SIGCHLD);
    until.tv_sec += deadlineMs / 1000;
    until.tv_nsec += (deadlineMs % 1000) * 1'000'000L;
    if (until.tv_nsec >= 1'000'000'000L) {
        until.tv_sec += 1;
        until.tv_nsec -= 1'000'000'000L;
    }
    int status = 0;
    for (;;) {
        if (::waitpid(child, &status, WNOHANG) == child) break;
        const timespec at = now();
        timespec left{until.tv_sec - at.tv_sec, until.tv_nsec - at.tv_nsec};
        if (left.tv_nsec < 0) {
            left.tv_sec -= 1;
            left.tv_nsec += 1'000'000'000L;
        }
        if (left.tv_sec < 0 || ::sigtimedwait(&ended, nullptr, &left) < 0) {
            if (errno == EINTR) continue;
            if (::waitpid(child, &status, WNOHANG) == child) break;
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return {P::ServeEnd::TimedOut, 0};
        }
    }
    if (WIFSIGNALED(status)) return {P::ServeEnd::Killed, WTERMSIG(status)};
    return {P::ServeEnd::Exited, WEXITSTATUS(status)};
}

}  // namespace

int Serve(Work run, Preparation prepare) {
    // The end of a process is waited for with sigtimedwait: SIGCHLD stays
    // pending until taken.
    sigset_t ended, before;
    sigemptyset(&ended);
    sigaddset(&ended, SIGCHLD);
    ::sigprocmask(SIG_BLOCK, &ended, &before);
    for (;;) {
        Request request;
        bool closed = false;
        P::ServeAnswer answer;
        if (receive(request, closed)) {
            const timespec started = now();
            const pid_t child = ::fork();
            if (child == 0) work(request, run, before);
            ::close(request.file);
            if (child > 0) answer = awaited(child, started, request.limits.deadlineMs);
        } else if (closed) {
            return 0;
        }
        if (::send(STDIN_FILENO, &answer, sizeof answer, MSG_NOSIGNAL) != sizeof answer) return 0;
        if (prepare != nullptr && answer.end != P::ServeEnd::Refused) {
            prepare();
            prepare = nullptr;
        }
    }
}

}  // namespace Serving

}  // namespace Player
