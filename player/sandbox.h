#pragma once

#include <string>
#include <vector>

namespace Player {

// A player confines itself before it reads its input, so that whatever a
// library does with a crafted file, it cannot read the user's files or write
// anywhere: Linux's Landlock lets the process read only beneath the system's
// program folder (/usr, where its libraries, Qt's plug-ins and the fonts
// lie), the fonts' configuration and caches, and the folders it names; it
// may create, change or remove no file. Its standard input and output, open
// already, stay as they are. Network sockets are not confined (no player
// opens one).
namespace Sandbox {

enum class Confinement {
    Confined,
    Unavailable,  // the kernel offers no Landlock: the player runs as before
    Failed,       // Landlock is there but refused the rules
};

// Applies to this process and every process it starts, for good.
Confinement ConfineToReading(const std::vector<std::string>& moreFolders = {});

}  // namespace Sandbox

}  // namespace Player
