#pragma once

#include <QStringList>
#include <QTextStream>

#include "option_table.h"

namespace Cli {

// The command-line strip builder's runner: it reads the pictures, asks the
// planner what to write, writes it and reports. Messages go to err (nothing
// on success), the help to out. Returns the exit code: 0 written, 1 input or
// output failure, 2 usage error.

inline constexpr int kWritten = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

// With several pictures, each is built in turn; a failed one is reported and
// the others still go (exit 1 if any failed). progress: stderr is a terminal,
// so a line "Bild n von N: name" shows which picture is being built.
int Run(const QStringList& arguments, QTextStream& out, QTextStream& err, bool progress = false);

}  // namespace Cli
