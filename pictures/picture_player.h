#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include "picture_protocol.h"
#include "player_client.h"

namespace Pictures {

// Pixel pictures are decoded by the picture player, a program of its own
// beside this one: a file that makes one of Qt's readers (libpng, libjpeg,
// libtiff, libwebp, ...) hang, crash or grow costs at most the deadline and
// ends in a result, never in this program. Internal to the picture loader.
namespace PicturePlayer {

// The environment variable TORVELINK_PICTURE_DEADLINE_MS can only shorten
// the deadline (the tests do).
inline constexpr PlayerClient::Player kPlayer{PictureProtocol::kProgramName,
                                              "TORVELINK_PICTURE_DEADLINE_MS",
                                              Messages::MessageCode::PicturePlayerCrashed,
                                              Messages::MessageCode::NoPicturePlayer,
                                              Messages::MessageCode::ReadingTooSlow,
                                              Messages::MessageCode::ReadingTooLarge};

struct Request {
    int maxSide = 1;         // largest width and height, pixels (at most 4096)
    QByteArrayList formats;  // the kinds it may read, as Qt's readers name them
    bool iconName = false;   // the file's name ends in .ico or .cur
};

// Decodes the file's bytes by the player found beside the running program,
// in a process of their own that its serving start forks (player_server.h):
// the first picture of a run starts the player's libraries, the others do
// not. Drawn: the picture as Qt reads it (see picture_protocol.h), kind
// named; TooLarge: measured from its header; NotAKind: a picture of another
// kind, undecoded. Waits without handling events, at most the deadline.
PlayerClient::Played Play(const QByteArray& file, const Request& request);

// The same in the given player program, started for this file alone.
PlayerClient::Played Play(const QString& program, const QByteArray& file, const Request& request);

}  // namespace PicturePlayer

}  // namespace Pictures
