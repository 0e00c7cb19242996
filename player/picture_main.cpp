// Decodes one pixel picture in a process of its own, so that a file that
// makes a reader hang, crash or grow ends here and not in the program that
// asked for it. Started with PlayerProtocol::kServe, it serves one picture
// after another, each in a process of its own forked from one start of Qt's
// readers (serving.h).
#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
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
#include "serving.h"

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
            // Format_ARGB32 rows follow each other without a gap.
            return PipeIo::WriteAll(&header, sizeof header) &&
                           PipeIo::WriteAll(outcome.image.constBits(),
                                            static_cast<std::size_t>(outcome.image.sizeInBytes()))
                       ? P::kDrawn
                       : P::kNotReadable;
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

// Every reader's plug-in loaded, as the first picture read would load them
// all to find which one reads it: once for every process forked from here.
void loadReaders() {
    QByteArray nothing(16, '\0');
    QBuffer buffer(&nothing);
    buffer.open(QIODevice::ReadOnly);
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        QImageReader(&buffer, format).canRead();
}

int decodeOne(int argc, char** argv) {
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

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], P::kServe) == 0)
        return Serving::Serve(decodeOne, loadReaders);
    return decodeOne(argc, argv);
}
