// A serving player's own work, with a work of the test's in place of a
// picture's: each file has a process of its own with its limits, one that
// hangs or crashes is answered for and the next is served all the same.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <string>

#include "player_protocol.h"
#include "serving.h"

using namespace Pictures;
using namespace Player;

namespace {

namespace P = PlayerProtocol;

int served = 0;  // files this process has worked on

// The address space given, MiB: none under AddressSanitizer, which has
// reserved far more for itself already.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::int64_t kSpace = 0;
#else
constexpr std::int64_t kSpace = 1024;
#endif

// "hang" and "crash" do as they say; anything else is answered with the
// process's id, its address-space limit, the files it has worked on and
// the arguments.
int work(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "hang")
        for (;;) ::pause();
    if (what == "crash") {
        // Killed by the signal itself, not caught by a sanitizer's handler.
        ::signal(SIGSEGV, SIG_DFL);
        ::raise(SIGSEGV);
    }
    rlimit space{};
    ::getrlimit(RLIMIT_AS, &space);
    const std::string answer = std::to_string(::getpid()) + ' ' +
                               std::to_string(space.rlim_cur >> 20) + ' ' +
                               std::to_string(++served) + ' ' + what;
    return ::write(STDOUT_FILENO, answer.data(), answer.size()) ==
                   static_cast<ssize_t>(answer.size())
               ? 0
               : 1;
}

class ServingPlayer : public ::testing::Test {
protected:
    void SetUp() override {
        int ends[2];
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, ends), 0);
        server = ::fork();
        if (server == 0) {
            ::dup2(ends[1], STDIN_FILENO);
            ::close(ends[0]);
            ::close(ends[1]);
            std::_Exit(Player::Serving::Serve(work, nullptr));
        }
        ::close(ends[1]);
        control = ends[0];
    }
    void TearDown() override {
        ::close(control);
        int status = 0;
        EXPECT_EQ(::waitpid(server, &status, 0), server);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "it ends when asked no more";
    }

    // One request: its answer, and what the file's process wrote.
    P::ServeAnswer ask(const std::string& argument, std::string& output) {
        int file[2];
        EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, file), 0);
        const P::ServeRequest limits{500, 10, kSpace << 20};
        std::string bytes(reinterpret_cast<const char*>(&limits), sizeof limits);
        bytes += argument + '\0';
        EXPECT_EQ(P::SendServeRequest(control, bytes.data(), bytes.size(), file[1]),
                  static_cast<ssize_t>(bytes.size()));
        ::close(file[1]);
        ::shutdown(file[0], SHUT_WR);
        char buffer[256];
        output.clear();
        for (ssize_t n; (n = ::read(file[0], buffer, sizeof buffer)) > 0;) output.append(buffer, n);
        ::close(file[0]);
        P::ServeAnswer answer;
        EXPECT_EQ(::recv(control, &answer, sizeof answer, 0), static_cast<ssize_t>(sizeof answer));
        return answer;
    }

    pid_t server = -1;
    int control = -1;
};

TEST_F(ServingPlayer, EachFileHasAProcessOfItsOwnWithItsLimits) {
    std::string first, second, hung, crashed;
    EXPECT_EQ(ask("erste", first).end, P::ServeEnd::Exited);
    EXPECT_EQ(ask("hang", hung).end, P::ServeEnd::TimedOut);
    const P::ServeAnswer crash = ask("crash", crashed);
    EXPECT_EQ(crash.end, P::ServeEnd::Killed);
    EXPECT_EQ(crash.value, SIGSEGV);
    EXPECT_EQ(ask("zweite", second).end, P::ServeEnd::Exited);
    // Each a fresh process from the one start: a first file for each, with
    // the request's address space.
    const std::string space = std::to_string(kSpace > 0 ? kSpace : RLIM_INFINITY >> 20);
    EXPECT_EQ(first.substr(first.find(' ')), ' ' + space + " 1 erste");
    EXPECT_EQ(second.substr(second.find(' ')), ' ' + space + " 1 zweite");
    EXPECT_NE(first.substr(0, first.find(' ')), second.substr(0, second.find(' ')));
    EXPECT_EQ(served, 0) << "no file is worked on in the test's own process";
}

}  // namespace
