// Draws one SVG drawing in a process of its own, so that a drawing that
// makes Qt SVG hang, grow or reach for other files ends here and not in the
// program that asked for it.
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLoggingCategory>

#include <cmath>
#include <cstdlib>
#include <cstring>
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

std::optional<double> number(const char* text) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(value)) return std::nullopt;
    return value;
}

// The largest side, the square, the scale and, when given, the oversampling.
std::optional<SvgDrawing::Request> request(int argc, char** argv) {
    if (argc < 4) return std::nullopt;
    const auto maxSide = whole(argv[1], 1, P::kMaxSide);
    const auto square = whole(argv[2], 0, P::kMaxSide);
    const auto scale = number(argv[3]);
    const auto oversample = argc > 4 ? whole(argv[4], 0, 4) : std::optional<long>(1);
    if (!maxSide || !square || !scale || !(*scale > 0) || !oversample ||
        !DrawingProtocol::OversampleAllowed(static_cast<int>(*oversample)))
        return std::nullopt;
    return SvgDrawing::Request{static_cast<int>(*maxSide), static_cast<int>(*square), *scale,
                               static_cast<int>(*oversample)};
}

// The motion after kFrames, when the arguments name one.
std::optional<DrawingProtocol::FrameMotion> motion(int argc, char** argv) {
    if (argc != 6 + DrawingProtocol::kMotionNumbers ||
        std::strcmp(argv[5], DrawingProtocol::kFrames) != 0)
        return std::nullopt;
    double v[DrawingProtocol::kMotionNumbers];
    for (int k = 0; k < DrawingProtocol::kMotionNumbers; ++k) {
        const auto read = number(argv[6 + k]);
        if (!read || std::abs(*read) > 1e9) return std::nullopt;
        v[k] = *read;
    }
    const auto count = [](double n, double high) {
        return n == std::floor(n) && n >= 1 && n <= high;
    };
    if (!count(v[0], 1 << 20) || !count(v[1], P::kMaxSide) || !count(v[2], P::kMaxSide))
        return std::nullopt;
    return DrawingProtocol::FrameMotion{static_cast<std::int32_t>(v[0]),
                                        static_cast<std::int32_t>(v[1]),
                                        static_cast<std::int32_t>(v[2]),
                                        v[3],
                                        v[4],
                                        v[5],
                                        v[6],
                                        static_cast<float>(v[7]),
                                        static_cast<float>(v[8]),
                                        v[9],
                                        v[10]};
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

bool writeRows(const QImage& image) {
    const auto rowBytes = static_cast<std::size_t>(image.width()) * 4;
    if (static_cast<std::size_t>(image.bytesPerLine()) == rowBytes)
        return PipeIo::WriteAll(image.constBits(),
                                rowBytes * static_cast<std::size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y)
        if (!PipeIo::WriteAll(image.constScanLine(y), rowBytes)) return false;
    return true;
}

P::Exit report(const SvgDrawing::Outcome& outcome) {
    using SvgDrawing::Status;
    const P::Header header{outcome.width, outcome.height};
    switch (outcome.status) {
        case Status::Drawn:
            return PipeIo::WriteAll(&header, sizeof header) && writeRows(outcome.image)
                       ? P::kDrawn
                       : P::kNotReadable;
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
    const auto moved = motion(argc, argv);
    if (!asked || (argc > 5 && !moved)) return P::kUsage;
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
        if (!moved) return report(SvgDrawing::Draw(bytes, *asked));
        // The header goes before the first frame; a drawing refused before
        // it says so by its exit code alone.
        bool started = false;
        const auto put = [&](const QImage& frame) {
            if (!started) {
                const P::Header header{moved->width, moved->height};
                started = PipeIo::WriteAll(&header, sizeof header);
                if (!started) return false;
            }
            return writeRows(frame);
        };
        const SvgDrawing::Outcome outcome = SvgDrawing::DrawFrames(bytes, *asked, *moved, put);
        return outcome.status == SvgDrawing::Status::Drawn ? P::kDrawn : report(outcome);
    } catch (const std::bad_alloc&) {
        return P::kOutOfMemory;
    }
}
