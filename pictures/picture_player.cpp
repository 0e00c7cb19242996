#include "picture_player.h"

#include "player_process.h"

namespace Pictures {

namespace PicturePlayer {

PlayerClient::Played Play(const QByteArray& file, const Request& request) {
    return Play(PlayerProcess::Beside(kPlayer.programName), file, request);
}

PlayerClient::Played Play(const QString& program, const QByteArray& file, const Request& request) {
    const char name = request.iconName ? PictureProtocol::kIconName : PictureProtocol::kOtherName;
    return PlayerClient::Play(kPlayer, program, request.maxSide,
                              {QString::fromLatin1(request.formats.join(','))},
                              QByteArray(1, name) + file);
}

}  // namespace PicturePlayer

}  // namespace Pictures
