#include "picture_plan.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "catalog.h"
#include "commands.h"
#include "leading_number.h"
#include "native_path.h"
#include "option_table.h"
#include "picture_io.h"
#include "side_files.h"
#include "strip_header.h"

using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Platform;
using namespace Png;

namespace Plan {

namespace {

constexpr QChar kSeparator{Platform::kPathSeparator};

using Output::SideFile;

QString optionName(OptionId id) {
    return QString::fromLatin1(RowOf(id).name);
}

// The option that asked for a side file, as the user would have given it.
QString askedFor(const Options& o, SideFile file) {
    if (file == SideFile::Manifest && o.manifest) return optionName(OptionId::Manifest);
    if (file == SideFile::Preview && o.preview) return optionName(OptionId::Preview);
    return optionName(OptionId::Side) + ' ' + QString::fromLatin1(Output::RowOf(file).word);
}

Message exclude(const QString& a, const QString& b) {
    return {.code = MessageCode::OptionsExclude, .subject = a, .value = b};
}

// A side file asked for that cannot describe the layout asked for.
std::optional<Message> sideAgainstLayout(const Options& o, const Settings& s) {
    const bool grid = s.layout.strip.kind() == StripLayout::Kind::Grid;
    if (!grid && !s.layout.frameFiles) return std::nullopt;
    const Output::SideFileSet describing = Output::DescribingLayout(grid, s.layout.frameFiles);
    for (const Output::SideFileRow& row : Output::SideFileTable())
        if (s.sides.has(row.file) && !describing.has(row.file))
            return exclude(
                optionName(OptionId::Layout) +
                    (s.layout.frameFiles ? QStringLiteral(" frames") : QStringLiteral(" grid")),
                askedFor(o, row.file));
    return std::nullopt;
}

// What a strip on standard output cannot have: any file beside it.
QString besideStandardOutput(const Options& o, const Settings& s) {
    for (const Output::SideFileRow& row : Output::SideFileTable())
        if (s.sides.has(row.file)) return askedFor(o, row.file);
    if (o.animation) return optionName(OptionId::Animation);
    if (s.layout.frameFiles) return optionName(OptionId::Layout) + QStringLiteral(" frames");
    if (s.scales.size() > 1) return optionName(OptionId::Scales);
    if (!o.embed.isEmpty()) return optionName(OptionId::Embed);
    if (!o.depfile.isEmpty()) return optionName(OptionId::Depfile);
    if (o.watch) return optionName(OptionId::Watch);
    return {};
}

// C source holds strips, not frame files.
std::optional<Message> embedAgainstLayout(const Options& o, const Settings& s) {
    if (o.embed.isEmpty() || !s.layout.frameFiles) return std::nullopt;
    return exclude(optionName(OptionId::Layout) + QStringLiteral(" frames"),
                   optionName(OptionId::Embed));
}

// Two files of one picture under one name would be one file.
QString sharedName(const std::vector<Job>& jobs) {
    std::set<QString> names;
    for (const Job& job : jobs)
        if (!names.insert(job.path).second) return job.path;
    return {};
}

// Paths are put together as strings: Qt's own file classes would turn a name
// that is not UTF-8 into another one. A picture without a folder in its name
// lies in the working folder, and so does its strip.
QString folderOf(const QString& file) {
    return file.left(file.lastIndexOf(kSeparator) + 1);
}

QString nameOf(const QString& file) {
    return file.mid(file.lastIndexOf(kSeparator) + 1);
}

QString inFolder(QString folder, const QString& name) {
    if (!folder.isEmpty() && !folder.endsWith(kSeparator)) folder += kSeparator;
    return folder + name;
}

// The ending of a name, with its dot ("" when it has none).
QString endingOf(const QString& path) {
    const QString name = nameOf(path);
    const qsizetype dot = name.lastIndexOf('.');
    return dot <= 0 ? QString() : name.mid(dot);
}

Output::SeqLetter letterOf(const LayoutChoice& layout) {
    using L = Output::SeqLetter;
    if (layout.frameFiles) return L::Frames;
    switch (layout.strip.kind()) {
        case StripLayout::Kind::Horizontal:
            return L::Horizontal;
        case StripLayout::Kind::Vertical:
            return L::Vertical;
        case StripLayout::Kind::Grid:
            return L::Grid;
    }
    return L::Horizontal;
}

// The picture's name without its ending, worked on as the system's bytes so
// that a name that is not UTF-8 stays as it is. A picture on standard input
// is "stdin".
QString pictureBase(const QString& picture) {
    if (picture == QLatin1String("-")) return QStringLiteral("stdin");
    return NativePath::Decode(QByteArray::fromStdString(
        Platform::StripExtension(NativePath::Encode(nameOf(picture)).toStdString())));
}

bool writesToStandardOutput(const Options& o) {
    return o.output == QLatin1String("-");
}

Output::Format formatOf(const Options& o, const Settings& s, bool outputIsFolder,
                        const PictureFacts& facts) {
    if (o.format) return *o.format;
    if (!o.output.isEmpty() && !outputIsFolder)
        if (const auto named = Output::FormatOfName(o.output)) return *named;
    // A transparent picture keeps its transparency, and a kind the window
    // cannot read is for a toolkit; the window's kinds give the window's BMP.
    if (s.preset || facts.transparent || !facts.windowKind) return Output::Format::Png;
    return Output::Format::Bmp;
}

// The parameters as the window's boxes would give them; the plan repairs them.
KnobParams parameters(const Options& o, const Settings& s, const ScaledSize& size) {
    KnobParams p;
    p.FrameCount = o.frames ? ToFrameCount(*o.frames) : s.frames;
    // A picture drawn larger takes its given radius along.
    p.RotRadius = ToFloat32(o.radius ? *o.radius * size.scale : size.width / 2.0);
    p.RotAngle = s.step ? ToFloat32(*s.step) : 0.0f;
    p.StartAngle = ToFloat32(s.start);
    return p;
}

// The largest odd count whose strip stays within the texture limit, for
// frames of `side` pixels along the strip; nothing when not even three do.
std::optional<int32_t> oddCountWithin(int64_t side) {
    if (side < 1) return std::nullopt;
    const int64_t most = kTextureLimit / side;
    const int64_t odd = most % 2 == 1 ? most : most - 1;
    if (odd < 3) return std::nullopt;
    return static_cast<int32_t>(std::min<int64_t>(odd, INT32_MAX));
}

// A toolkit's frame count is not the user's: where its strip would pass
// the texture limit, the largest odd count within it is taken instead, for
// every scale alike (measured at the largest).
std::optional<int32_t> framesWithinTexture(const Options& o, const Settings& s,
                                           const PictureFacts& facts, const StripLayout& layout) {
    if (!s.preset || o.frames || s.layout.frameFiles || layout.kind() == StripLayout::Kind::Grid)
        return std::nullopt;
    const ScaledSize& largest = facts.sizes.back();
    const int64_t side =
        layout.kind() == StripLayout::Kind::Vertical ? largest.height : largest.width;
    if (int64_t{s.frames} * side <= kTextureLimit) return std::nullopt;
    const auto within = oddCountWithin(side);
    if (within && *within < s.frames) return within;
    return std::nullopt;
}

void buildStrips(PicturePlan& plan, const Options& o, const Settings& s, const PictureFacts& facts,
                 const StripLayout& layout, std::optional<int32_t> frames, bool limitVertical) {
    plan.strips.clear();
    for (const ScaledSize& size : facts.sizes) {
        KnobParams p = parameters(o, s, size);
        if (frames) p.FrameCount = *frames;
        plan.strips.push_back(
            BuildStrip(layout, size.width, size.height, p, {s.sweep, limitVertical}));
    }
}

// Where the toolkit named would play the strip wrong, or not at all.
void toolkitWarnings(const Options& o, const Settings& s, const PicturePlan& plan,
                     const PictureFacts& facts, std::vector<Message>& warnings) {
    const Toolkit* toolkit = o.toolkit;
    if (toolkit == nullptr) return;
    const QString name = QString::fromLatin1(toolkit->title);
    const ToolkitRules& rules = toolkit->rules;
    if (!rules.readsBmp && plan.format == Output::Format::Bmp)
        warnings.push_back({.code = MessageCode::ToolkitReadsNoBmp, .subject = name});
    if (rules.verticalOnly &&
        (s.layout.frameFiles || s.layout.strip.kind() != StripLayout::Kind::Vertical))
        warnings.push_back({.code = MessageCode::ToolkitVerticalOnly, .subject = name});
    if (rules.squareFrames && !o.square && facts.squared)
        warnings.push_back({.code = MessageCode::ToolkitSquaresFrames, .subject = name});
    if (rules.largestWholeScale > 0 && s.namedScales)
        for (const double scale : s.scales)
            if (scale != std::floor(scale) || scale > rules.largestWholeScale)
                warnings.push_back(
                    {.code = MessageCode::ToolkitScaleNotFound,
                     .subject = name,
                     .value = ScaleSuffix(scale, s.naming),
                     .facts = {{Fact::High, Decimal{double(rules.largestWholeScale)}}}});
}

std::vector<Message> warningsOf(const Options& o, const Settings& s, const PicturePlan& plan,
                                const PictureFacts& facts) {
    std::vector<Message> warnings;
    const StripBuild& first = plan.strips.front();
    const int32_t frames = first.params.FrameCount;
    if (first.loweredFrames) warnings.push_back({.code = MessageCode::VerticalTooLarge});
    if (s.preset && !o.frames && !first.loweredFrames && frames < s.frames)
        warnings.push_back({.code = MessageCode::PresetFramesFit,
                            .facts = {{Fact::Frames, frames},
                                      {Fact::OtherFrames, s.frames},
                                      {Fact::MaxSide, kTextureLimit}}});
    if (facts.paddedWidth != 0)
        warnings.push_back({.code = MessageCode::PaddedForScales,
                            .facts = {{Fact::Width, facts.unpaddedWidth},
                                      {Fact::Height, facts.unpaddedHeight},
                                      {Fact::WantedWidth, facts.paddedWidth},
                                      {Fact::WantedHeight, facts.paddedHeight}}});
    if (s.addedOneX) warnings.push_back({.code = MessageCode::OneXAdded});
    if (o.frames && !first.loweredFrames && *o.frames != frames)
        warnings.push_back({.code = MessageCode::FramesRepaired,
                            .facts = {{Fact::Given, *o.frames}, {Fact::Frames, frames}}});
    if (o.radius && *o.radius < 0.0)
        warnings.push_back(
            {.code = MessageCode::RadiusRepaired,
             .facts = {{Fact::Given, *o.radius}, {Fact::Radius, first.params.RotRadius}}});
    if (first.params.RotRadius == 0.0f) warnings.push_back({.code = MessageCode::RadiusIsZero});
    const ScaledSize& size = facts.sizes.front();
    if (size.width != size.height)
        warnings.push_back({.code = MessageCode::FramesNotSquare,
                            .facts = {{Fact::Width, size.width}, {Fact::Height, size.height}}});
    int64_t longest = 0;
    for (const StripBuild& strip : plan.strips)
        longest = std::max({longest, strip.size.X, strip.size.Y});
    if (!s.layout.frameFiles && longest > kTextureLimit) {
        Message over{.code = MessageCode::StripOverTextureLimit,
                     .facts = {{Fact::Side, longest}, {Fact::MaxSide, kTextureLimit}}};
        // How many frames of the largest scale would stay within it.
        const ScaledSize& largest = facts.sizes.back();
        const auto kind = s.layout.strip.kind();
        const int64_t side = kind == StripLayout::Kind::Vertical     ? largest.height
                             : kind == StripLayout::Kind::Horizontal ? largest.width
                                                                     : 0;
        if (const auto within = oddCountWithin(side)) over.facts.set(Fact::Frames, *within);
        warnings.push_back(over);
    }
    // Angles are degrees; an arc of a few is likely radians typed as degrees.
    const double arc = plan.facts.endAngle() - static_cast<double>(plan.facts.startAngle);
    if (frames > 1 && (o.sweep || o.end || o.angle) && arc != 0.0 && std::abs(arc) < 10.0)
        warnings.push_back(
            {.code = MessageCode::DegreesNotRadians, .facts = {{Fact::Angle, Decimal{arc, 2}}}});
    // A toolkit's arc is symmetric; an even count puts no frame at its middle.
    const auto start = static_cast<double>(plan.facts.startAngle);
    if (s.preset && frames > 1 && frames % 2 == 0 &&
        std::abs(start + plan.facts.endAngle()) < 1e-3) {
        const double below = start + static_cast<double>(plan.facts.stepAngle) * (frames / 2 - 1);
        warnings.push_back({.code = MessageCode::NoCentreFrame,
                            .facts = {{Fact::Frames, frames},
                                      {Fact::OtherFrames, frames + 1},
                                      {Fact::Below, Decimal{below, 2}},
                                      {Fact::Above, Decimal{-below, 2}}}});
    }
    toolkitWarnings(o, s, plan, facts, warnings);
    if (facts.transparent && plan.format == Output::Format::Bmp && !o.background)
        warnings.push_back({.code = MessageCode::TransparencyOnGrey,
                            .facts = {{Fact::Colour, ColourText(Pictures::kBoxBackground)}}});
    return warnings;
}

// The stack as the manifest tells it, and how the strip is played: a knob,
// or a slider along the way its picture slides.
void describeStack(const Settings& s, const PictureFacts& facts, const QString& picture,
                   Output::StripFacts& f) {
    for (std::size_t k = 0; k < s.layers.size(); ++k) {
        const LayerEntry& layer = s.layers[k];
        Output::LayerFacts& described = f.layers.emplace_back();
        described.file = nameOf(layer.picture ? picture : layer.file);
        described.motion = QString::fromLatin1(layer.arc ? "arc" : MotionName(layer.motion));
        const QPointF at = k < facts.layersAt.size() ? facts.layersAt[k] : QPointF();
        described.fromX = at.x();
        described.fromY = at.y();
        described.drawn = k < facts.layersDrawn.size() && facts.layersDrawn[k];
        switch (layer.motion) {
            case LayerMotion::Turn:
                described.from = layer.turnStart.value_or(static_cast<double>(f.startAngle));
                described.to = layer.turnEnd.value_or(f.endAngle());
                break;
            case LayerMotion::Fade:
                described.from = layer.fadeFrom;
                described.to = layer.fadeTo;
                break;
            case LayerMotion::Slide:
                described.toX = layer.slideTo.value_or(at).x();
                described.toY = layer.slideTo.value_or(at).y();
                break;
            case LayerMotion::Still:
                break;
        }
        if (layer.arc) {
            described.from = static_cast<double>(f.startAngle);
            described.to = f.endAngle();
        }
        if (!layer.picture || layer.motion != LayerMotion::Slide) continue;
        const double dx = described.toX - described.fromX, dy = described.toY - described.fromY;
        using C = Output::Control;
        f.control = std::abs(dx) >= std::abs(dy) ? (dx >= 0 ? C::SliderRight : C::SliderLeft)
                                                 : (dy < 0 ? C::SliderUp : C::SliderDown);
        f.travel = std::max(std::abs(dx), std::abs(dy));
    }
}

// Frame files are numbered with a fixed width: at least four digits.
QString frameNumber(int32_t n, int32_t last) {
    const int digits = std::max<int>(4, static_cast<int>(QString::number(last).size()));
    return QStringLiteral("%1").arg(n, digits, 10, QLatin1Char('0'));
}

}  // namespace

bool OutputIsFolder(const Options& o, bool folderThere) {
    // A name without an ending is a folder too, made when it is missing: a
    // strip file always has its format's ending.
    return !o.output.isEmpty() && !writesToStandardOutput(o) &&
           (o.output.endsWith(kSeparator) || folderThere || endingOf(o.output).isEmpty());
}

std::optional<Message> CheckOutput(const Options& o, const Settings& s, bool outputIsFolder) {
    if (auto clash = sideAgainstLayout(o, s)) return clash;
    if (auto clash = embedAgainstLayout(o, s)) return clash;
    if (!o.embed.isEmpty() && o.pictures.size() > 1)
        return Message{.code = MessageCode::EmbedOnePicture, .subject = o.embed};
    if (o.watch && o.pictures.contains(QStringLiteral("-")))
        return exclude(optionName(OptionId::Watch), QStringLiteral("-"));
    // A run that only names its files writes no dependency file either.
    if (o.listOutputs && !o.depfile.isEmpty())
        return exclude(optionName(OptionId::ListOutputs), optionName(OptionId::Depfile));
    if (o.output.isEmpty() || outputIsFolder) return std::nullopt;
    if (o.pictures.size() > 1)
        return Message{.code = MessageCode::OutputMustBeFolder, .subject = o.output};
    if (writesToStandardOutput(o)) {
        const QString other = besideStandardOutput(o, s);
        if (!other.isEmpty())
            return exclude(optionName(OptionId::Output) + QStringLiteral(" -"), other);
        return std::nullopt;
    }
    const QString ending = endingOf(o.output);
    const auto named = Output::FormatOfName(o.output);
    if (!ending.isEmpty() && !named) {
        QStringList formats;
        for (const Output::FormatRow& row : Output::Formats())
            formats << QStringLiteral("%1 (%2)").arg(QLatin1String(row.title),
                                                     QLatin1String(row.ending));
        return Message{.code = MessageCode::OutputEndingUnknown,
                       .subject = o.output,
                       .facts = {{Fact::Formats, formats}}};
    }
    if (o.format && named && *named != *o.format)
        return Message{.code = MessageCode::OutputFormatMismatch,
                       .subject = o.output,
                       .value = QString::fromLatin1(Output::Ending(*o.format) + 1)};
    return std::nullopt;
}

QString StripBase(const Options& o, const Settings& s, bool outputIsFolder,
                  const QString& picture) {
    if (writesToStandardOutput(o)) return o.output;
    const QString name = NativePath::Decode(QByteArray::fromStdString(Output::SeqName(
        NativePath::Encode(pictureBase(picture)).toStdString(), letterOf(s.layout))));
    if (o.output.isEmpty()) return inFolder(folderOf(picture), name);
    if (outputIsFolder) return inFolder(o.output, name);
    return o.output.chopped(Output::FormatOfName(o.output) ? endingOf(o.output).size() : 0);
}

bool RasterScaling::padded() const {
    return paddedWidth != width || paddedHeight != height;
}

namespace {

// The smallest logical side from `from` up that every scale turns into whole
// pixels, if one lies within a few pixels; else nothing.
std::optional<int> dividedSide(int from, const std::vector<double>& scales) {
    const auto whole = [](double v) { return std::abs(v - std::nearbyint(v)) < 1e-6; };
    for (int side = from; side <= from + 8; ++side)
        if (std::all_of(scales.begin(), scales.end(), [&](double s) { return whole(side * s); }))
            return side;
    return std::nullopt;
}

int scaledSide(double logical, double scale) {
    return std::max(1, static_cast<int>(std::nearbyint(std::nearbyint(logical) * scale)));
}

}  // namespace

std::variant<RasterScaling, Message> RasterSizes(const Options& o, const Settings& s, int width,
                                                 int height, const QString& name) {
    if (!s.namedScales && o.scale != 1.0)
        return Message{.code = MessageCode::RasterNotScaled, .subject = name};
    RasterScaling scaling{{}, width, height, width, height};
    // The logical size: --size for the longer side, else what the largest
    // scale leaves of the picture.
    double lw = width, lh = height;
    if (o.size) {
        const double longer = std::max(width, height);
        lw = width * *o.size / longer;
        lh = height * *o.size / longer;
    } else {
        lw /= s.scales.back();
        lh /= s.scales.back();
    }
    const double largest = s.scales.back();
    const bool upscale = scaledSide(lw, largest) > width || scaledSide(lh, largest) > height;
    if (upscale && !o.size) {
        // A picture a pixel or two short of what every scale divides lies on
        // a margin instead.
        const auto dw = dividedSide(static_cast<int>(std::ceil(width / largest - 1e-9)), s.scales);
        const auto dh = dividedSide(static_cast<int>(std::ceil(height / largest - 1e-9)), s.scales);
        if (dw && dh) {
            lw = *dw;
            lh = *dh;
            scaling.paddedWidth = static_cast<int>(std::nearbyint(*dw * largest));
            scaling.paddedHeight = static_cast<int>(std::nearbyint(*dh * largest));
        }
    }
    for (const double scale : s.scales) {
        const ScaledSize size{scale, scaledSide(lw, scale), scaledSide(lh, scale)};
        if (size.width > scaling.paddedWidth || size.height > scaling.paddedHeight)
            return Message{.code = MessageCode::RasterNotEnlarged,
                           .subject = name,
                           .facts = {{Fact::Width, width},
                                     {Fact::Height, height},
                                     {Fact::WantedWidth, size.width},
                                     {Fact::WantedHeight, size.height}}};
        scaling.sizes.push_back(size);
    }
    return scaling;
}

PicturePlan PlanPicture(const Options& o, const Settings& s, bool outputIsFolder,
                        const QString& picture, const PictureFacts& facts) {
    PicturePlan plan;
    plan.format = formatOf(o, s, outputIsFolder, facts);
    plan.formatFollowsPicture =
        !o.format && !s.preset && facts.windowKind &&
        (o.output.isEmpty() || outputIsFolder || !Output::FormatOfName(o.output));
    if (const auto clash = embedAgainstLayout(o, s)) {
        plan.refusal = *clash;
        return plan;
    }
    const bool bmp = plan.format == Output::Format::Bmp;
    // Transparency is kept in a PNG strip, or laid over --background, or
    // over the window's grey for a BMP.
    // A margin --square added is clear where the strip keeps transparency,
    // else it takes the same colour.
    const bool clear = facts.transparent || facts.padded;
    plan.alpha = !bmp && !o.background && clear;
    if (clear && !plan.alpha) plan.lay = o.background.value_or(Pictures::kBoxBackground);
    const StripLayout layout = s.layout.frameFiles ? StripLayout::Horizontal() : s.layout.strip;
    const std::optional<int32_t> fitted = framesWithinTexture(o, s, facts, layout);
    buildStrips(plan, o, s, facts, layout, fitted, bmp);
    // A BMP strip too tall is lowered at each scale to what the largest
    // allows: every scale of one picture has the same frames.
    const auto fewest = std::min_element(plan.strips.begin(), plan.strips.end(),
                                         [](const StripBuild& a, const StripBuild& b) {
                                             return a.params.FrameCount < b.params.FrameCount;
                                         });
    if (fewest->loweredFrames) {
        const int32_t frames = fewest->params.FrameCount;
        buildStrips(plan, o, s, facts, layout, frames, false);
        for (StripBuild& strip : plan.strips) strip.loweredFrames = frames;
    }
    for (const StripBuild& strip : plan.strips) {
        // Frame files are each a picture of one frame's size.
        if (!strip.fits && !s.layout.frameFiles) {
            plan.refusal = {.code = MessageCode::StripTooLarge,
                            .facts = {{Fact::Width, strip.size.X},
                                      {Fact::Height, strip.size.Y},
                                      {Fact::MaxPixels, kMaxStripPixels}}};
            return plan;
        }
    }
    // Together they are held to what one strip may be, and to a count of files.
    if (s.layout.frameFiles) {
        int64_t files = 0, pixels = 0;
        for (const StripBuild& strip : plan.strips) {
            files += strip.params.FrameCount;
            pixels += strip.size.X * strip.size.Y;
        }
        if (files > kMaxFrameFiles || pixels > kMaxStripPixels) {
            plan.refusal = {.code = MessageCode::TooManyFrameFiles,
                            .facts = {{Fact::Files, files},
                                      {Fact::Pixels, pixels},
                                      {Fact::MaxFiles, kMaxFrameFiles},
                                      {Fact::MaxPixels, kMaxStripPixels}}};
            return plan;
        }
    }
    const KnobParams& params = plan.strips.front().params;
    const QString base = StripBase(o, s, outputIsFolder, picture);
    // A file named by -o keeps the ending it was given; standard output has none.
    const QString ending = writesToStandardOutput(o) ? QString()
                           : !o.output.isEmpty() && !outputIsFolder
                               ? endingOf(o.output)
                               : QString::fromLatin1(Output::Ending(plan.format));
    Output::StripFacts& f = plan.facts;
    f.name = pictureBase(picture);
    f.frames = params.FrameCount;
    f.layout = layout;
    f.startAngle = params.StartAngle;
    f.stepAngle = params.RotAngle;
    f.routine = s.routine;
    f.alpha = plan.alpha;
    f.format = plan.format;
    f.firstNumber = o.firstNumber;
    if (o.toolkit != nullptr) f.preset = QString::fromLatin1(o.toolkit->name);
    f.drawn = facts.drawn;
    describeStack(s, facts, picture, f);
    std::vector<QString> bases;
    const int32_t last = o.firstNumber + f.frames - 1;
    for (std::size_t k = 0; k < facts.sizes.size(); ++k) {
        const ScaledSize& size = facts.sizes[k];
        const QString suffix = s.namedScales ? ScaleSuffix(size.scale, s.naming) : QString();
        bases.push_back(base + suffix);
        const StripBuild& strip = plan.strips[k];
        Output::ScaledStrip& described = f.strips.emplace_back(
            Output::ScaledStrip{nameOf(bases.back()) + ending, size.scale, size.width, size.height,
                                strip.size.X, strip.size.Y, strip.params.RotRadius});
        if (!s.layout.frameFiles) continue;
        // Frame files: "<base>_0001@2x.png", each as large as a frame.
        described.width = size.width;
        described.height = size.height;
        for (int32_t n = o.firstNumber; n <= last; ++n)
            described.frameFiles << nameOf(base) + '_' + frameNumber(n, last) + suffix + ending;
    }
    plan.warnings = warningsOf(o, s, plan, facts);
    const auto text = [&](const QString& path, QByteArray bytes, Output::SideFile side,
                          MessageCode what) {
        plan.jobs.push_back({.kind = Job::Kind::Text,
                             .path = path,
                             .text = std::move(bytes),
                             .side = side,
                             .what = what});
    };
    for (const Output::SideFileRow& row : Output::SideFileTable()) {
        if (!s.sides.has(row.file)) continue;
        const QString sideEnding = QString::fromLatin1(row.ending);
        if (row.holdsStrips != nullptr) {
            plan.jobs.push_back({.kind = Job::Kind::HoldsStrips,
                                 .path = base + sideEnding,
                                 .side = row.file,
                                 .what = row.what});
            continue;
        }
        // What a page says, it says in the command line's language.
        for (std::size_t k = 0; k < (row.perScale ? bases.size() : 1); ++k)
            text((row.perScale ? bases[k] : base) + sideEnding, row.text(f, k, o.language),
                 row.file, row.what);
    }
    if (!o.embed.isEmpty()) {
        plan.jobs.push_back(
            {.kind = Job::Kind::Embedding, .path = o.embed, .what = MessageCode::SideEmbedSource});
        text(EmbedHeader(o.embed), Output::CDeclarations(f, o.embedNamespace.toLatin1()),
             SideFile::Header, MessageCode::SideEmbedHeader);
    }
    if (o.animation) plan.jobs.push_back({.kind = Job::Kind::Animation, .path = base + ".apng"});
    for (std::size_t k = 0; k < bases.size(); ++k) {
        if (!s.layout.frameFiles) {
            plan.jobs.push_back({.kind = Job::Kind::Strip,
                                 .path = bases[k] + ending,
                                 .scale = k,
                                 .size = plan.strips[k].size});
            continue;
        }
        const QStringList& files = f.strips[k].frameFiles;
        for (int32_t i = 1; i <= f.frames; ++i)
            plan.jobs.push_back({.kind = Job::Kind::Frame,
                                 .path = inFolder(folderOf(base), files[i - 1]),
                                 .scale = k,
                                 .frame = i,
                                 .size = {f.strips[k].frameWidth, f.strips[k].frameHeight}});
    }
    if (const QString shared = sharedName(plan.jobs); !shared.isEmpty())
        plan.refusal = {.code = MessageCode::FilesShareName, .subject = shared};
    return plan;
}

QString EmbedHeader(const QString& source) {
    return source.left(source.lastIndexOf('.')) + QStringLiteral(".h");
}

}  // namespace Plan
