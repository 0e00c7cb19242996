#include "cli_options.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>

#include "option_table.h"

namespace StripCli {

namespace {

using enum OptionId;
using M = MessageCode;

constexpr OptionSpec kOptions[] = {
    {Frames, "--frames", nullptr, "N", M::None, nullptr, M::HelpFrames, 0},
    {Radius, "--radius", nullptr, "R", M::None, nullptr, M::HelpRadius, 0},
    {Angle, "--angle", nullptr, "A", M::None, nullptr, M::HelpAngle, 1},
    {Start, "--start", nullptr, "W", M::None, nullptr, M::HelpStart, 0},
    {Sweep, "--sweep", nullptr, "S", M::None, nullptr, M::HelpSweep, 1},
    {Horizontal, "--horizontal", nullptr, nullptr, M::None, nullptr, M::HelpHorizontal, 2},
    {Vertical, "--vertical", nullptr, nullptr, M::None, nullptr, M::HelpVertical, 2},
    {Nearest, "--nearest", nullptr, nullptr, M::None, nullptr, M::HelpNearest, 0},
    {MaxSize, "--max-size", nullptr, "N", M::None, nullptr, M::HelpMaxSize, 0},
    {Size, "--size", nullptr, "N", M::None, nullptr, M::HelpSize, 0},
    {Scale, "--scale", nullptr, "K", M::None, nullptr, M::HelpScale, 0},
    {Background, "--background", nullptr, "R,G,B", M::None, nullptr, M::HelpBackground, 0},
    {Format, "--format", nullptr, "F", M::None, "png|bmp", M::HelpFormat, 0},
    {Compression, "--compression", nullptr, "C", M::None, "fast|default|small", M::HelpCompression,
     0},
    {Manifest, "--manifest", nullptr, nullptr, M::None, nullptr, M::HelpManifest, 0},
    {Output, "-o", "--output", "", M::UsageOutputName, nullptr, M::HelpOutput, 0},
    {Help, "--help", "-h", nullptr, M::None, nullptr, M::None, 0},
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

std::optional<Message> setText(Options& o, OptionId id, const QString& value) {
    if (id == Format) {
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

std::optional<Message> setNumber(Options& o, const OptionSpec& spec, double number) {
    switch (spec.id) {
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
        case MaxSize:
        case Size:
            if (!wholeInRange(number, 1, kMaxMaxSize)) {
                Message m = usage(M::WholeNumberExpected, QString::fromLatin1(spec.name));
                m.numbers[0] = kMaxMaxSize;
                return m;
            }
            if (spec.id == Size)
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

std::optional<Message> setValue(Options& o, const OptionSpec& spec, const QString& value) {
    if (spec.id == Format || spec.id == Compression || spec.id == Background || spec.id == Output)
        return setText(o, spec.id, value);
    const auto number = StrictNumber(value);
    if (!number) return usage(M::NotANumber, QString::fromLatin1(spec.name), value);
    return setNumber(o, spec, *number);
}

void setSwitch(Options& o, OptionId id) {
    if (id == Vertical) o.orientation = StripOrientation::Vertical;
    if (id == Nearest) o.nearest = true;
    if (id == Manifest) o.manifest = true;
    if (id == Help) o.help = true;
}

std::optional<Message> checkCombination(const Options& o, bool horizontal, bool vertical) {
    if (horizontal && vertical) return usage(M::OrientationsExclude);
    if (o.angle && o.sweep) return usage(M::AngleSweepExclude);
    if (!o.help && o.pictures.isEmpty()) return usage(M::NoPictureGiven);
    return std::nullopt;
}

}  // namespace

std::span<const OptionSpec> OptionTable() {
    return kOptions;
}

const OptionSpec* FindOption(const QString& name) {
    for (const OptionSpec& spec : kOptions)
        if (name == QLatin1String(spec.name) ||
            (spec.alias != nullptr && name == QLatin1String(spec.alias)))
            return &spec;
    return nullptr;
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
    bool horizontal = false, vertical = false, onlyPictures = false;
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
        const OptionSpec* spec = FindOption(name);
        if (spec == nullptr || (spec->placeholder == nullptr && name != arg))
            return usage(M::UnknownOption, arg);
        if (spec->placeholder == nullptr) {
            horizontal |= spec->id == Horizontal;
            vertical |= spec->id == Vertical;
            setSwitch(o, spec->id);
            continue;
        }
        QString value;
        if (arg.contains('=')) {
            value = arg.section('=', 1);
        } else if (k + 1 < arguments.size()) {
            value = arguments[++k];
        } else {
            return usage(M::OptionNeedsValue, arg);
        }
        if (auto error = setValue(o, *spec, value)) return *error;
    }
    if (auto error = checkCombination(o, horizontal, vertical)) return *error;
    return o;
}

}  // namespace StripCli
