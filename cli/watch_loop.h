#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "message.h"

namespace Cli {

// The watch: a run again whenever a file it read changes, until a signal
// ends the process.

// What one run did: whether it wrote everything, how many files, and every
// file it read, named as it named them.
struct Round {
    bool written = false;
    qsizetype files = 0;
    QStringList reads;
};

// How long the files must stay still before the run starts again: an
// editor's save is a few events close together.
inline constexpr int kSettleMilliseconds = 150;

// Runs `run(true)`, says WatchStarted, then waits. Whenever a file the last
// run read (or, after a failed run, any run since the last good one) changes
// its contents, size, inode or existence, and then stays still for
// kSettleMilliseconds, runs `run(false)` and says WatchRebuilt or WatchKept,
// naming the file. An editor that saves by renaming a new file over the old
// one is seen through the folder. Returns only when the system cannot watch
// (a message through `problem`, kFailed); otherwise a signal ends the
// process (Ctrl-C, SIGTERM), which takes the temporary files of a run it
// interrupts with it (safe_file.h).
int Watch(const std::function<Round(bool first)>& run,
          const std::function<void(const Messages::Message&)>& tell,
          const std::function<void(const Messages::Message&)>& problem);

}  // namespace Cli
