// What the drawing player's start costs, and what its confinement adds: in a
// fresh process each time (as the player runs), Qt's offscreen platform is
// set up and a small drawing with text is drawn, with and without the
// Landlock confinement. Prints the median and the quartiles of each over the
// runs, and of the confinement call alone.
//
//   build/bench/player_startup [runs]
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "sandbox.h"
#include "svg_drawing.h"

using namespace Player;

namespace {

using Clock = std::chrono::steady_clock;

const QByteArray kDrawing =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\">"
    "<circle cx=\"32\" cy=\"32\" r=\"28\" fill=\"#468\"/>"
    "<text x=\"18\" y=\"38\" font-size=\"14\">Kn</text></svg>";

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One player's work in a child process; the confinement's own time comes
// back through the pipe.
void player(char* name, bool confined, int answer) {
    int argc = 1;
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    const auto start = Clock::now();
    if (confined) Sandbox::ConfineToReading();
    const double confining = millisecondsSince(start);
    const bool drawn = SvgDrawing::Draw(kDrawing, {64, 0, 1.0}).status == SvgDrawing::Status::Drawn;
    if (::write(answer, &confining, sizeof confining) != sizeof confining) std::_Exit(2);
    std::_Exit(drawn ? 0 : 1);
}

struct Run {
    double whole = 0;
    double confining = 0;
};

Run once(char* name, bool confined) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) std::exit(1);
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) player(name, confined, pipeEnds[1]);
    ::close(pipeEnds[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    Run run{millisecondsSince(start), 0};
    if (::read(pipeEnds[0], &run.confining, sizeof run.confining) != sizeof run.confining ||
        !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "the player failed: status %d\n", status);
        std::exit(1);
    }
    ::close(pipeEnds[0]);
    return run;
}

void print(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const auto at = [&](std::size_t quarter) { return times[quarter * (times.size() - 1) / 4]; };
    std::printf("| %-32s | %8.3f | %8.3f | %8.3f |\n", what, at(1), at(2), at(3));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");  // as the player has it
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 21;
    std::vector<double> open, confined, confining;
    for (int k = 0; k < runs; ++k) {
        // Alternating, so that a busy moment of the machine falls on both.
        open.push_back(once(argv[0], false).whole);
        const Run run = once(argv[0], true);
        confined.push_back(run.whole);
        confining.push_back(run.confining);
    }
    std::printf("%d runs, milliseconds\n", runs);
    std::printf("| %-32s | %8s | %8s | %8s |\n", "", "25 %", "median", "75 %");
    print("start and draw, unconfined", open);
    print("start and draw, confined", confined);
    print("the confinement call alone", confining);
}
