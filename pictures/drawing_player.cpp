#include "drawing_player.h"

#include <algorithm>

#include "player_process.h"

using namespace Messages;

namespace Pictures {

namespace DrawingPlayer {

PlayerClient::Played Play(const QByteArray& drawing, const Request& request) {
    return Play(PlayerProcess::Beside(kPlayer.programName), drawing, request);
}

PlayerClient::Played Play(const QString& program, const QByteArray& drawing,
                          const Request& request) {
    const int square = std::clamp(request.square, 0, PlayerProtocol::kMaxSide);
    return PlayerClient::Play(kPlayer, program, request.maxSide,
                              {QString::number(square), QString::number(request.scale, 'g', 17)},
                              drawing);
}

}  // namespace DrawingPlayer

}  // namespace Pictures
