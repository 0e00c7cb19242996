#pragma once

#include <string>

namespace Platform {

// Small helpers shared by the window's handlers. None keeps state.

// The folder separator of this system.
inline constexpr char kPathSeparator = '/';

// Makes a folder path end in exactly one separator: appends one unless the
// last character already is one; an empty path becomes the separator alone.
void AddBackslash(std::string& path);

// The name without its extension: everything before the last ".", the whole
// name when it has no dot or ends in one ("a.b.gif" gives "a.b", ".gif" gives
// "", "name." stays "name.").
std::string StripExtension(const std::string& name);

// Whether a file can be opened for reading. Folders, missing or unreadable
// files and malformed names give false; the file is never created or changed.
bool FileExists(const std::string& path);

// The window's place, in twips, for CenterForm: centred horizontally, and
// vertically within the upper 85 percent of the screen, never above or left
// of the screen's corner.
struct WindowPlace {
    float Left = 0.0f;
    float Top = 0.0f;
};
WindowPlace CenterFormPlace(float screenWidth, float screenHeight, float windowWidth,
                            float windowHeight);

}  // namespace Platform
