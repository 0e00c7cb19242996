// Draws one SVG drawing in a process of its own, so that a drawing that
// makes Qt SVG hang, grow or reach for other files ends here and not in the
// program that asked for it.
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLoggingCategory>

#include <cmath>
#include <cstdlib>
#include <new>
#include <optional>

#include "drawing_protocol.h"
#include "memory_exit.h"
#include "pipe_io.h"
#include "player_protocol.h"
#include "sandbox.h"
#include "svg_drawing.h"

using namespace Pictures;
using namespace Player;

namespace {

namespace P = PlayerProtocol;

std::optional<long> whole(const char* text, long low, long high) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high) return std::nullopt;
    return value;
}

std::optional<SvgDrawing::Request> request(int argc, char** argv) {
    if (argc != 4) return std::nullopt;
    const auto maxSide = whole(argv[1], 1, P::kMaxSide);
    const auto square = whole(argv[2], 0, P::kMaxSide);
    char* end = nullptr;
    const double scale = std::strtod(argv[3], &end);
    if (!maxSide || !square || end == argv[3] || *end != '\0' || !(scale > 0) ||
        !std::isfinite(scale))
        return std::nullopt;
    return SvgDrawing::Request{static_cast<int>(*maxSide), static_cast<int>(*square), scale};
}

// Off screen, with Qt's own limit on pictures, and with every warning Qt
// gives on: a lost picture is seen by its warning (svg_drawing.cpp), which
// no setting may hide or make fatal.
void prepareQt() {
    for (const char* variable : {"QT_LOGGING_RULES", "QT_LOGGING_CONF", "QT_FATAL_WARNINGS",
                                 "QT_FATAL_CRITICALS", "QT_IMAGEIO_MAXALLOC"})
        qunsetenv(variable);
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

P::Exit report(const SvgDrawing::Outcome& outcome) {
    using SvgDrawing::Status;
    const P::Header header{outcome.width, outcome.height};
    switch (outcome.status) {
        case Status::Drawn: {
            if (!PipeIo::WriteAll(&header, sizeof header)) return P::kNotReadable;
            const auto rowBytes = static_cast<std::size_t>(outcome.image.width()) * 4;
            for (int y = 0; y < outcome.image.height(); ++y)
                if (!PipeIo::WriteAll(outcome.image.constScanLine(y), rowBytes))
                    return P::kNotReadable;
            return P::kDrawn;
        }
        case Status::TooLarge:
            return PipeIo::WriteAll(&header, sizeof header) ? P::kTooLarge : P::kNotReadable;
        case Status::Empty:
            return P::kEmpty;
        case Status::NotReadable:
            return P::kNotReadable;
        case Status::RefersToFiles:
            return P::kRefersToFiles;
        case Status::OutOfMemory:
            return P::kOutOfMemory;
        case Status::TooDeep:
            return P::kTooDeep;
        case Status::NoSize:
            return P::kNoSize;
    }
    return P::kNotReadable;
}

}  // namespace

int main(int argc, char** argv) {
    const auto asked = request(argc, argv);
    if (!asked) return P::kUsage;
    MemoryExit::Install(P::kOutOfMemory);
    prepareQt();
    // Qt is given the program's name only: its own options are not ours.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.warning=true"));
    Sandbox::ConfineToReading({QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString(),
                               QLibraryInfo::path(QLibraryInfo::LibrariesPath).toStdString()});
    try {
        std::vector<unsigned char> data;
        if (!PipeIo::ReadInput(data, DrawingProtocol::kMaxBytes)) return P::kNotReadable;
        const QByteArray bytes(reinterpret_cast<const char*>(data.data()),
                               static_cast<qsizetype>(data.size()));
        return report(SvgDrawing::Draw(bytes, *asked));
    } catch (const std::bad_alloc&) {
        return P::kOutOfMemory;
    }
}
