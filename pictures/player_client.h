#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include "message.h"
#include "player_process.h"

namespace Pictures {

// What every player's client does alike (player_protocol.h): run the player,
// read its answer, and say why it gave no picture. A player's own client
// (metafile_player.h, drawing_player.h) adds only its arguments and its
// Player. Internal to the picture loader.
namespace PlayerClient {

// What tells one player from another here.
struct Player {
    const char* programName;        // found beside the running program
    const char* deadlineVariable;   // environment variable that can only shorten its deadline
    Messages::MessageCode crashed;  // the reason when it dies or says what it was not made to
    Messages::MessageCode missing;  // the reason when it is not there or does not start
    Messages::MessageCode slow;     // the reason when it runs past its deadline
    Messages::MessageCode greedy;   // the reason when it runs out of memory
};

enum class Result {
    Drawn,
    TooLarge,
    Empty,
    NotReadable,
    OutOfMemory,
    CannotStart,    // the player is there but cannot work (libwmf without its fonts)
    RefersToFiles,  // a drawing that would read other files
    NotAKind,       // a picture of a kind it was not asked to read
    CutShort,       // a file that ends before its pixels do
    TooDeep,        // drawings nested deeper than DrawingProtocol::kMaxNesting
    NoSize,         // a drawing whose width or height is not a number
    TimedOut,
    Crashed,
    Missing,  // no player beside the program, or it does not start
};

struct Played {
    Result result = Result::NotReadable;
    qint64 width = 0;  // pixels (Drawn, TooLarge), as large as the file says
    qint64 height = 0;
    QImage image;     // Drawn: Format_ARGB32, straight alpha
    QByteArray kind;  // Drawn: the kind read, when the player reads several ("png")
};

// What the player's end and answer say (player_protocol.h).
Played Answer(const PlayerProcess::Ended& ended, int maxSide);

// How the player is run: started for this file alone, or by its serving
// start (player_server.h), a process forked for the file all the same.
enum class Start { Alone, Served };

// Runs the program (the player, or a stand-in for it) with the largest side,
// clamped to 1 ... PlayerProtocol::kMaxSide, then the further arguments, the
// input on its standard input, within PlayerProcess::kDeadlineMs (shortened
// by the player's variable) and PlayerProcess::kAddressSpace, in an
// environment of its own (player_process.h). Waits without handling events.
// An answer that does not fit the protocol or the largest side is
// NotReadable; an exit code it was not made to say is Crashed.
Played Play(const Player& player, const QString& program, int maxSide, const QStringList& arguments,
            const QByteArray& input, Start start = Start::Alone);

// Why the player gave no picture of the file (name, as the user sees it):
// EmptyPicture, UnsupportedPicture (the caller adds the kinds it reads), or
// CannotRead with the reason. Nothing (MessageCode::None) for Drawn and
// TooLarge, where the picture or its size is the answer.
Messages::Message Refusal(Result result, const Player& player, const QString& name);

}  // namespace PlayerClient

}  // namespace Pictures
