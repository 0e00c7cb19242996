#include "picture_player.h"

#include "player_process.h"

namespace Pictures {

namespace PicturePlayer {

namespace {

PlayerClient::Played play(const QString& program, const QByteArray& file, const Request& request,
                          PlayerClient::Start start) {
    const char name = request.iconName ? PictureProtocol::kIconName : PictureProtocol::kOtherName;
    return PlayerClient::Play(kPlayer, program, request.maxSide,
                              {QString::fromLatin1(request.formats.join(','))},
                              QByteArray(1, name) + file, start);
}

}  // namespace

PlayerClient::Played Play(const QByteArray& file, const Request& request) {
    return play(PlayerProcess::Beside(kPlayer.programName), file, request,
                PlayerClient::Start::Served);
}

PlayerClient::Played Play(const QString& program, const QByteArray& file, const Request& request) {
    return play(program, file, request, PlayerClient::Start::Alone);
}

}  // namespace PicturePlayer

}  // namespace Pictures
