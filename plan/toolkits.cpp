#include "toolkits.h"

using namespace Engine;
using namespace Messages;
using namespace Output;

namespace Plan {

namespace {

using enum Output::SideFile;

// The arcs are the toolkits' own defaults where they have one (JUCE's Slider:
// 1.2 pi to 2.8 pi radians from 12 o'clock; iPlug2's vector knob, VSTGUI's
// knob, HISE's knob and the web component's single picture: -135 to +135);
// the others take -135 to +135 as well. Every toolkit plays vertical strips;
// DPF's OpenGL drawing plays no other. 129 frames put frame 64 at the
// middle, whether a toolkit rounds, truncates or counts equal bins.
constexpr Toolkit kToolkits[] = {
    {"juce", "JUCE", StripLayout::Vertical(), -144.0, 144.0, 129, ScaleNaming::At, {}, {}},
    // iPlug2 loads PNG bitmaps and finds a larger one by "@2x" or "@3x".
    {"iplug2",
     "iPlug2",
     StripLayout::Vertical(),
     -135.0,
     135.0,
     129,
     ScaleNaming::At,
     {},
     {.readsBmp = false, .largestWholeScale = 3}},
    {"vstgui",
     "VSTGUI",
     StripLayout::Vertical(),
     -135.0,
     135.0,
     129,
     ScaleNaming::Hash,
     {Uidesc},
     {}},
    {"hise", "HISE", StripLayout::Vertical(), -135.0, 135.0, 129, ScaleNaming::At, {}, {}},
    // DPF's OpenGL drawing of a horizontal strip is wrong, and it counts
    // frames as the long side over the short one.
    {"dpf",
     "DPF",
     StripLayout::Vertical(),
     -135.0,
     135.0,
     129,
     ScaleNaming::At,
     {Header},
     {.verticalOnly = true, .squareFrames = true}},
    {"kontakt",
     "Kontakt",
     StripLayout::Vertical(),
     -135.0,
     135.0,
     129,
     ScaleNaming::At,
     {Kontakt},
     {.readsBmp = false}},
    {"web", "web", StripLayout::Vertical(), -135.0, 135.0, 129, ScaleNaming::At, {Css}, {}},
};

}  // namespace

std::span<const Toolkit> Toolkits() {
    return kToolkits;
}

const Toolkit* FindToolkit(const QString& name) {
    for (const Toolkit& toolkit : kToolkits)
        if (name.compare(QLatin1String(toolkit.name), Qt::CaseInsensitive) == 0) return &toolkit;
    return nullptr;
}

QStringList ToolkitNames() {
    QStringList names;
    for (const Toolkit& toolkit : kToolkits) names << QString::fromLatin1(toolkit.name);
    return names;
}

QString ScaleSuffix(double scale, ScaleNaming naming) {
    if (scale == 1.0) return {};
    QString number = QString::number(scale, 'f', 6);
    while (number.endsWith('0')) number.chop(1);
    if (number.endsWith('.')) number.chop(1);
    if (naming == ScaleNaming::Hash)
        return '#' + number + (number.contains('.') ? QString() : QStringLiteral(".0")) + 'x';
    return '@' + number + 'x';
}

}  // namespace Plan
