#include "cli_options.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>

#include "build_rules.h"

namespace StripCli {

namespace {

// Options that take a value: the value is the next argument, whatever it
// looks like, or follows "=".
const QStringList kValued{"--frames",     "--radius",   "--angle", "--start",
                          "--sweep",      "--size",     "--scale", "--format",
                          "--background", "--max-size", "-o",      "--output"};

std::optional<UsageError> usage(const QString& text) {
    return UsageError{text};
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

std::optional<UsageError> setText(Options& o, const QString& name, const QString& value) {
    if (name == "--format") {
        const QString f = value.toLower();
        if (f != "png" && f != "bmp")
            return usage(QStringLiteral("--format erwartet png oder bmp, nicht '%1'.").arg(value));
        o.format = f == "png" ? OutputFormat::Png : OutputFormat::Bmp;
    } else if (name == "--background") {
        o.background = parseColour(value);
        if (!o.background)
            return usage(QStringLiteral("--background erwartet R,G,B mit ganzen Zahlen von 0 bis "
                                        "255, nicht '%1'.")
                             .arg(value));
    } else {
        if (value.isEmpty())
            return usage(QStringLiteral("-o braucht einen Datei- oder Ordnernamen."));
        o.output = value;
    }
    return std::nullopt;
}

std::optional<UsageError> setNumber(Options& o, const QString& name, double number) {
    if (name == "--frames") o.frames = number;
    if (name == "--radius") o.radius = number;
    if (name == "--angle") o.angle = number;
    if (name == "--start") o.start = number;
    if (name == "--sweep") o.sweep = number;
    if (name == "--max-size" || name == "--size") {
        if (!wholeInRange(number, 1, kMaxMaxSize))
            return usage(QStringLiteral("%1 erwartet eine ganze Zahl von 1 bis %2.")
                             .arg(name)
                             .arg(kMaxMaxSize));
        if (name == "--size") o.size = static_cast<int>(number);
        if (name == "--max-size") o.maxSize = static_cast<int>(number);
    }
    if (name == "--scale") {
        if (!(number > 0.0 && number <= kMaxScale))
            return usage(
                QStringLiteral("--scale erwartet eine Zahl über 0 bis %1.").arg(kMaxScale));
        o.scale = number;
    }
    return std::nullopt;
}

std::optional<UsageError> setValue(Options& o, const QString& name, const QString& value) {
    if (name == "--format" || name == "--background" || name == "-o" || name == "--output")
        return setText(o, name, value);
    const auto number = StrictNumber(value);
    if (!number)
        return usage(QStringLiteral("%1 erwartet eine Zahl, nicht '%2'.").arg(name, value));
    return setNumber(o, name, *number);
}

std::optional<UsageError> checkCombination(const Options& o, bool horizontal, bool vertical) {
    if (horizontal && vertical)
        return usage(QStringLiteral("--horizontal und --vertical schliessen sich aus."));
    if (o.angle && o.sweep)
        return usage(QStringLiteral(
            "--angle und --sweep schliessen sich aus: --sweep bestimmt den Winkel je Einzelbild."));
    if (!o.help && o.pictures.isEmpty()) return usage(QStringLiteral("Kein Bild angegeben."));
    return std::nullopt;
}

}  // namespace

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

std::variant<Options, UsageError> ParseArguments(const QStringList& arguments) {
    Options o;
    bool horizontal = false, vertical = false, onlyPictures = false;
    for (int k = 0; k < arguments.size(); ++k) {
        const QString& arg = arguments[k];
        const QString name = arg.section('=', 0, 0);
        if (onlyPictures || !arg.startsWith('-') || arg.size() == 1) {
            o.pictures << arg;
        } else if (arg == "--") {
            onlyPictures = true;
        } else if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (kValued.contains(name)) {
            QString value;
            if (arg.contains('=')) {
                value = arg.section('=', 1);
            } else if (k + 1 < arguments.size()) {
                value = arguments[++k];
            } else {
                return UsageError{QStringLiteral("%1 braucht einen Wert.").arg(arg)};
            }
            if (auto error = setValue(o, name, value)) return *error;
        } else if (arg == "--horizontal") {
            horizontal = true;
        } else if (arg == "--vertical") {
            vertical = true;
        } else if (arg == "--nearest") {
            o.nearest = true;
        } else if (arg == "--manifest") {
            o.manifest = true;
        } else {
            return UsageError{QStringLiteral("Unbekannte Option '%1'.").arg(arg)};
        }
    }
    if (auto error = checkCombination(o, horizontal, vertical)) return *error;
    if (vertical) o.orientation = StripOrientation::Vertical;
    return o;
}

}  // namespace StripCli
