#pragma once

namespace Player {

// Memory that runs out where a library cannot pass the failure on (a
// std::bad_alloc thrown through C code, or from a destructor) still ends in
// the player's answer for it, not in an abort that reads as a crash.
namespace MemoryExit {

// From now on, a std::bad_alloc that nothing catches ends the process with
// this exit code; any other uncaught exception aborts as usual.
void Install(int exitCode);

}  // namespace MemoryExit

}  // namespace Player
