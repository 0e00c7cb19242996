#pragma once

namespace Player {

// A player that serves one file after another, a process each, as
// player_protocol.h's kServe says: the player's libraries are started once,
// and every file still has a process of its own, fresh from the same start,
// that limits and confines itself before it reads a byte of the file.
namespace Serving {

// What the player does for one file, as its main() would with these
// arguments: the file on standard input, the answer on standard output, the
// exit code returned. Runs in the forked process only.
using Work = int (*)(int argc, char** argv);

// What the server does once, to spare every later process the work: run
// when the first file is answered, while the program that asked goes on
// with it, so that the first file waits for nothing of it.
using Preparation = void (*)();

// Serves the requests that come on standard input until it closes; 0 then.
// Needs a single thread: call it before anything starts another.
int Serve(Work work, Preparation prepare);

}  // namespace Serving

}  // namespace Player
