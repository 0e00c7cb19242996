#include "commands.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "rounding.h"

using namespace Engine;

namespace Platform {

void AddBackslash(std::string& path) {
    if (path.empty() || path.back() != kPathSeparator) path.push_back(kPathSeparator);
}

std::string StripExtension(const std::string& name) {
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size()) return name;
    return name.substr(0, dot);
}

bool FileExists(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return false;
    // O_NONBLOCK: a named pipe must not hang the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return regular;
}

WindowPlace CenterFormPlace(float screenWidth, float screenHeight, float windowWidth,
                            float windowHeight) {
    const int32_t a = RoundHalfEvenClamped(static_cast<double>(screenHeight) * 0.85);
    const int32_t b = RoundHalfEvenClamped(windowHeight);
    const int32_t c = RoundHalfEvenClamped(screenWidth);
    const int32_t d = RoundHalfEvenClamped(windowWidth);
    WindowPlace place;
    place.Top = static_cast<float>(a / 2 - b / 2);
    place.Left = static_cast<float>(c / 2 - d / 2);
    if (place.Top < 0.0f) place.Top = 0.0f;
    if (place.Left < 0.0f) place.Left = 0.0f;
    return place;
}

}  // namespace Platform
