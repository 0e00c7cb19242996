#include "metafile_player.h"

#include <QtEndian>

#include "player_process.h"

using namespace Messages;

namespace Pictures {

namespace MetafilePlayer {

bool LooksLikeMetafile(const QByteArray& head) {
    if (head.size() < 4) return false;
    const auto* p = reinterpret_cast<const uchar*>(head.constData());
    if (qFromLittleEndian<quint32>(p) == MetafileProtocol::kPlaceableKey) return true;
    // A plain metafile header: type 1 (disk) or 2 (memory), nine words long.
    const auto type = qFromLittleEndian<quint16>(p), words = qFromLittleEndian<quint16>(p + 2);
    return (type == 1 || type == 2) && words == 9;
}

PlayerClient::Played Play(const QByteArray& data, int maxSide) {
    return Play(PlayerProcess::Beside(kPlayer.programName), data, maxSide);
}

PlayerClient::Played Play(const QString& program, const QByteArray& data, int maxSide) {
    return PlayerClient::Play(kPlayer, program, maxSide, {}, data);
}

}  // namespace MetafilePlayer

}  // namespace Pictures
