// The rows of the option table: every option of the command line, what it
// reads and what it sets.
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "build_rules.h"
#include "option_table.h"
#include "picture_io.h"
#include "side_files.h"
#include "strip_header.h"

using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Png;

namespace Plan {

namespace {

using enum OptionId;
using M = MessageCode;
using K = ValueKind;
using R = std::optional<Message>;

// Options that cannot be given together: each names the set it is in.
constexpr OptionId kTurn[] = {Angle, Sweep, End};
constexpr OptionId kOrientation[] = {Horizontal, Vertical, Layout};
constexpr OptionId kScaling[] = {Scale, Scales};
constexpr OptionId kSaying[] = {Quiet, Verbose};
constexpr OptionId kRoutineChoice[] = {Nearest, OptionId::Routine};
// A run that only names its files does not write them again and again.
constexpr OptionId kListing[] = {ListOutputs, Watch};

bool wholeInRange(double v, double low, double high) {
    return v == std::floor(v) && v >= low && v <= high;
}

// "1,2", "1, 1.5, 2": each within the row's range, in rising order, each
// once. A scale is kept to the six places its file name shows, so that two
// scales never share a name.
std::optional<std::vector<double>> scalesOf(const QString& text, const NumberRange& range) {
    std::vector<double> scales;
    for (const QString& part : text.split(',')) {
        const auto v = StrictNumber(part.trimmed());
        if (!v || !(*v >= range.low && *v <= range.high)) return std::nullopt;
        scales.push_back(std::nearbyint(*v * 1e6) / 1e6);
    }
    std::sort(scales.begin(), scales.end());
    scales.erase(std::unique(scales.begin(), scales.end()), scales.end());
    return scales;
}

// "horizontal", "vertical", "grid:C" (C columns), "frames".
std::optional<LayoutChoice> layoutOf(const QString& text) {
    if (text == "horizontal") return LayoutChoice{StripLayout::Horizontal(), false};
    if (text == "vertical") return LayoutChoice{StripLayout::Vertical(), false};
    if (text == "frames") return LayoutChoice{StripLayout::Horizontal(), true};
    if (!text.startsWith("grid:")) return std::nullopt;
    const auto columns = StrictNumber(text.mid(5));
    if (!columns || !wholeInRange(*columns, 1, 65535)) return std::nullopt;
    return LayoutChoice{StripLayout::Grid(static_cast<int32_t>(*columns)), false};
}

QStringList formatWords() {
    QStringList words;
    for (const Output::FormatRow& row : Output::Formats()) words << QString::fromLatin1(row.word);
    return words;
}

QStringList compressionWords() {
    QStringList words;
    for (const PngCompressionWord& row : kPngCompressionWords)
        words << QString::fromLatin1(row.word);
    return words;
}

QStringList sideWords() {
    return Output::SideFileWords() << QStringLiteral("none");
}

QStringList layoutWords() {
    return {QStringLiteral("horizontal"), QStringLiteral("vertical"), QStringLiteral("grid:C"),
            QStringLiteral("frames")};
}

QStringList firstNumbers() {
    return {QStringLiteral("0"), QStringLiteral("1")};
}

R toolkit(Options& o, const OptionValue& v, const OptionRow&) {
    o.toolkit = &Toolkits()[static_cast<std::size_t>(v.words.front())];
    return std::nullopt;
}

R sides(Options& o, const OptionValue& v, const OptionRow&) {
    const auto table = Output::SideFileTable();
    Output::SideFileSet files;
    for (const int word : v.words)  // past the table: "none"
        if (word < static_cast<int>(table.size()))
            files.add(table[static_cast<std::size_t>(word)].file);
    o.sides = files;
    return std::nullopt;
}

R layout(Options& o, const OptionValue& v, const OptionRow& row) {
    o.layout = layoutOf(v.text.toLower());
    if (!o.layout) return RefusedValue(row, M::WordExpected, v.text);
    return std::nullopt;
}

R scales(Options& o, const OptionValue& v, const OptionRow& row) {
    const auto scales = scalesOf(v.text, row.range);
    if (!scales) return RefusedValue(row, M::NumbersExpected, v.text);
    o.scales = *scales;
    return std::nullopt;
}

R output(Options& o, const OptionValue& v, const OptionRow& row) {
    if (v.text.isEmpty()) return Message{.code = M::OutputNeedsName, .subject = row.name};
    o.output = v.text;
    return std::nullopt;
}

R depfile(Options& o, const OptionValue& v, const OptionRow& row) {
    if (v.text.isEmpty()) return Message{.code = M::OutputNeedsName, .subject = row.name};
    o.depfile = v.text;
    return std::nullopt;
}

// A source a C or C++ compiler takes by its ending, whose header's name an
// #include can hold.
R embed(Options& o, const OptionValue& v, const OptionRow& row) {
    static const QRegularExpression source(QStringLiteral("[^/]\\.(c|cc|cpp|cxx)$"));
    static const QRegularExpression unfit(QStringLiteral("[\"\\\\\n\r]"));
    if (!source.match(v.text).hasMatch() || unfit.match(v.text).hasMatch())
        return Message{.code = M::EmbedNameRefused, .subject = row.name, .value = v.text};
    o.embed = v.text;
    return std::nullopt;
}

R embedNamespace(Options& o, const OptionValue& v, const OptionRow& row) {
    if (!Output::IsCNamespace(v.text))
        return Message{.code = M::NamespaceRefused, .subject = row.name, .value = v.text};
    o.embedNamespace = v.text;
    return std::nullopt;
}

// A number option's value, kept as given: the planner repairs it.
template <std::optional<double> Options::*member>
R number(Options& o, const OptionValue& v, const OptionRow&) {
    o.*member = v.number;
    return std::nullopt;
}

template <bool Options::*member>
R flag(Options& o, const OptionValue&, const OptionRow&) {
    o.*member = true;
    return std::nullopt;
}

void greyFact(Facts& facts) {
    facts.set(Fact::Colour, ColourText(Pictures::kBoxBackground));
}

// "#RRGGBB", "#RRGGBBAA" or "R,G,B" with whole numbers from 0 to 255:
// 0xAARRGGBB, opaque unless the eight digits say otherwise.
std::optional<QRgb> colourOf(const QString& text) {
    static const QRegularExpression hex(QStringLiteral("^#([0-9A-Fa-f]{6}|[0-9A-Fa-f]{8})$"));
    if (hex.match(text).hasMatch()) {
        const uint value = text.mid(1).toUInt(nullptr, 16);
        return text.size() == 7 ? (0xFF000000u | value) : ((value & 0xFFu) << 24 | value >> 8);
    }
    const QStringList parts = text.split(',');
    if (parts.size() != 3) return std::nullopt;
    int rgb[3] = {};
    for (int k = 0; k < 3; ++k) {
        const auto v = StrictNumber(parts[k]);
        if (!v || !wholeInRange(*v, 0, 255)) return std::nullopt;
        rgb[k] = static_cast<int>(*v);
    }
    return qRgb(rgb[0], rgb[1], rgb[2]);
}

R background(Options& o, const OptionValue& v, const OptionRow& row) {
    o.background = colourOf(v.text);
    if (!o.background) return RefusedValue(row, M::ColourExpected, v.text);
    return std::nullopt;
}

// "X,Y", numbers of pixels.
std::optional<QPointF> pointOf(const QString& text) {
    const QStringList parts = text.split(',');
    if (parts.size() != 2) return std::nullopt;
    const auto x = StrictNumber(parts[0].trimmed()), y = StrictNumber(parts[1].trimmed());
    if (!x || !y || std::abs(*x) > kMaxMaxSize * 16 || std::abs(*y) > kMaxMaxSize * 16)
        return std::nullopt;
    return QPointF(*x, *y);
}

template <std::optional<QPointF> Options::*member>
R point(Options& o, const OptionValue& v, const OptionRow& row) {
    o.*member = pointOf(v.text);
    if (!(o.*member)) return RefusedValue(row, M::PointExpected, v.text);
    return std::nullopt;
}

R canvas(Options& o, const OptionValue& v, const OptionRow& row) {
    const QStringList parts = v.text.split(',');
    if (parts.size() == 2) {
        const auto w = StrictNumber(parts[0].trimmed()), h = StrictNumber(parts[1].trimmed());
        if (w && h && wholeInRange(*w, 1, kMaxMaxSize) && wholeInRange(*h, 1, kMaxMaxSize)) {
            o.canvas = QSize(static_cast<int>(*w), static_cast<int>(*h));
            return std::nullopt;
        }
    }
    return RefusedValue(row, M::CanvasExpected, v.text);
}

// "COLOUR[,WIDTH[,RADIUS]]": the colour as colourOf takes it (a colour of
// three numbers then needs the width and radius too, so that its commas are
// not taken for them), the lengths positive pixels.
R arc(Options& o, const OptionValue& v, const OptionRow& row) {
    QStringList parts = v.text.split(',');
    QString colour = parts.takeFirst();
    if (!colour.startsWith('#') && parts.size() >= 2) {
        colour += ',' + parts.takeFirst() + ',' + parts.takeFirst();
    }
    ArcStyle style;
    const auto rgba = colourOf(colour);
    bool good = rgba.has_value() && parts.size() <= 2;
    if (good) style.colour = *rgba;
    for (qsizetype k = 0; good && k < parts.size(); ++k) {
        const auto length = StrictNumber(parts[k].trimmed());
        good = length && *length > 0.0 && *length <= kMaxMaxSize;
        if (good) (k == 0 ? style.width : style.radius) = *length;
    }
    if (!good) return RefusedValue(row, M::ArcExpected, v.text);
    o.arc = style;
    return std::nullopt;
}

R arcTrack(Options& o, const OptionValue& v, const OptionRow& row) {
    o.arcTrack = colourOf(v.text);
    if (!o.arcTrack) return RefusedValue(row, M::ColourExpected, v.text);
    return std::nullopt;
}

constexpr LayerMotion kMotions[] = {LayerMotion::Turn, LayerMotion::Slide, LayerMotion::Fade,
                                    LayerMotion::Still};

QStringList motionWords() {
    QStringList words;
    for (const LayerMotion motion : kMotions) words << QString::fromLatin1(MotionName(motion));
    return words;
}

// The routines as --routine names them: the window's is the window's.
constexpr Engine::Routine kRoutines[] = {Engine::Routine::Bilinear, Engine::Routine::Nearest,
                                         Engine::Routine::Sharp};

QStringList routineWords() {
    return {QStringLiteral("window"), QStringLiteral("nearest"), QStringLiteral("sharp")};
}

QStringList oversampleWords() {
    return {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4")};
}

QStringList arcFromWords() {
    return {QStringLiteral("start"), QStringLiteral("middle")};
}

QStringList arcEndWords() {
    return {QStringLiteral("round"), QStringLiteral("flat")};
}

constexpr NumberRange kAny{};
constexpr NumberRange kSides{1, kMaxMaxSize, true, false, M::NumberExpected};
constexpr NumberRange kOpacity{0.0, 1.0, false, false, M::NumberBetween};

// clang-format off
constexpr OptionRow kOptions[] = {
    {For, "--for", nullptr, "for", K::Word, "", M::UsageToolkit, ToolkitNames, kAny, toolkit,
     [](Options& o) { o.listToolkits = true; }, M::HelpFor, nullptr, {}},
    {Frames, "--frames", nullptr, "frames", K::Number, "N", M::None, nullptr, kAny,
     number<&Options::frames>, nullptr, M::HelpFrames,
     [](Facts& f) { f.set(Fact::Frames, KnobParams{}.FrameCount); }, {}},
    {Radius, "--radius", nullptr, "radius", K::Number, "R", M::None, nullptr, kAny,
     number<&Options::radius>, nullptr, M::HelpRadius, nullptr, {}},
    {Angle, "--angle", nullptr, "angle", K::Number, "A", M::None, nullptr, kAny,
     number<&Options::angle>, nullptr, M::HelpAngle,
     [](Facts& f) { f.set(Fact::Angle, Decimal{KnobParams{}.RotAngle}); }, kTurn},
    {Start, "--start", nullptr, "start", K::Number, "W", M::None, nullptr, kAny,
     number<&Options::start>, nullptr, M::HelpStart, nullptr, {}},
    {Sweep, "--sweep", nullptr, "sweep", K::Number, "S", M::None, nullptr, kAny,
     number<&Options::sweep>, nullptr, M::HelpSweep, nullptr, kTurn},
    {End, "--end", nullptr, "end", K::Number, "E", M::None, nullptr, kAny, number<&Options::end>,
     nullptr, M::HelpEnd, nullptr, kTurn},
    {Horizontal, "--horizontal", nullptr, "horizontal", K::Switch, nullptr, M::None, nullptr, kAny,
     [](Options& o, const OptionValue&, const OptionRow&) -> R {
         o.layout = LayoutChoice{StripLayout::Horizontal(), false};
         return std::nullopt;
     },
     nullptr, M::HelpHorizontal, nullptr, kOrientation},
    {Vertical, "--vertical", nullptr, "vertical", K::Switch, nullptr, M::None, nullptr, kAny,
     [](Options& o, const OptionValue&, const OptionRow&) -> R {
         o.layout = LayoutChoice{StripLayout::Vertical(), false};
         return std::nullopt;
     },
     nullptr, M::HelpVertical, [](Facts& f) { f.set(Fact::MaxSide, kMaxVerticalStripHeight); },
     kOrientation},
    {Layout, "--layout", nullptr, "layout", K::Text, "L", M::None, layoutWords, kAny, layout,
     nullptr, M::HelpLayout, nullptr, kOrientation},
    {FirstNumber, "--first-number", nullptr, "first-number", K::Word, "N", M::None, firstNumbers,
     kAny,
     [](Options& o, const OptionValue& v, const OptionRow&) -> R {
         o.firstNumber = v.words.front();
         return std::nullopt;
     },
     nullptr, M::HelpFirstNumber, nullptr, {}},
    {Nearest, "--nearest", nullptr, "nearest", K::Switch, nullptr, M::None, nullptr, kAny,
     [](Options& o, const OptionValue&, const OptionRow&) -> R {
         o.routine = Engine::Routine::Nearest;
         return std::nullopt;
     },
     nullptr, M::HelpNearest, nullptr, kRoutineChoice},
    {OptionId::Routine, "--routine", nullptr, "routine", K::Word, "R", M::None, routineWords,
     kAny,
     [](Options& o, const OptionValue& v, const OptionRow&) -> R {
         o.routine = kRoutines[v.words.front()];
         return std::nullopt;
     },
     nullptr, M::HelpRoutine, nullptr, kRoutineChoice},
    {Oversample, "--oversample", nullptr, "oversample", K::Word, "N", M::None, oversampleWords,
     kAny,
     [](Options& o, const OptionValue& v, const OptionRow&) -> R {
         o.oversample = 1 << v.words.front();
         return std::nullopt;
     },
     nullptr, M::HelpOversample, nullptr, {}},
    {MaxSize, "--max-size", nullptr, "max-size", K::Number, "N", M::None, nullptr, kSides,
     [](Options& o, const OptionValue& v, const OptionRow&) -> R {
         o.maxSize = static_cast<int>(v.number);
         return std::nullopt;
     },
     nullptr, M::HelpMaxSize,
     [](Facts& f) {
         f.set(Fact::Size, kCliMaxPictureSide);
         f.set(Fact::MaxSide, kMaxMaxSize);
     },
     {}},
    {Size, "--size", nullptr, "size", K::Number, "N", M::None, nullptr, kSides,
     [](Options& o, const OptionValue& v, const OptionRow&) -> R {
         o.size = static_cast<int>(v.number);
         return std::nullopt;
     },
     nullptr, M::HelpSize, nullptr, {}},
    {Scale, "--scale", nullptr, "scale", K::Number, "K", M::None, nullptr,
     {0.0, kMaxScale, false, true, M::NumberAboveZero},
     [](Options& o, const OptionValue& v, const OptionRow&) -> R {
         o.scale = v.number;
         return std::nullopt;
     },
     nullptr, M::HelpScale, nullptr, kScaling},
    {Scales, "--scales", nullptr, "scales", K::Text, "K,...", M::None, nullptr,
     {kMinScale, kMaxScale, false, false, M::NumbersExpected}, scales, nullptr, M::HelpScales,
     nullptr, kScaling},
    {Square, "--square", nullptr, "square", K::Switch, nullptr, M::None, nullptr, kAny,
     flag<&Options::square>, nullptr, M::HelpSquare, nullptr, {}},
    {Background, "--background", nullptr, "background", K::Text, "COLOUR", M::None, nullptr, kAny,
     background, nullptr, M::HelpBackground, greyFact, {}},
    {Under, "--under", nullptr, "under", K::File, "FILE", M::None, nullptr, kAny,
     [](Options& o, const OptionValue& v, const OptionRow&) -> R {
         o.under << v.text;
         return std::nullopt;
     },
     nullptr, M::HelpUnder, nullptr, {}, true},
    {Over, "--over", nullptr, "over", K::File, "FILE", M::None, nullptr, kAny,
     [](Options& o, const OptionValue& v, const OptionRow&) -> R {
         o.over << v.text;
         return std::nullopt;
     },
     nullptr, M::HelpOver, nullptr, {}, true},
    {Motion, "--motion", nullptr, "motion", K::Word, "M", M::None, motionWords, kAny,
     [](Options& o, const OptionValue& v, const OptionRow&) -> R {
         o.motion = kMotions[v.words.front()];
         return std::nullopt;
     },
     nullptr, M::HelpMotion, nullptr, {}},
    {SlideFrom, "--slide-from", nullptr, "slide-from", K::Text, "X,Y", M::None, nullptr, kAny,
     point<&Options::slideFrom>, nullptr, M::HelpSlideFrom, nullptr, {}},
    {SlideTo, "--slide-to", nullptr, "slide-to", K::Text, "X,Y", M::None, nullptr, kAny,
     point<&Options::slideTo>, nullptr, M::HelpSlideTo, nullptr, {}},
    {FadeFrom, "--fade-from", nullptr, "fade-from", K::Number, "A", M::None, nullptr, kOpacity,
     number<&Options::fadeFrom>, nullptr, M::HelpFadeFrom, nullptr, {}},
    {FadeTo, "--fade-to", nullptr, "fade-to", K::Number, "A", M::None, nullptr, kOpacity,
     number<&Options::fadeTo>, nullptr, M::HelpFadeTo, nullptr, {}},
    {Arc, "--arc", nullptr, "arc", K::Text, "COLOUR[,WIDTH[,RADIUS]]", M::None, nullptr, kAny,
     arc, nullptr, M::HelpArc, nullptr, {}},
    {ArcTrack, "--arc-track", nullptr, "arc-track", K::Text, "COLOUR", M::None, nullptr, kAny,
     arcTrack, nullptr, M::HelpArcTrack, nullptr, {}},
    {ArcFrom, "--arc-from", nullptr, "arc-from", K::Word, "F", M::None, arcFromWords, kAny,
     [](Options& o, const OptionValue& v, const OptionRow&) -> R {
         o.arcFromMiddle = v.words.front() == 1;
         return std::nullopt;
     },
     nullptr, M::HelpArcFrom, nullptr, {}},
    {ArcEnds, "--arc-ends", nullptr, "arc-ends", K::Word, "E", M::None, arcEndWords, kAny,
     [](Options& o, const OptionValue& v, const OptionRow&) -> R {
         o.arcRoundEnds = v.words.front() == 0;
         return std::nullopt;
     },
     nullptr, M::HelpArcEnds, nullptr, {}},
    {Canvas, "--canvas", nullptr, "canvas", K::Text, "W,H", M::None, nullptr, kSides, canvas,
     nullptr, M::HelpCanvas, nullptr, {}},
    {Format, "--format", nullptr, "format", K::Word, "F", M::None, formatWords, kAny,
     [](Options& o, const OptionValue& v, const OptionRow&) -> R {
         o.format = Output::Formats()[static_cast<std::size_t>(v.words.front())].format;
         return std::nullopt;
     },
     nullptr, M::HelpFormat, nullptr, {}},
    {Compression, "--compression", nullptr, "compression", K::Word, "C", M::None,
     compressionWords, kAny,
     [](Options& o, const OptionValue& v, const OptionRow&) -> R {
         o.compression = kPngCompressionWords[v.words.front()].level;
         return std::nullopt;
     },
     nullptr, M::HelpCompression, nullptr, {}},
    {Manifest, "--manifest", nullptr, "manifest", K::Switch, nullptr, M::None, nullptr, kAny,
     flag<&Options::manifest>, nullptr, M::HelpManifest, nullptr, {}},
    {Side, "--side", nullptr, "side", K::Words, "D,...", M::None, sideWords, kAny, sides, nullptr,
     M::HelpSide, nullptr, {}},
    {Preview, "--preview", nullptr, "preview", K::Switch, nullptr, M::None, nullptr, kAny,
     flag<&Options::preview>, nullptr, M::HelpPreview, nullptr, {}},
    {Animation, "--preview-animation", nullptr, "preview-animation", K::Switch, nullptr, M::None,
     nullptr, kAny, flag<&Options::animation>, nullptr, M::HelpAnimation, nullptr, {}},
    // Where files go is the command line's to say, not a recipe's that may
    // come from anywhere.
    {Output, "-o", "--output", nullptr, K::File, "", M::UsageOutputName, nullptr, kAny, output,
     nullptr, M::HelpOutput, nullptr, {}},
    // A dependency file and the C source are written where the command line
    // says, as the strips are.
    {Depfile, "--depfile", nullptr, nullptr, K::File, "FILE", M::None, nullptr, kAny, depfile,
     nullptr, M::HelpDepfile, nullptr, {}},
    {ListOutputs, "--list-outputs", nullptr, nullptr, K::Switch, nullptr, M::None, nullptr, kAny,
     flag<&Options::listOutputs>, nullptr, M::HelpListOutputs, nullptr, kListing},
    {Watch, "--watch", nullptr, nullptr, K::Switch, nullptr, M::None, nullptr, kAny,
     flag<&Options::watch>, nullptr, M::HelpWatch, nullptr, kListing},
    {Embed, "--embed", nullptr, nullptr, K::File, "FILE", M::None, nullptr, kAny, embed, nullptr,
     M::HelpEmbed, nullptr, {}},
    {EmbedNamespace, "--embed-namespace", nullptr, nullptr, K::Text, "NAME", M::None, nullptr,
     kAny, embedNamespace, nullptr, M::HelpEmbedNamespace, nullptr, {}},
    {Quiet, "-q", "--quiet", nullptr, K::Switch, nullptr, M::None, nullptr, kAny,
     flag<&Options::quiet>, nullptr, M::HelpQuiet, nullptr, kSaying},
    {Verbose, "-v", "--verbose", nullptr, K::Switch, nullptr, M::None, nullptr, kAny,
     flag<&Options::verbose>, nullptr, M::HelpVerbose, nullptr, kSaying},
    {Version, "--version", "-V", nullptr, K::Switch, nullptr, M::None, nullptr, kAny,
     flag<&Options::version>, nullptr, M::HelpVersion, nullptr, {}},
    {Help, "--help", "-h", nullptr, K::Switch, nullptr, M::None, nullptr, kAny,
     flag<&Options::help>, nullptr, M::HelpHelp, nullptr, {}},
};
// clang-format on

static_assert(
    [] {
        for (std::size_t k = 0; k < std::size(kOptions); ++k)
            if (kOptions[k].id != static_cast<OptionId>(k)) return false;
        return true;
    }(),
    "the rows stand in the order of their names");

}  // namespace

std::span<const OptionRow> OptionTable() {
    return kOptions;
}

const OptionRow& RowOf(OptionId id) {
    return kOptions[static_cast<std::size_t>(id)];
}

const OptionRow* FindOption(const QString& name) {
    for (const OptionRow& row : kOptions)
        if (name == QLatin1String(row.name) ||
            (row.alias != nullptr && name == QLatin1String(row.alias)))
            return &row;
    return nullptr;
}

Message RefusedValue(const OptionRow& row, MessageCode code, const QString& value) {
    Message m{.code = code, .subject = QString::fromLatin1(row.name), .value = value};
    if (row.choices != nullptr) m.facts.set(Fact::Choices, row.choices());
    m.facts.set(Fact::Low, Decimal{row.range.low});
    m.facts.set(Fact::High, Decimal{row.range.high});
    return m;
}

Message HelpFor(const OptionRow& row) {
    Message m{.code = row.help};
    if (row.choices != nullptr) m.facts.set(Fact::Choices, row.choices());
    if (row.range.refusal != M::None) {
        m.facts.set(Fact::Low, Decimal{row.range.low});
        m.facts.set(Fact::High, Decimal{row.range.high});
    }
    if (row.helpFacts != nullptr) row.helpFacts(m.facts);
    return m;
}

}  // namespace Plan
