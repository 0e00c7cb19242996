#pragma once

#include <QByteArray>
#include <QString>

#include "metafile_protocol.h"
#include "player_client.h"

namespace Pictures {

// Windows metafiles are played by the metafile player, a program of its own
// beside this one: a file that makes the player hang, crash or grow past its
// memory limit costs at most the deadline and ends in a result, never in this
// program. Internal to the picture loader.
namespace MetafilePlayer {

// The environment variable TORVELINK_METAFILE_DEADLINE_MS can only shorten
// the deadline (the tests do).
inline constexpr PlayerClient::Player kPlayer{
    MetafileProtocol::kProgramName,        "TORVELINK_METAFILE_DEADLINE_MS",
    Messages::MessageCode::PlayerCrashed,  Messages::MessageCode::NoPlayer,
    Messages::MessageCode::DrawingTooSlow, Messages::MessageCode::DrawingTooLarge};

// Whether the bytes start like a Windows metafile (placeable or plain).
bool LooksLikeMetafile(const QByteArray& head);

// Plays the metafile's bytes at 96 dots per inch in the player found beside
// the running program; a picture wider or higher than maxSide (at most 4096)
// is only measured. Drawn: light grey where nothing is drawn, libwmf's own
// transparency kept in alpha. Waits without handling events, at most the
// deadline.
PlayerClient::Played Play(const QByteArray& data, int maxSide);

// The same in the given player program.
PlayerClient::Played Play(const QString& program, const QByteArray& data, int maxSide);

}  // namespace MetafilePlayer

}  // namespace Pictures
