#pragma once

#include <string>
#include <vector>

namespace Player {

// A player confines itself before it reads its input, so that whatever a
// library does with a crafted file, it cannot read the user's files, write
// anywhere or reach another process: Linux's Landlock lets the process read
// only beneath the system's program folder (/usr, where its libraries, Qt's
// plug-ins and the fonts lie), the fonts' configuration and caches (the
// system's, and the user's under HOME and the XDG folders; never where
// fontconfig's own variables point) and the folders it names; it may
// create, change, truncate or remove no file, use no device's ioctl, bind or
// connect no TCP socket, and neither reach an abstract Unix socket nor
// signal a process outside its own, each as far as the kernel's Landlock
// knows it. A seccomp filter refuses every new socket besides, named Unix
// sockets too. Its standard input and output, open already, stay as they
// are.
namespace Sandbox {

enum class Confinement {
    Confined,
    Unavailable,  // the kernel offers no Landlock: only sockets are refused
    Failed,       // Landlock or the filter is there but refused the rules
};

// Applies to this process and every process it starts, for good.
Confinement ConfineToReading(const std::vector<std::string>& moreFolders = {});

}  // namespace Sandbox

}  // namespace Player
