#pragma once

#include <QRgb>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

#include "build_rules.h"
#include "knob_input.h"
#include "message.h"
#include "png_compression.h"
#include "strip_names.h"

namespace StripCli {

// Largest picture side the command line takes unless --max-size says
// otherwise; the window keeps kMaxPictureSide.
inline constexpr int kCliMaxPictureSide = KnobInput::kDefaultMaxSide;
// Largest value of --max-size and --size.
inline constexpr int kMaxMaxSize = 4096;
// Largest value of --scale.
inline constexpr double kMaxScale = 16.0;

struct Options {
    QStringList pictures;
    std::optional<double> frames;
    std::optional<double> radius;  // default: half the picture's width
    std::optional<double> angle;   // the step from one frame to the next, degrees
    std::optional<double> start;   // frame 1's turn, degrees
    std::optional<double> sweep;   // the turn from the first frame to the last, degrees
    std::optional<int> size;       // a vector picture's drawing size, N x N pixels
    double scale = 1.0;            // drawing size and given radius times this
    std::optional<QRgb> background;
    std::optional<StripFiles::Format> format;
    PngCompression compression = PngCompression::Default;
    bool manifest = false;
    StripOrientation orientation = StripOrientation::Horizontal;
    bool nearest = false;
    int maxSize = kCliMaxPictureSide;
    QString output;  // a file (one picture) or a folder; default beside each picture
    bool help = false;
};

// The options, or the usage error (a message about the option as given).
using Parsed = std::variant<Options, Message>;
Parsed ParseArguments(const QStringList& arguments);

// A number written strictly: optional sign, decimal digits with an optional
// fraction, optional exponent. Nothing for anything else, or out of range.
std::optional<double> StrictNumber(const QString& text);

// The help, from the same table the arguments are read by.
QString UsageText();

}  // namespace StripCli
