#include "side_files.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "native_path.h"
#include "preview_page.h"
#include "strip_header.h"

using namespace Engine;
using namespace Messages;
using namespace Platform;

namespace Output {

namespace {

// A number as a text file shows it: no exponent, no trailing zeros.
QByteArray number(double value) {
    QByteArray text = QByteArray::number(value, 'f', 6);
    while (text.contains('.') && (text.endsWith('0') || text.endsWith('.'))) text.chop(1);
    return text == "-0" ? "0" : text;
}

// A file beside the CSS as a relative URL of the system's bytes, so that a
// name with '#', spaces or bytes that are not UTF-8 still finds its file.
QByteArray cssUrl(const QString& file) {
    return "url(\"" + NativePath::Encode(file).toPercentEncoding() + "\")";
}

// Text in a comment that cannot end it.
QByteArray commentSafe(const QString& text) {
    return text.toUtf8().replace("*/", "* /");
}

}  // namespace

const char* LayoutName(const StripLayout& layout) {
    switch (layout.kind()) {
        case StripLayout::Kind::Horizontal:
            return "horizontal";
        case StripLayout::Kind::Vertical:
            return "vertical";
        case StripLayout::Kind::Grid:
            return "grid";
    }
    return "horizontal";
}

double Shortest(float value) {
    char digits[32] = {};
    const auto result = std::to_chars(digits, digits + sizeof digits - 1, value);
    *result.ptr = '\0';
    return std::strtod(digits, nullptr);
}

double StripFacts::endAngle() const {
    return static_cast<double>(startAngle) + static_cast<double>(stepAngle) * (frames - 1);
}

int32_t StripFacts::logicalFrameWidth() const {
    if (strips.empty()) return 0;
    return static_cast<int32_t>(std::nearbyint(strips.front().frameWidth / strips.front().scale));
}

int32_t StripFacts::logicalFrameHeight() const {
    if (strips.empty()) return 0;
    return static_cast<int32_t>(std::nearbyint(strips.front().frameHeight / strips.front().scale));
}

QByteArray Identifier(const QString& name) {
    QByteArray id;
    for (const QChar c : name) {
        const bool plain = c.unicode() < 128 && (c.isLetterOrNumber() || c == '_');
        id += plain ? static_cast<char>(c.unicode()) : '_';
    }
    if (id.isEmpty() || (id[0] >= '0' && id[0] <= '9')) id.prepend('_');
    return id;
}

QByteArray ManifestText(const StripFacts& facts, std::size_t k) {
    const ScaledStrip& strip = facts.strips.at(k);
    const auto columns = facts.layout.Columns(facts.frames);
    QJsonObject manifest{
        {"version", kManifestVersion},
        {"file", strip.file},
        {"frames", facts.frames},
        {"frameWidth", strip.frameWidth},
        {"frameHeight", strip.frameHeight},
        {"logicalFrameWidth", facts.logicalFrameWidth()},
        {"logicalFrameHeight", facts.logicalFrameHeight()},
        {"scale", strip.scale},
        {"width", static_cast<double>(strip.width)},
        {"height", static_cast<double>(strip.height)},
        {"layout", LayoutName(facts.layout)},
        {"orientation", LayoutName(facts.layout)},
        {"columns", static_cast<double>(columns)},
        {"rows", static_cast<double>(facts.layout.Rows(facts.frames))},
        {"startAngle", Shortest(facts.startAngle)},
        {"stepAngle", Shortest(facts.stepAngle)},
        {"endAngle", Shortest(static_cast<float>(facts.endAngle()))},
        {"radius", Shortest(strip.radius)},
        {"routine", facts.drawn ? "drawing" : RoutineName(facts.routine)},
        {"alpha", facts.alpha},
        // Angles are degrees, clockwise, from the picture as it is drawn:
        // pointing to 12 o'clock at 0.
        {"angleUnit", "degree"},
        {"angleDirection", "clockwise"},
        {"angleZero", "the picture as drawn, pointing up"},
        {"valueToFrame", QJsonObject{{"valueOfFirstFrame", 0},
                                     {"valueOfLastFrame", 1},
                                     {"multiplier", facts.frames - 1},
                                     {"rounding", "nearest"},
                                     {"firstFrameIndex", 0},
                                     {"formula", kValueToFrame}}},
        {"preset", facts.preset.isEmpty() ? QJsonValue() : QJsonValue(facts.preset)},
    };
    QJsonArray scales;
    for (const ScaledStrip& other : facts.strips)
        scales.append(QJsonObject{
            {"scale", other.scale},
            {"file", other.frameFiles.isEmpty() ? other.file : other.frameFiles.front()}});
    manifest["scales"] = scales;
    if (!facts.layers.empty()) {
        QJsonArray layers;
        for (const LayerFacts& layer : facts.layers) {
            QJsonObject described{{"motion", layer.motion}};
            if (!layer.file.isEmpty()) described["file"] = layer.file;
            if (layer.motion != "arc") described["at"] = QJsonArray{layer.fromX, layer.fromY};
            if (layer.motion == "turn" || layer.motion == "arc" || layer.motion == "fade") {
                described["from"] = layer.from;
                described["to"] = layer.to;
            }
            if (layer.motion == "slide") described["to"] = QJsonArray{layer.toX, layer.toY};
            if (layer.motion == "turn" || layer.motion == "slide")
                described["routine"] = layer.drawn ? "drawing" : RoutineName(facts.routine);
            layers.append(described);
        }
        manifest["layers"] = layers;
        manifest["control"] = facts.control == Control::Knob ? "knob" : "slider";
    }
    if (!strip.frameFiles.isEmpty()) {
        // One file a frame: each as large as a frame.
        for (const char* key : {"layout", "orientation"}) manifest[key] = "frames";
        manifest["file"] = strip.frameFiles.front();
        manifest["files"] = QJsonArray::fromStringList(strip.frameFiles);
        manifest["firstNumber"] = facts.firstNumber;
        manifest["columns"] = 1;
        manifest["rows"] = 1;
    }
    return QJsonDocument(manifest).toJson(QJsonDocument::Indented);
}

QByteArray KontaktText(const StripFacts& facts) {
    const bool horizontal = facts.layout.kind() == StripLayout::Kind::Horizontal;
    QByteArray text;
    const auto line = [&text](const char* key, const QByteArray& value) {
        text += key + QByteArray(": ") + value + "\r\n";
    };
    line("Has Alpha Channel", facts.alpha ? "yes" : "no");
    line("Number of Animations", QByteArray::number(facts.frames));
    line("Horizontal Animation", horizontal ? "yes" : "no");
    line("Vertical Resizable", "no");
    line("Horizontal Resizable", "no");
    line("Fixed Top", "0");
    line("Fixed Bottom", "0");
    line("Fixed Left", "0");
    line("Fixed Right", "0");
    return text;
}

QByteArray UidescText(const StripFacts& facts) {
    // VSTGUI's JSON description holds every value as a string.
    const auto text = [](auto value) { return QString::number(value); };
    const QString name = facts.name;
    const QString w = text(facts.logicalFrameWidth()), h = text(facts.logicalFrameHeight());
    const QString size = w + QStringLiteral(", ") + h;
    QJsonObject bitmaps;
    for (std::size_t k = 0; k < facts.strips.size(); ++k) {
        const ScaledStrip& strip = facts.strips[k];
        QJsonObject bitmap{{"path", strip.file}};
        if (k == 0) {
            bitmap["multiframe-num-frames"] = text(facts.frames);
            // VSTGUI's own spelling of the key.
            bitmap["mulitframe-frames-per-row"] = text(facts.layout.Columns(facts.frames));
            bitmap["multiframe-size"] = size;
            bitmaps[name] = bitmap;
            continue;
        }
        // A larger resolution is known by its name: the first's and "#2.0x".
        const QString scale = QString::fromLatin1(number(strip.scale));
        bitmap["scale-factor"] = scale;
        bitmaps[name + '#' + scale + (strip.scale == std::floor(strip.scale) ? ".0x" : "x")] =
            bitmap;
    }
    // VSTGUI counts angles from 3 o'clock; ours from 12 o'clock.
    const double start = std::fmod(static_cast<double>(facts.startAngle) - 90.0 + 720.0, 360.0);
    const double range = facts.endAngle() - static_cast<double>(facts.startAngle);
    const QJsonObject knob{
        {"attributes", QJsonObject{{"class", "CAnimKnob"},
                                   {"origin", "0, 0"},
                                   {"size", size},
                                   {"bitmap", name},
                                   {"height-of-one-image", h},
                                   {"sub-pixmaps", text(facts.frames)},
                                   {"angle-start", QString::fromLatin1(number(start))},
                                   {"angle-range", QString::fromLatin1(number(range))}}}};
    const QJsonObject view{{"attributes", QJsonObject{{"class", "CViewContainer"}, {"size", size}}},
                           {"children", QJsonObject{{"CAnimKnob", knob}}}};
    const QJsonObject description{
        {"version", "1"}, {"bitmaps", bitmaps}, {"templates", QJsonObject{{name, view}}}};
    return QJsonDocument(QJsonObject{{"vstgui-ui-description", description}})
        .toJson(QJsonDocument::Indented);
}

QByteArray CssText(const StripFacts& facts) {
    const QByteArray w = QByteArray::number(facts.logicalFrameWidth());
    const QByteArray h = QByteArray::number(facts.logicalFrameHeight());
    const auto columns = facts.layout.Columns(facts.frames);
    const auto rows = facts.layout.Rows(facts.frames);
    QByteArray set;
    for (const ScaledStrip& strip : facts.strips)
        set += (set.isEmpty() ? "" : ", ") + cssUrl(strip.file) + ' ' + number(strip.scale) + 'x';
    const bool grid = facts.layout.kind() == StripLayout::Kind::Grid;
    const bool horizontal = facts.layout.kind() == StripLayout::Kind::Horizontal;
    const QByteArray column = grid         ? "var(--frame-column, 0)"
                              : horizontal ? "var(--frame, 0)"
                                           : "0";
    const QByteArray row = grid ? "var(--frame-row, 0)" : horizontal ? "0" : "var(--frame, 0)";
    return "/* " + commentSafe(facts.name) + ": frames " + QByteArray::number(facts.frames) +
           ", layout " + LayoutName(facts.layout) + ", --frame: " + kValueToFrame + " */\n." +
           Identifier(facts.name) +
           "-knob {\n"
           "    width: " +
           w +
           "px;\n"
           "    height: " +
           h +
           "px;\n"
           "    background-image: " +
           cssUrl(facts.strips.front().file) +
           ";\n"
           "    background-image: image-set(" +
           set +
           ");\n"
           "    background-size: " +
           QByteArray::number(columns * facts.logicalFrameWidth()) + "px " +
           QByteArray::number(rows * facts.logicalFrameHeight()) +
           "px;\n"
           "    background-repeat: no-repeat;\n"
           "    background-position: calc(" +
           column + " * -" + w + "px) calc(" + row + " * -" + h +
           "px);\n"
           "}\n";
}

namespace {

using L = Messages::Language;
using M = Messages::MessageCode;

// clang-format off
constexpr SideFileRow kSideFiles[] = {
    {SideFile::Manifest, "manifest", ".json", true, {true, true}, M::SideManifest,
     [](const StripFacts& f, std::size_t k, L) { return ManifestText(f, k); }, nullptr},
    // Kontakt's text knows a strip of one row or one column only.
    {SideFile::Kontakt, "kontakt", ".txt", true, {false, false}, M::SideKontakt,
     [](const StripFacts& f, std::size_t, L) { return KontaktText(f); }, nullptr},
    {SideFile::Uidesc, "uidesc", ".uidesc", false, {true, false}, M::SideUidesc,
     [](const StripFacts& f, std::size_t, L) { return UidescText(f); }, nullptr},
    {SideFile::Css, "css", ".css", false, {true, false}, M::SideCss,
     [](const StripFacts& f, std::size_t, L) { return CssText(f); }, nullptr},
    {SideFile::Header, "header", ".h", false, {true, false}, M::SideHeader, nullptr, MakeCHeader},
    {SideFile::Preview, "preview", ".html", false, {true, false}, M::SidePreview,
     [](const StripFacts& f, std::size_t, L language) { return PreviewPage(f, language); },
     nullptr},
};
// clang-format on
static_assert(std::size(kSideFiles) == static_cast<std::size_t>(SideFile::kCount));
static_assert(
    [] {
        for (std::size_t k = 0; k < std::size(kSideFiles); ++k)
            if (kSideFiles[k].file != static_cast<SideFile>(k)) return false;
        return true;
    }(),
    "the rows stand in the order of their kinds");

}  // namespace

std::span<const SideFileRow> SideFileTable() {
    return kSideFiles;
}

const SideFileRow& RowOf(SideFile file) {
    return kSideFiles[static_cast<std::size_t>(file)];
}

SideFileSet DescribingLayout(bool grid, bool frameFiles) {
    SideFileSet files;
    for (const SideFileRow& row : kSideFiles)
        if ((!grid || row.describes.grid) && (!frameFiles || row.describes.frameFiles))
            files.add(row.file);
    return files;
}

QStringList SideFileWords() {
    QStringList words;
    for (const SideFileRow& row : kSideFiles) words << QString::fromLatin1(row.word);
    return words;
}

}  // namespace Output
