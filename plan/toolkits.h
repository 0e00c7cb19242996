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

// What a toolkit cannot play, so that a strip for it is made to fit or the
// user is warned.
struct ToolkitRules {
    bool readsBmp = true;       // false: it loads PNG only
    bool verticalOnly = false;  // it draws other layouts wrongly
    // It counts frames as the strip's long side over its short one: frames
    // must be square.
    bool squareFrames = false;
    // It looks for larger scales only under whole-number names up to this
    // (@2x, @3x); 0: any scale.
    int largestWholeScale = 0;
};

struct Toolkit {
    const char* name;   // as --for takes it
    const char* title;  // as its users write it
    Engine::StripLayout layout;
    double start, end;  // the arc, degrees clockwise from 12 o'clock
    int32_t frames;     // odd: one frame stands at the arc's middle
    ScaleNaming naming;
    Output::SideFileSet sides;  // what it reads beside the strip
    ToolkitRules rules;
};

std::span<const Toolkit> Toolkits();
const Toolkit* FindToolkit(const QString& name);
// "juce, iplug2, ...".
QStringList ToolkitNames();

// The suffix of a strip file at this scale ("", "@2x", "#2.0x", "@1.5x").
QString ScaleSuffix(double scale, ScaleNaming naming);

}  // namespace Plan
