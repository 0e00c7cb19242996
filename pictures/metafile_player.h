#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Windows metafiles are played by the metafile player, a program of its own
// beside this one: a file that makes the player hang, crash or grow past its
// memory limit costs at most the deadline and ends in a result, never in this
// program. Internal to the picture loader.
namespace MetafilePlayer {

// A metafile may take PlayerProcess::kDeadlineMs in a player of
// PlayerProcess::kAddressSpace. The environment variable
// TORVELINK_METAFILE_DEADLINE_MS can only shorten the deadline (the tests do).

// Whether the bytes start like a Windows metafile (placeable or plain).
bool LooksLikeMetafile(const QByteArray& head);

enum class Result {
    Drawn,
    TooLarge,
    Empty,
    NotReadable,
    CannotStart,  // the player is there but libwmf cannot work: its fonts are missing
    OutOfMemory,
    TimedOut,
    Crashed,
    Missing,  // no player beside the program, or it does not start
};

struct Played {
    Result result = Result::NotReadable;
    QSize size;    // Drawn, TooLarge
    QImage image;  // Drawn: Format_ARGB32, light grey where nothing is drawn
};

// Plays the metafile's bytes at 96 dots per inch in the player found beside
// the running program; a picture wider or higher than maxSide (at most 4096)
// is only measured. Waits without handling events, at most the deadline.
Played Play(const QByteArray& data, int maxSide);

// The same in the given player program.
Played Play(const QString& program, const QByteArray& data, int maxSide);

}  // namespace MetafilePlayer
