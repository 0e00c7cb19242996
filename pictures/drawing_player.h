#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

#include "drawn_frames.h"

#include "drawing_protocol.h"
#include "player_client.h"

namespace Pictures {

// SVG drawings are drawn by the drawing player, a program of its own beside
// this one: a drawing that makes Qt SVG hang, grow, crash or reach for other
// files costs at most the deadline and ends in a result, never in this
// program. Internal to the picture loader.
namespace DrawingPlayer {

// The environment variable TORVELINK_DRAWING_DEADLINE_MS can only shorten
// the deadline.
inline constexpr PlayerClient::Player kPlayer{
    DrawingProtocol::kProgramName,           "TORVELINK_DRAWING_DEADLINE_MS",
    Messages::MessageCode::SvgPlayerCrashed, Messages::MessageCode::NoSvgPlayer,
    Messages::MessageCode::DrawingTooSlow,   Messages::MessageCode::DrawingTooLarge};

// The size asked for, as KnobInput::Request gives it.
struct Request {
    int maxSide = 1;     // largest width and height, pixels (at most 4096)
    int square = 0;      // > 0: the drawing fitted into a square of this side
    double scale = 1.0;  // the size times this
    int oversample = 1;  // drawn 1, 2 or 4 times as large (or kFinest), then averaged down
    // Frames: how long one drawing of the drawing took, ms, for how many
    // pixels drawn (0: not known); their deadline grows with it.
    qint64 onceMs = 0;
    qint64 oncePixels = 0;
};

// Draws the drawing's bytes (as read from its file) in the player found
// beside the running program. Drawn: clear where nothing is drawn;
// TooLarge: as large as the drawing says, past any int too; OutOfMemory also
// for a drawing over the embedded pictures' budget. Waits without handling
// events, at most the deadline.
PlayerClient::Played Play(const QByteArray& drawing, const Request& request);

// The same in the given player program.
PlayerClient::Played Play(const QString& program, const QByteArray& drawing,
                          const Request& request);

// The drawing drawn for each frame of the motion, each frame as Play draws
// the drawing, moved as the motion says; kept in an unnamed temporary file
// (gone with the frames, however this program ends) and read from it band
// by band. One player for all frames, under the players' checks, memory
// and a deadline that grows with the pixels drawn. Drawn: `frames` holds
// them; otherwise why not (Missing also when no temporary file can be
// made, OutOfMemory when the file fills the disk: room for all the frames
// is taken before a frame is drawn).
struct PlayedFrames {
    PlayerClient::Result result = PlayerClient::Result::NotReadable;
    std::unique_ptr<Engine::DrawnFrames> frames;
    bool noTemporaryFile = false;  // with Missing: the temporary folder takes no file
    int diskError = 0;             // with OutOfMemory: why the frames found no room on disk
};
PlayedFrames PlayFrames(const QByteArray& drawing, const Request& request,
                        const DrawingProtocol::FrameMotion& motion);
PlayedFrames PlayFrames(const QString& program, const QByteArray& drawing, const Request& request,
                        const DrawingProtocol::FrameMotion& motion);

}  // namespace DrawingPlayer

}  // namespace Pictures
