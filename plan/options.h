#pragma once

#include <QPointF>
#include <QRgb>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "build_rules.h"
#include "catalog.h"
#include "knob_input.h"
#include "layers.h"
#include "png_compression.h"
#include "strip_names.h"
#include "toolkits.h"

namespace Plan {

// What the command line was asked for, as its arguments say it: the
// planner's input.

// Largest picture side the command line takes unless --max-size says
// otherwise; the window keeps kMaxPictureSide.
inline constexpr int kCliMaxPictureSide = Pictures::KnobInput::kDefaultMaxSide;
// Largest value of --max-size and --size.
inline constexpr int kMaxMaxSize = 4096;
// Largest value of --scale and of each of --scales, and the smallest of
// --scales.
inline constexpr double kMaxScale = 16.0;
inline constexpr double kMinScale = 0.01;

// How the frames are laid out: in one strip file (a layout of the engine),
// or one file for each frame.
struct LayoutChoice {
    Engine::StripLayout strip = Engine::StripLayout::Horizontal();
    bool frameFiles = false;
};

// A colour as --background takes it: "192,192,192".
inline QString ColourText(QRgb colour) {
    return QStringLiteral("%1,%2,%3").arg(qRed(colour)).arg(qGreen(colour)).arg(qBlue(colour));
}

struct Options {
    QStringList pictures;
    std::optional<double> frames;
    std::optional<double> radius;              // default: half the picture's width
    std::optional<double> angle;               // the step from one frame to the next, degrees
    std::optional<double> start;               // frame 1's turn, degrees
    std::optional<double> sweep;               // the turn from the first frame to the last, degrees
    std::optional<double> end;                 // the last frame's turn, degrees
    const Toolkit* toolkit = nullptr;          // --for: what the toolkit reads, where not given
    bool listToolkits = false;                 // --for without a name
    std::vector<double> scales;                // one strip for each; none given: 1
    std::optional<Output::SideFileSet> sides;  // --side: the files beside the strip
    bool square = false;                       // pad the picture to a square
    std::optional<int> size;                   // a vector picture's drawing size, N x N pixels
    double scale = 1.0;                        // drawing size and given radius times this
    std::optional<QRgb> background;
    std::optional<Output::Format> format;
    Png::PngCompression compression = Png::PngCompression::Default;
    bool manifest = false;
    bool preview = false;                // an HTML page that plays the strip
    std::optional<LayoutChoice> layout;  // --layout, --horizontal, --vertical
    int firstNumber = 1;                 // the number of the first frame file
    bool animation = false;              // an animated PNG that plays the sweep
    // How pixels turn; none given: the window's bilinear blend, or the sharp
    // routine for a toolkit, and a drawing turned in its own drawing.
    std::optional<Engine::Routine> routine;
    int oversample =
        0;  // a drawing and the arc drawn at this multiple, then averaged; 0: not given
    int maxSize = kCliMaxPictureSide;
    QString output;  // a file (one picture) or a folder; default beside each picture
    // A strip as a build product.
    QString depfile;           // a Make dependency file of every file written and read
    bool listOutputs = false;  // name the files the run would write, and write nothing
    bool watch = false;        // write again whenever a file read changes
    QString embed;             // a C source (and its header beside it) holding the strips
    QString embedNamespace = QStringLiteral("strips");  // the C++ namespace, the C prefix
    bool quiet = false;                                 // no line for each file written
    bool verbose = false;                               // each picture's parameters too
    bool version = false;
    bool help = false;
    // The user's language: the messages', the preview page's, and how a
    // decimal was read.
    Messages::Language language = Messages::Language::English;

    // A stack of layers instead of one picture turned in its disc.
    QStringList under, over;              // still layers below and above the picture
    std::optional<Engine::ArcStyle> arc;  // a value arc over the picture
    std::optional<QRgb> arcTrack;         // the track's colour (0xAARRGGBB)
    std::optional<bool> arcFromMiddle;
    std::optional<bool> arcRoundEnds;
    std::optional<Engine::LayerMotion> motion;  // how the picture moves (default: turns)
    std::optional<QPointF> slideFrom, slideTo;  // its top-left corner at value 0 and 1
    std::optional<double> fadeFrom, fadeTo;     // its opacity at value 0 and 1
    std::optional<QSize> canvas;                // the canvas, at 1x; default: the largest layer
    std::vector<LayerEntry> layers;             // a recipe's whole stack
    QString picture;                            // a recipe's picture
    // The recipe the options came from, if one did: its layers' files are
    // named from its folder.
    QString recipe;
    // Whether any of the above asks for a stack.
    bool stacked() const {
        return !under.isEmpty() || !over.isEmpty() || arc || motion || canvas || !layers.empty();
    }
};

}  // namespace Plan
