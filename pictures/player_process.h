#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace Pictures {

// A player program run for one file: its own process, a deadline, an
// address-space limit, no core file, an environment of its own (where the
// user's fonts are, nothing of the caller's font or Qt settings), ended when
// this program ends. The players' clients (picture_player.h,
// metafile_player.h, drawing_player.h) use this; internal to the picture
// loader.
namespace PlayerProcess {

// The players' address space, bytes (not under AddressSanitizer, which
// reserves far more than this for itself).
inline constexpr long long kAddressSpace = 1LL << 30;

// How long a player may take, milliseconds.
inline constexpr int kDeadlineMs = 4000;

// Processor time, seconds: a backstop for a player left behind, which the
// deadline ends long before (frames drawn on several cores get more).
inline constexpr int kCpuSeconds = 10;

// The address space a player is limited to here: kAddressSpace, or 0 (no
// limit) under AddressSanitizer.
long long AddressSpace();

// What a player is given of this program's environment: where the user's
// fonts and fontconfig's caches lie (HOME and the XDG folders, from which
// the players' confinement lets them read only the fontconfig and fonts
// folders), where the libraries are, and the sanitizers' options of a test
// build; PATH and the locale its own. Not fontconfig's own settings
// (FONTCONFIG_FILE, FONTCONFIG_PATH), which could point the player at any
// file, nor Qt's (plug-in paths, allocation limits, fatal warnings), nor
// anything else of the caller's.
QProcessEnvironment Environment();

// The deadline, shortened by the environment variable when it names fewer
// milliseconds (the tests do); never lengthened.
int DeadlineMs(const char* variable);

// The player of that name beside the running program.
QString Beside(const char* programName);

enum class End {
    Exited,    // exitCode and output hold what it said
    TimedOut,  // past the deadline, or its processor time ran out
    Crashed,   // ended by a signal
    Missing,   // not there, or it does not start
};

struct Ended {
    End end = End::Missing;
    int exitCode = 0;
    QByteArray output;  // all of its standard output
    // RunInto: the system's error number when its output could not be
    // kept (a full disk), or -1 when it wrote more than it may.
    int keptError = 0;
};

// Starts the program with the arguments, hands it the input on its standard
// input, and waits for it without handling events, at most deadlineMs.
// Whatever it writes to its error output goes nowhere.
Ended Run(const QString& program, const QStringList& arguments, const QByteArray& input,
          int deadlineMs);

// As Run, but with a deadline and processor time of the caller's, and the
// player's standard output written to the file open for writing under the
// descriptor `into` as it comes, at most maxBytes of it: a player that
// writes more, or whose output cannot be kept, is ended (Crashed, with
// keptError saying why).
Ended RunInto(const QString& program, const QStringList& arguments, const QByteArray& input,
              int deadlineMs, int cpuSeconds, int into, qint64 maxBytes);

// Ends every player that runs now, at once, whichever thread waits for it:
// its Run gives Crashed. Never a process that has taken a finished player's
// number.
void StopAll();

}  // namespace PlayerProcess

}  // namespace Pictures
