// Decodes one pixel picture in a process of its own, so that a file that
// makes a reader hang, crash or grow ends here and not in the program that
// asked for it.
#include <QByteArray>
#include <QLibraryInfo>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "memory_exit.h"
#include "picture_protocol.h"
#include "pipe_io.h"
#include "player_protocol.h"
#include "raster_decoding.h"
#include "sandbox.h"

using namespace Pictures;
using namespace Player;

namespace {

namespace P = PlayerProtocol;

std::optional<RasterDecoding::Request> request(int argc, char** argv) {
    if (argc != 3) return std::nullopt;
    char* end = nullptr;
    const long maxSide = std::strtol(argv[1], &end, 10);
    if (end == argv[1] || *end != '\0' || maxSide < 1 || maxSide > P::kMaxSide) return std::nullopt;
    const QByteArray formats(argv[2]);
    if (formats.isEmpty()) return std::nullopt;
    return RasterDecoding::Request{static_cast<int>(maxSide), formats.split(','), false};
}

P::Exit report(const RasterDecoding::Outcome& outcome) {
    using RasterDecoding::Status;
    P::Header header{outcome.width, outcome.height};
    switch (outcome.status) {
        case Status::Drawn: {
            std::memcpy(
                header.kind, outcome.kind.constData(),
                std::min(sizeof header.kind, static_cast<std::size_t>(outcome.kind.size())));
            if (!PipeIo::WriteAll(&header, sizeof header)) return P::kNotReadable;
            const auto rowBytes = static_cast<std::size_t>(outcome.image.width()) * 4;
            for (int y = 0; y < outcome.image.height(); ++y)
                if (!PipeIo::WriteAll(outcome.image.constScanLine(y), rowBytes))
                    return P::kNotReadable;
            return P::kDrawn;
        }
        case Status::TooLarge:
            return PipeIo::WriteAll(&header, sizeof header) ? P::kTooLarge : P::kNotReadable;
        case Status::NotReadable:
            return P::kNotReadable;
        case Status::NotAKind:
            return P::kNotAKind;
        case Status::CutShort:
            return P::kCutShort;
    }
    return P::kNotReadable;
}

}  // namespace

int main(int argc, char** argv) {
    auto asked = request(argc, argv);
    if (!asked) return P::kUsage;
    MemoryExit::Install(P::kOutOfMemory);
    // The readers are plug-ins, loaded only when a picture is read: their
    // folder stays readable.
    Sandbox::ConfineToReading({QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString(),
                               QLibraryInfo::path(QLibraryInfo::LibrariesPath).toStdString()});
    try {
        std::vector<unsigned char> data;
        const int maxSide = asked->maxSide;
        if (!PipeIo::ReadInput(data, PictureProtocol::MaxBytes(maxSide) + 1) || data.empty())
            return P::kNotReadable;
        asked->iconName = data.front() == PictureProtocol::kIconName;
        // The bytes are read where they lie, not copied.
        const QByteArray file =
            QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()) + 1,
                                    static_cast<qsizetype>(data.size()) - 1);
        return report(RasterDecoding::Decode(file, *asked));
    } catch (const std::bad_alloc&) {
        return P::kOutOfMemory;
    }
}
