#pragma once

#include <QStringList>
#include <QTextStream>

// The command-line strip builder. Takes the arguments after the program's
// name; writes messages to err (nothing on success) and the usage to out.
// Returns the exit code: 0 written, 1 input or output failure, 2 usage error.
namespace StripCli {

inline constexpr int kWritten = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

int Run(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace StripCli
