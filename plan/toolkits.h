#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>

#include "side_files.h"
#include "strip_layout.h"

namespace Plan {

// What each toolkit reads: the strip a consumer of it plays as it is, in one
// command (--for). Every option given on the command line wins over these.

// How a strip at another scale than 1 is named: the picture's name, then
// "@2x" (and so on) or VSTGUI's "#2.0x", then the ending.
enum class ScaleNaming { At, Hash };

struct Toolkit {
    const char* name;  // as --for takes it
    Engine::StripLayout layout;
    double start, end;  // the arc, degrees clockwise from 12 o'clock
    int32_t frames;     // odd: one frame stands at the arc's middle
    ScaleNaming naming;
    Output::SideFileSet sides;  // what it reads beside the strip
};

std::span<const Toolkit> Toolkits();
const Toolkit* FindToolkit(const QString& name);
// "juce, iplug2, ...".
QStringList ToolkitNames();

// The suffix of a strip file at this scale ("", "@2x", "#2.0x", "@1.5x").
QString ScaleSuffix(double scale, ScaleNaming naming);

}  // namespace Plan
