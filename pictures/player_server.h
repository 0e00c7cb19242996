#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "player_process.h"

namespace Pictures {

// A player that serves (PlayerProtocol::kServe): started the first time it is
// asked for and kept while this program runs, it forks a process for each
// file from one start of its libraries, so that a file costs a fork, not a
// program's start. Each process has the deadline, processor time and
// address space a player started for the file has, and confines itself as
// that player does. The player's clients use this; internal to the picture
// loader.
namespace PlayerServer {

// As PlayerProcess::Run, by the serving player of that program: the same
// arguments, input and answer. Any thread may call it; one file is served
// at a time. Should the serving player not start or not answer, the file
// goes to a player started for it alone.
PlayerProcess::Ended Run(const QString& program, const QStringList& arguments,
                         const QByteArray& input, int deadlineMs);

// Ends the servers and the files they serve now, at once, without serving
// those files again: for a window about to close. A later file starts a
// server again.
void StopAll();

}  // namespace PlayerServer

}  // namespace Pictures
