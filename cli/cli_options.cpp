#include "cli_options.h"

#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "option_table.h"

namespace StripCli {

namespace {

using enum OptionId;
using M = MessageCode;

constexpr OptionSpec kOptions[] = {
    {For, "--for", nullptr, "", M::UsageToolkit, nullptr, M::HelpFor, 0},
    {Frames, "--frames", nullptr, "N", M::None, nullptr, M::HelpFrames, 0},
    {Radius, "--radius", nullptr, "R", M::None, nullptr, M::HelpRadius, 0},
    {Angle, "--angle", nullptr, "A", M::None, nullptr, M::HelpAngle, 1},
    {Start, "--start", nullptr, "W", M::None, nullptr, M::HelpStart, 0},
    {Sweep, "--sweep", nullptr, "S", M::None, nullptr, M::HelpSweep, 1},
    {End, "--end", nullptr, "E", M::None, nullptr, M::HelpEnd, 1},
    {Horizontal, "--horizontal", nullptr, nullptr, M::None, nullptr, M::HelpHorizontal, 2},
    {Vertical, "--vertical", nullptr, nullptr, M::None, nullptr, M::HelpVertical, 2},
    {Layout, "--layout", nullptr, "L", M::None, nullptr, M::HelpLayout, 2},
    {FirstNumber, "--first-number", nullptr, "N", M::None, nullptr, M::HelpFirstNumber, 0},
    {Nearest, "--nearest", nullptr, nullptr, M::None, nullptr, M::HelpNearest, 0},
    {MaxSize, "--max-size", nullptr, "N", M::None, nullptr, M::HelpMaxSize, 0},
    {Size, "--size", nullptr, "N", M::None, nullptr, M::HelpSize, 0},
    {Scale, "--scale", nullptr, "K", M::None, nullptr, M::HelpScale, 4},
    {Scales, "--scales", nullptr, "K,...", M::None, nullptr, M::HelpScales, 4},
    {Square, "--square", nullptr, nullptr, M::None, nullptr, M::HelpSquare, 0},
    {Background, "--background", nullptr, "R,G,B", M::None, nullptr, M::HelpBackground, 0},
    {Format, "--format", nullptr, "F", M::None, "png|bmp", M::HelpFormat, 0},
    {Compression, "--compression", nullptr, "C", M::None, "fast|default|small", M::HelpCompression,
     0},
    {Manifest, "--manifest", nullptr, nullptr, M::None, nullptr, M::HelpManifest, 0},
    {Side, "--side", nullptr, "D,...", M::None, nullptr, M::HelpSide, 0},
    {Preview, "--preview", nullptr, nullptr, M::None, nullptr, M::HelpPreview, 0},
    {Animation, "--preview-animation", nullptr, nullptr, M::None, nullptr, M::HelpAnimation, 0},
    {Output, "-o", "--output", "", M::UsageOutputName, nullptr, M::HelpOutput, 0},
    {Quiet, "-q", "--quiet", nullptr, M::None, nullptr, M::HelpQuiet, 3},
    {Verbose, "-v", "--verbose", nullptr, M::None, nullptr, M::HelpVerbose, 3},
    {Version, "--version", "-V", nullptr, M::None, nullptr, M::HelpVersion, 0},
    {Help, "--help", "-h", nullptr, M::None, nullptr, M::HelpHelp, 0},
};

Message usage(MessageCode code, QString subject = {}, QString value = {}) {
    return {.code = code, .subject = std::move(subject), .value = std::move(value)};
}

bool wholeInRange(double v, double low, double high) {
    return v == std::floor(v) && v >= low && v <= high;
}

std::optional<QRgb> parseColour(const QString& text) {
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

// The side files a name stands for, by --side's words.
struct SideName {
    const char* name;
    SideFiles files;
};
constexpr SideName kSideNames[] = {
    {"manifest", static_cast<SideFiles>(SideFile::Manifest)},
    {"kontakt", static_cast<SideFiles>(SideFile::Kontakt)},
    {"uidesc", static_cast<SideFiles>(SideFile::Uidesc)},
    {"css", static_cast<SideFiles>(SideFile::Css)},
    {"header", static_cast<SideFiles>(SideFile::Header)},
    {"none", 0},
};

std::optional<SideFiles> parseSides(const QString& text) {
    SideFiles sides = 0;
    for (const QString& word : text.split(',')) {
        const auto* side = std::find_if(std::begin(kSideNames), std::end(kSideNames),
                                        [&](const SideName& s) { return word == s.name; });
        if (side == std::end(kSideNames)) return std::nullopt;
        sides |= side->files;
    }
    return sides;
}

// "1,2", "1, 1.5, 2": each at least kMinScale and at most kMaxScale, in
// rising order, each once. A scale is kept to the six places its file name
// shows, so that two scales never share a name.
std::optional<std::vector<double>> parseScales(const QString& text) {
    std::vector<double> scales;
    for (const QString& part : text.split(',')) {
        const auto v = StrictNumber(part.trimmed());
        if (!v || !(*v >= kMinScale && *v <= kMaxScale)) return std::nullopt;
        scales.push_back(std::nearbyint(*v * 1e6) / 1e6);
    }
    std::sort(scales.begin(), scales.end());
    scales.erase(std::unique(scales.begin(), scales.end()), scales.end());
    return scales;
}

// "horizontal", "vertical", "grid:C" (C columns), "frames".
std::optional<LayoutChoice> parseLayout(const QString& text) {
    if (text == "horizontal") return LayoutChoice{StripLayout::Horizontal(), false};
    if (text == "vertical") return LayoutChoice{StripLayout::Vertical(), false};
    if (text == "frames") return LayoutChoice{StripLayout::Horizontal(), true};
    if (!text.startsWith("grid:")) return std::nullopt;
    const auto columns = StrictNumber(text.mid(5));
    if (!columns || !wholeInRange(*columns, 1, 65535)) return std::nullopt;
    return LayoutChoice{StripLayout::Grid(static_cast<int32_t>(*columns)), false};
}

std::optional<Message> setText(Options& o, OptionId id, const QString& value) {
    if (id == For) {
        o.toolkit = FindToolkit(value);
        if (o.toolkit == nullptr) {
            Message m = usage(M::ToolkitExpected, {}, value);
            m.names = ToolkitNames();
            return m;
        }
    } else if (id == Side) {
        o.sides = parseSides(value.toLower());
        if (!o.sides) return usage(M::SideExpected, {}, value);
    } else if (id == Scales) {
        const auto scales = parseScales(value);
        if (!scales) {
            Message m = usage(M::ScalesExpected, {}, value);
            m.numbers[0] = static_cast<qint64>(kMaxScale);
            return m;
        }
        o.scales = *scales;
    } else if (id == Layout) {
        o.layout = parseLayout(value.toLower());
        if (!o.layout) return usage(M::LayoutExpected, {}, value);
    } else if (id == Format) {
        const QString f = value.toLower();
        if (f != "png" && f != "bmp") return usage(M::FormatExpected, {}, value);
        o.format = f == "png" ? StripFiles::Format::Png : StripFiles::Format::Bmp;
    } else if (id == Compression) {
        const QString c = value.toLower();
        if (c == "fast")
            o.compression = PngCompression::Fast;
        else if (c == "default")
            o.compression = PngCompression::Default;
        else if (c == "small")
            o.compression = PngCompression::Small;
        else
            return usage(M::CompressionExpected, {}, value);
    } else if (id == Background) {
        o.background = parseColour(value);
        if (!o.background) return usage(M::BackgroundExpected, {}, value);
    } else {
        if (value.isEmpty()) return usage(M::OutputNeedsName);
        o.output = value;
    }
    return std::nullopt;
}

std::optional<Message> setNumber(Options& o, const OptionSpec& row, double number) {
    switch (row.id) {
        case Frames:
            o.frames = number;
            break;
        case Radius:
            o.radius = number;
            break;
        case Angle:
            o.angle = number;
            break;
        case Start:
            o.start = number;
            break;
        case Sweep:
            o.sweep = number;
            break;
        case End:
            o.end = number;
            break;
        case FirstNumber:
            if (number != 0.0 && number != 1.0) return usage(M::FirstNumberExpected, {}, {});
            o.firstNumber = static_cast<int>(number);
            break;
        case MaxSize:
        case Size:
            if (!wholeInRange(number, 1, kMaxMaxSize)) {
                Message m = usage(M::WholeNumberExpected, QString::fromLatin1(row.name));
                m.numbers[0] = kMaxMaxSize;
                return m;
            }
            if (row.id == Size)
                o.size = static_cast<int>(number);
            else
                o.maxSize = static_cast<int>(number);
            break;
        case Scale:
            if (!(number > 0.0 && number <= kMaxScale)) {
                Message m = usage(M::ScaleExpected);
                m.numbers[0] = static_cast<qint64>(kMaxScale);
                return m;
            }
            o.scale = number;
            break;
        default:
            break;
    }
    return std::nullopt;
}

std::optional<Message> setValue(Options& o, const OptionSpec& row, const QString& value) {
    switch (row.id) {
        case For:
        case Side:
        case Scales:
        case Layout:
        case Format:
        case Compression:
        case Background:
        case Output:
            return setText(o, row.id, value);
        default:
            break;
    }
    const auto number = StrictNumber(value);
    if (!number) return usage(M::NotANumber, QString::fromLatin1(row.name), value);
    return setNumber(o, row, *number);
}

void setSwitch(Options& o, OptionId id) {
    if (id == Horizontal) o.layout = LayoutChoice{StripLayout::Horizontal(), false};
    if (id == Vertical) o.layout = LayoutChoice{StripLayout::Vertical(), false};
    if (id == Square) o.square = true;
    if (id == Animation) o.animation = true;
    if (id == Nearest) o.nearest = true;
    if (id == Manifest) o.manifest = true;
    if (id == Preview) o.preview = true;
    if (id == Help) o.help = true;
    if (id == Quiet) o.quiet = true;
    if (id == Verbose) o.verbose = true;
    if (id == Version) o.version = true;
}

// Options that exclude each other, given together: the first two named.
std::optional<Message> excluding(const QStringList& given) {
    if (given.size() < 2) return std::nullopt;
    if (given[0] == "--horizontal" && given[1] == "--vertical")
        return usage(M::OrientationsExclude);
    if (given[0] == "--angle" && given[1] == "--sweep") return usage(M::AngleSweepExclude);
    return usage(M::OptionsExclude, given[0], given[1]);
}

std::optional<Message> checkCombination(const Options& o, const std::vector<QStringList>& given) {
    for (const QStringList& group : given)
        if (auto error = excluding(group)) return error;
    if (!o.help && !o.version && !o.listToolkits && o.pictures.isEmpty())
        return usage(M::NoPictureGiven);
    return std::nullopt;
}

}  // namespace

std::span<const OptionSpec> OptionTable() {
    return kOptions;
}

QStringList ValueChoices(OptionId id) {
    switch (id) {
        case Format:
            return {QStringLiteral("png"), QStringLiteral("bmp")};
        case Compression:
            return {QStringLiteral("fast"), QStringLiteral("default"), QStringLiteral("small")};
        case For:
            return ToolkitNames();
        case Layout:
            return {QStringLiteral("horizontal"), QStringLiteral("vertical"),
                    QStringLiteral("grid:"), QStringLiteral("frames")};
        case Side: {
            QStringList names;
            for (const SideName& side : kSideNames) names << QString::fromLatin1(side.name);
            return names;
        }
        default:
            return {};
    }
}

const OptionSpec* FindOption(const QString& name) {
    for (const OptionSpec& row : kOptions)
        if (name == QLatin1String(row.name) ||
            (row.alias != nullptr && name == QLatin1String(row.alias)))
            return &row;
    return nullptr;
}

namespace {

// Edits (a letter put in, left out, changed or two swapped) from a to b.
qsizetype editDistance(const QString& a, const QString& b) {
    std::vector<std::vector<qsizetype>> d(
        static_cast<std::size_t>(a.size() + 1),
        std::vector<qsizetype>(static_cast<std::size_t>(b.size() + 1)));
    for (qsizetype i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (qsizetype j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (qsizetype i = 1; i <= a.size(); ++i)
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const qsizetype change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

}  // namespace

QString NearestOption(const QString& name) {
    QStringList begun;
    QString nearest;
    qsizetype best = 3;
    for (const OptionSpec& row : kOptions) {
        for (const char* option : {row.name, row.alias}) {
            if (option == nullptr || row.help == M::None) continue;
            const QString known = QString::fromLatin1(option);
            if (name.size() > 2 && known.startsWith(name)) begun << known;
            const qsizetype distance = editDistance(name, known);
            if (distance < best) {
                best = distance;
                nearest = known;
            }
        }
    }
    return begun.size() == 1 ? begun.front() : nearest;
}

std::optional<double> StrictNumber(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (!pattern.match(text).hasMatch()) return std::nullopt;
    QByteArray bytes = text.toLatin1();
    if (bytes.startsWith('+')) bytes.remove(0, 1);
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(bytes.constData(), bytes.constData() + bytes.size(), value);
    if (error != std::errc() || end != bytes.constData() + bytes.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

Parsed ParseArguments(const QStringList& arguments) {
    Options o;
    bool onlyPictures = false;
    // The options given of each group that excludes each other, in order.
    std::vector<QStringList> given(5);
    for (int k = 0; k < arguments.size(); ++k) {
        const QString& arg = arguments[k];
        if (onlyPictures || !arg.startsWith('-') || arg.size() == 1) {
            o.pictures << arg;
            continue;
        }
        if (arg == "--") {
            onlyPictures = true;
            continue;
        }
        // Options that take a value take the next argument, whatever it
        // looks like, or what follows "=".
        const QString name = arg.section('=', 0, 0);
        const OptionSpec* row = FindOption(name);
        if (row == nullptr || (row->placeholder == nullptr && name != arg))
            return usage(M::UnknownOption, arg, NearestOption(name));
        if (row->excludes > 0 && !given[row->excludes].contains(QLatin1String(row->name)))
            given[row->excludes] << QString::fromLatin1(row->name);
        if (row->placeholder == nullptr) {
            setSwitch(o, row->id);
            continue;
        }
        QString value;
        if (arg.contains('=')) {
            value = arg.section('=', 1);
        } else if (k + 1 < arguments.size()) {
            value = arguments[++k];
        } else if (row->id == For) {
            o.listToolkits = true;  // --for alone: which toolkits there are
            continue;
        } else {
            return usage(M::OptionNeedsValue, arg);
        }
        if (auto error = setValue(o, *row, value)) return *error;
    }
    if (auto error = checkCombination(o, given)) return *error;
    return o;
}

}  // namespace StripCli
