#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// SVG drawings are drawn by the drawing player, a program of its own beside
// this one (see drawing_protocol.h): a drawing that makes Qt SVG hang, grow,
// crash or reach for other files costs at most the deadline and ends in a
// result, never in this program. Internal to the picture loader.
namespace DrawingPlayer {

// The size asked for, as KnobInput::Request gives it.
struct Request {
    int maxSide = 1;     // largest width and height, pixels (at most 4096)
    int square = 0;      // > 0: the drawing fitted into a square of this side
    double scale = 1.0;  // the size times this
};

enum class Result {
    Drawn,
    TooLarge,
    Empty,
    NotReadable,
    RefersToFiles,
    OutOfMemory,  // over the player's memory or the embedded pictures' budget
    TimedOut,
    Crashed,
    Missing,  // no player beside the program, or it does not start
};

struct Played {
    Result result = Result::NotReadable;
    qint64 width = 0;  // pixels (Drawn, TooLarge), as large as the drawing says
    qint64 height = 0;
    QImage image;  // Drawn: Format_ARGB32 (straight alpha), clear where nothing is drawn
};

// Draws the drawing's bytes (as read from its file) in the player found
// beside the running program, within PlayerProcess::kDeadlineMs (the
// environment variable TORVELINK_DRAWING_DEADLINE_MS can only shorten it)
// and PlayerProcess::kAddressSpace. Waits without handling events.
Played Play(const QByteArray& drawing, const Request& request);

// The same in the given player program.
Played Play(const QString& program, const QByteArray& drawing, const Request& request);

}  // namespace DrawingPlayer
