// Plays one Windows metafile in a process of its own, so that a file that
// makes libwmf hang, crash or grow ends here and not in the program.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>

#include "metafile.h"
#include "metafile_protocol.h"

namespace {

namespace P = MetafileProtocol;

bool readInput(Metafile::Bytes& data) {
    unsigned char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (static_cast<std::int64_t>(data.size()) + n > P::kMaxBytes) return false;
        data.insert(data.end(), chunk, chunk + n);
    }
}

bool writeAll(const void* bytes, std::size_t size) {
    const auto* at = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

int report(const Metafile::Outcome& outcome) {
    const std::uint32_t size[2] = {static_cast<std::uint32_t>(outcome.size.width),
                                   static_cast<std::uint32_t>(outcome.size.height)};
    switch (outcome.status) {
        case Metafile::Status::Drawn:
            return writeAll(size, sizeof size) &&
                           writeAll(outcome.pixels.data(), outcome.pixels.size() * 4)
                       ? P::kDrawn
                       : P::kNotReadable;
        case Metafile::Status::TooLarge:
            return writeAll(size, sizeof size) ? P::kTooLarge : P::kNotReadable;
        case Metafile::Status::Empty:
            return P::kEmpty;
        case Metafile::Status::NotReadable:
            return P::kNotReadable;
        case Metafile::Status::CannotStart:
            return P::kCannotStart;
        case Metafile::Status::OutOfMemory:
            return P::kOutOfMemory;
    }
    return P::kNotReadable;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return P::kUsage;
    char* end = nullptr;
    const long maxSide = std::strtol(argv[1], &end, 10);
    if (*end != '\0' || maxSide < 1 || maxSide > P::kMaxSide) return P::kUsage;
    try {
        Metafile::Bytes data;
        if (!readInput(data)) return P::kNotReadable;
        return report(Metafile::Play(data, static_cast<int>(maxSide)));
    } catch (const std::bad_alloc&) {
        return P::kOutOfMemory;
    }
}
