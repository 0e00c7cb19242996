#include "picture_plan.h"

#include <algorithm>
#include <cmath>

#include "catalog.h"
#include "commands.h"
#include "leading_number.h"
#include "native_path.h"
#include "option_table.h"
#include "picture_io.h"
#include "side_files.h"

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
    const Output::SideFileSet describing =
        Output::DescribingLayout(grid, s.layout.frameFiles);
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

std::vector<Message> warningsOf(const Options& o, const Settings& s, const PicturePlan& plan,
                                const PictureFacts& facts) {
    std::vector<Message> warnings;
    const StripBuild& first = plan.strips.front();
    const int32_t frames = first.params.FrameCount;
    if (first.loweredFrames) warnings.push_back({.code = MessageCode::VerticalTooLarge});
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
    if (!s.layout.frameFiles && longest > kTextureLimit)
        warnings.push_back({.code = MessageCode::StripOverTextureLimit,
                            .facts = {{Fact::Side, longest}, {Fact::MaxSide, kTextureLimit}}});
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
    if (facts.transparent && plan.format == Output::Format::Bmp && !o.background)
        warnings.push_back({.code = MessageCode::TransparencyOnGrey,
                            .facts = {{Fact::Colour, ColourText(Pictures::kBoxBackground)}}});
    return warnings;
}

// Frame files are numbered with a fixed width: at least four digits.
QString frameNumber(int32_t n, int32_t last) {
    const int digits = std::max<int>(4, static_cast<int>(QString::number(last).size()));
    return QStringLiteral("%1").arg(n, digits, 10, QLatin1Char('0'));
}

}  // namespace

bool OutputIsFolder(const Options& o, bool folderThere) {
    return !o.output.isEmpty() && !writesToStandardOutput(o) &&
           (o.output.endsWith(kSeparator) || folderThere);
}

std::optional<Message> CheckOutput(const Options& o, const Settings& s, bool outputIsFolder) {
    if (auto clash = sideAgainstLayout(o, s)) return clash;
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

std::variant<std::vector<ScaledSize>, Message> RasterSizes(const Options& o, const Settings& s,
                                                           int width, int height,
                                                           const QString& name) {
    if (!s.namedScales && o.scale != 1.0)
        return Message{.code = MessageCode::RasterNotScaled, .subject = name};
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
    std::vector<ScaledSize> sizes;
    for (const double scale : s.scales) {
        const auto side = [scale](double logical) {
            return std::max(1, static_cast<int>(std::nearbyint(std::nearbyint(logical) * scale)));
        };
        const ScaledSize size{scale, side(lw), side(lh)};
        if (size.width > width || size.height > height)
            return Message{.code = MessageCode::RasterNotEnlarged,
                           .subject = name,
                           .facts = {{Fact::Width, width},
                                     {Fact::Height, height},
                                     {Fact::WantedWidth, size.width},
                                     {Fact::WantedHeight, size.height}}};
        sizes.push_back(size);
    }
    return sizes;
}

PicturePlan PlanPicture(const Options& o, const Settings& s, bool outputIsFolder,
                        const QString& picture, const PictureFacts& facts) {
    PicturePlan plan;
    plan.format = formatOf(o, s, outputIsFolder, facts);
    const bool bmp = plan.format == Output::Format::Bmp;
    // Transparency is kept in a PNG strip, or laid over --background, or
    // over the window's grey for a BMP.
    // A margin --square added is clear where the strip keeps transparency,
    // else it takes the same colour.
    const bool clear = facts.transparent || facts.padded;
    plan.alpha = !bmp && !o.background && clear;
    if (clear && !plan.alpha) plan.lay = o.background.value_or(Pictures::kBoxBackground);
    const StripLayout layout = s.layout.frameFiles ? StripLayout::Horizontal() : s.layout.strip;
    for (const ScaledSize& size : facts.sizes) {
        plan.strips.push_back(
            BuildStrip(layout, size.width, size.height, parameters(o, s, size), {s.sweep, bmp}));
        const StripBuild& strip = plan.strips.back();
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
    f.routine = o.routine;
    f.alpha = plan.alpha;
    f.format = plan.format;
    f.firstNumber = o.firstNumber;
    std::vector<QString> bases;
    const int32_t last = o.firstNumber + f.frames - 1;
    for (std::size_t k = 0; k < facts.sizes.size(); ++k) {
        const ScaledSize& size = facts.sizes[k];
        const QString suffix = s.namedScales ? ScaleSuffix(size.scale, s.naming) : QString();
        bases.push_back(base + suffix);
        const StripBuild& strip = plan.strips[k];
        Output::ScaledStrip& described = f.strips.emplace_back(Output::ScaledStrip{
            nameOf(bases.back()) + ending, size.scale, size.width, size.height, strip.size.X,
            strip.size.Y, strip.params.RotRadius});
        if (!s.layout.frameFiles) continue;
        // Frame files: "<base>_0001@2x.png", each as large as a frame.
        described.width = size.width;
        described.height = size.height;
        for (int32_t n = o.firstNumber; n <= last; ++n)
            described.frameFiles << nameOf(base) + '_' + frameNumber(n, last) + suffix + ending;
    }
    plan.warnings = warningsOf(o, s, plan, facts);
    const auto text = [&](const QString& path, QByteArray bytes) {
        plan.jobs.push_back({.kind = Job::Kind::Text, .path = path, .text = std::move(bytes)});
    };
    for (const Output::SideFileRow& row : Output::SideFileTable()) {
        if (!s.sides.has(row.file)) continue;
        const QString sideEnding = QString::fromLatin1(row.ending);
        if (row.fromStrips != nullptr) {
            plan.jobs.push_back(
                {.kind = Job::Kind::FromStrips, .path = base + sideEnding, .side = row.file});
            continue;
        }
        // What a page says, it says in the command line's language.
        for (std::size_t k = 0; k < (row.perScale ? bases.size() : 1); ++k)
            text((row.perScale ? bases[k] : base) + sideEnding, row.text(f, k, o.language));
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
    return plan;
}

}  // namespace Plan
