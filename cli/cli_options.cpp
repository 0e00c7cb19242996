#include "cli_options.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>

#include "build_rules.h"

namespace StripCli {

namespace {

// Options that take a value: the value is the next argument, whatever it
// looks like, or follows "=".
const QStringList kValued{"--frames", "--radius", "--angle", "--max-size", "-o", "--output"};

std::optional<UsageError> setValue(Options& o, const QString& name, const QString& value) {
    if (name == "-o" || name == "--output") {
        if (value.isEmpty()) return UsageError{QStringLiteral("-o braucht einen Dateinamen.")};
        o.output = value;
        return std::nullopt;
    }
    const auto number = StrictNumber(value);
    if (!number)
        return UsageError{QStringLiteral("%1 erwartet eine Zahl, nicht '%2'.").arg(name, value)};
    if (name == "--frames") o.frames = number;
    if (name == "--radius") o.radius = number;
    if (name == "--angle") o.angle = number;
    if (name == "--max-size") {
        if (*number != std::floor(*number) || *number < 1 || *number > kMaxMaxSize)
            return UsageError{QStringLiteral("--max-size erwartet eine ganze Zahl von 1 bis %1.")
                                  .arg(kMaxMaxSize)};
        o.maxSize = static_cast<int>(*number);
    }
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
    bool horizontal = false, vertical = false;
    for (int k = 0; k < arguments.size(); ++k) {
        const QString& arg = arguments[k];
        const QString name = arg.section('=', 0, 0);
        if (arg == "--help" || arg == "-h") {
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
        } else if (arg.startsWith('-') && arg.size() > 1) {
            return UsageError{QStringLiteral("Unbekannte Option '%1'.").arg(arg)};
        } else if (o.picture.isEmpty()) {
            o.picture = arg;
        } else {
            return UsageError{QStringLiteral("Nur ein Bild, bitte: '%1' ist zu viel.").arg(arg)};
        }
    }
    if (horizontal && vertical)
        return UsageError{QStringLiteral("--horizontal und --vertical schliessen sich aus.")};
    if (vertical) o.orientation = StripOrientation::Vertical;
    if (!o.help && o.picture.isEmpty()) return UsageError{QStringLiteral("Kein Bild angegeben.")};
    return o;
}

QString UsageText() {
    return QStringLiteral(
               "Aufruf: torvelink-cli BILD [--frames N] [--radius R] [--angle A]\n"
               "                      [--horizontal | --vertical] [--nearest] [--max-size N] "
               "[-o AUSGABE]\n"
               "\n"
               "Baut aus BILD (BMP, JPEG, GIF, ICO, CUR, WMF) eine Knopf-Sequenz und speichert "
               "sie.\n"
               "\n"
               "  --frames N      Einzelbilder (Vorgabe %5; unter 1 wird 1)\n"
               "  --radius R      Rotationsradius in Pixeln (Vorgabe: halbe Bildbreite;\n"
               "                  negativ wird 1)\n"
               "  --angle A       Rotationswinkel je Einzelbild in Grad, im Uhrzeigersinn "
               "(Vorgabe %6)\n"
               "  --horizontal    Einzelbilder nebeneinander (Vorgabe)\n"
               "  --vertical      Einzelbilder untereinander, höchstens %1 Pixel hoch\n"
               "  --nearest       nächstes Pixel statt bilinearer Mischung\n"
               "  --max-size N    grösste Bildbreite und -höhe (Vorgabe %7, höchstens %2)\n"
               "  -o AUSGABE      Zieldatei (Vorgabe: <Bildname>_Seq_H.bmp bzw. _Seq_V.bmp\n"
               "                  im Ordner des Bildes); endet sie auf .png, wird PNG "
               "geschrieben\n"
               "\n"
               "Ein Streifen hat höchstens %3 Pixel und höchstens %4 Pixel je Seite.\n"
               "Rückgabe: 0 geschrieben, 1 Ein- oder Ausgabefehler, 2 falscher Aufruf.\n")
        .arg(kMaxVerticalStripHeight)
        .arg(kMaxMaxSize)
        .arg(kMaxStripPixels)
        .arg(kMaxStripSide)
        .arg(KnobParams{}.FrameCount)
        .arg(static_cast<double>(KnobParams{}.RotAngle))
        .arg(kMaxPictureSide);
}

}  // namespace StripCli
