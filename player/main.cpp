// Plays one Windows metafile in a process of its own, so that a file that
// makes libwmf hang, crash or grow ends here and not in the program.
#include <cstdlib>
#include <new>

#include "metafile.h"
#include "metafile_protocol.h"
#include "pipe_io.h"
#include "player_protocol.h"
#include "sandbox.h"

using namespace Pictures;
using namespace Player;

namespace {

namespace P = PlayerProtocol;

P::Exit report(const Metafile::Outcome& outcome) {
    const P::Header header{outcome.size.width, outcome.size.height};
    switch (outcome.status) {
        case Metafile::Status::Drawn:
            return PipeIo::WriteAll(&header, sizeof header) &&
                           PipeIo::WriteAll(outcome.pixels.data(), outcome.pixels.size() * 4)
                       ? P::kDrawn
                       : P::kNotReadable;
        case Metafile::Status::TooLarge:
            return PipeIo::WriteAll(&header, sizeof header) ? P::kTooLarge : P::kNotReadable;
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
    // libwmf reads its font map and fonts, nothing else.
    Sandbox::ConfineToReading();
    try {
        Metafile::Bytes data;
        if (!PipeIo::ReadInput(data, MetafileProtocol::kMaxBytes)) return P::kNotReadable;
        return report(Metafile::Play(data, static_cast<int>(maxSide)));
    } catch (const std::bad_alloc&) {
        return P::kOutOfMemory;
    }
}
