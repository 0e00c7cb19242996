#pragma once

#include <QString>

#include <compare>
#include <optional>
#include <string>

namespace Platform {

// Files as the system knows them, whatever the path's spelling ("./",
// "..", a link to the folder, a link in the file's place). Paths follow
// native_path.h.
namespace FileIdentity {

// An existing file: its device and inode.
struct Identity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    auto operator<=>(const Identity&) const = default;
};

// Where a file is or will be written: its folder's device and inode, and
// the name in that folder. A link in the file's place counts where it
// points, as SafeFile writes through it.
struct Place {
    Identity folder;
    std::string name;  // the system's bytes
    auto operator<=>(const Place&) const = default;
};

// Nothing when the file is not there or cannot be looked at.
std::optional<Identity> IdentityOf(const QString& path);

// Nothing when the folder is not there or cannot be looked at, or the path
// names no file in it (it ends in a separator, ".", "..").
std::optional<Place> PlaceOf(const QString& path);

// Whether the file the path names, links followed, lies inside the folder
// (links followed too). A file that is not there counts as inside.
bool LiesWithin(const QString& path, const QString& folder);

// Whether a folder stands under the path (a link to one counts).
bool IsFolder(const QString& path);

}  // namespace FileIdentity

}  // namespace Platform
